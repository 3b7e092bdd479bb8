#include "updater/ClProgressDialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <limits>

namespace {

int toBarValue(qint64 llValue)
{
    return static_cast<int>(qBound<qint64>(0, llValue, std::numeric_limits<int>::max()));
}

} // namespace

ClProgressDialog::ClProgressDialog(QWidget* pclParent)
    : QDialog(pclParent)
{
    // A title bar without close, minimise or maximise buttons: leaving goes through Cancel.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setWindowTitle(QObject::tr("Tavik Update service program"));

    clFileBar.setMinimumWidth(300);
    clFileBar.setValue(0);
    clByteBar.setMinimumWidth(300);
    clByteBar.setValue(0);

    auto* pclLayout = new QVBoxLayout(this);

    auto* pclLogoRow = new QHBoxLayout();
    pclLogoRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Fixed));
    clLogoLabel.setPixmap(QPixmap(QStringLiteral(":/img/logo")));
    pclLogoRow->addWidget(&clLogoLabel);
    pclLayout->addLayout(pclLogoRow);

    auto* pclStatusRow = new QHBoxLayout();
    pclStatusRow->setSpacing(0);
    clStatusLabel.setText(QObject::tr("now Downloading"));
    clStatusLabel.setFont(statusFont());
    pclStatusRow->addWidget(&clStatusLabel);
    for (QLabel& clDot : clDotLabels) {
        clDot.setText(QStringLiteral("."));
        clDot.setFont(statusFont());
        pclStatusRow->addWidget(&clDot);
    }
    pclStatusRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Expanding));
    pclLayout->addLayout(pclStatusRow);

    pclLayout->addWidget(&clFileCaption);
    pclLayout->addWidget(&clFileBar);
    pclLayout->addWidget(&clByteCaption);
    pclLayout->addWidget(&clByteBar);
    pclLayout->addItem(new QSpacerItem(1, 20, QSizePolicy::Expanding, QSizePolicy::Fixed));

    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Fixed));
    auto* pclButtonBox = new QDialogButtonBox(this);
    QPushButton* pclCancel = pclButtonBox->addButton(QObject::tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(pclCancel, &QPushButton::clicked, this, &ClProgressDialog::slotCloseEvent);
    pclButtonRow->addWidget(pclButtonBox);
    pclLayout->addLayout(pclButtonRow);

    for (QLabel& clDot : clDotLabels)
        clDot.hide();
    clByteCaption.hide();

    // The dots keep moving, one cycle a second, whether the dialog is shown or not.
    pclMovieTimer = new QTimer(this);
    pclMovieTimer->setInterval(1000);
    connect(pclMovieTimer, &QTimer::timeout, this, &ClProgressDialog::slotTimerMovie);
    pclMovieTimer->start();
}

ClProgressDialog::~ClProgressDialog() = default;

QFont ClProgressDialog::statusFont() const
{
    QFont clFont(QObject::tr("Arial"), 10, 75, true);
    return clFont;
}

void ClProgressDialog::resetView()
{
    clFileCaption.hide();
    clByteCaption.hide();
    for (QLabel& clDot : clDotLabels)
        clDot.hide();
    clStatusLabel.setText(QObject::tr("now Downloading"));
    clByteBar.show();
    clByteCaption.show();
    clFileBar.setValue(0);
    clByteBar.setValue(0);
}

void ClProgressDialog::slotTotalFiles(qint32 lFileCount)
{
    clFileBar.setMaximum(qMax(0, lFileCount));
}

void ClProgressDialog::slotTotalProgress(qint32 lDownloadedFileCount)
{
    clFileBar.setValue(lDownloadedFileCount);
}

void ClProgressDialog::slotPartProgress(qint64 llReceived, qint64 llTotal)
{
    // An unknown length (-1) shows the bar as busy instead of a negative range.
    const int iTotal = toBarValue(llTotal);
    if (clByteBar.maximum() != iTotal)
        clByteBar.setMaximum(iTotal);
    clByteBar.setValue(iTotal > 0 ? qMin(toBarValue(llReceived), iTotal) : 0);
}

void ClProgressDialog::slotChangeView()
{
    clStatusLabel.setText(QObject::tr("now Installing"));
    clStatusLabel.setFont(statusFont());
    clByteBar.hide();
    clByteCaption.hide();
}

void ClProgressDialog::slotTimerMovie()
{
    clDotLabels[0].show();
    QTimer::singleShot(200, this, &ClProgressDialog::slotSecondDotMove);
}

void ClProgressDialog::slotSecondDotMove()
{
    clDotLabels[1].show();
    QTimer::singleShot(200, this, &ClProgressDialog::slotTherdDotMove);
}

void ClProgressDialog::slotTherdDotMove()
{
    clDotLabels[2].show();
    QTimer::singleShot(400, this, &ClProgressDialog::slotEndMove);
}

void ClProgressDialog::slotEndMove()
{
    for (QLabel& clDot : clDotLabels)
        clDot.hide();
}

void ClProgressDialog::slotCloseEvent()
{
    if (pclConfirmBox)
        return; // already asking
    auto* pclBox = new QMessageBox(QMessageBox::Warning, windowTitle(),
        QObject::tr("Do you want to quit will not be updated?"), QMessageBox::Ok | QMessageBox::Cancel, this,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    pclBox->setDefaultButton(QMessageBox::Ok);
    pclBox->button(QMessageBox::Ok)->setText(QObject::tr("OK"));
    pclBox->button(QMessageBox::Cancel)->setText(QObject::tr("Cancel"));
    pclConfirmBox = pclBox;

    // The engine may close (or the owner delete) this dialog while the question is open.
    const QPointer<ClProgressDialog> pclSelf(this);
    const int iAnswer = pclBox->exec();
    if (!pclSelf)
        return;
    delete pclBox;
    pclConfirmBox = nullptr;

    if (iAnswer == QMessageBox::Ok) {
        emit sigCancel();
        close();
    }
}

void ClProgressDialog::closeEvent(QCloseEvent* pclEvent)
{
    // The engine closes the dialog when a check fails: an open confirmation goes with it.
    if (pclConfirmBox)
        pclConfirmBox->reject();
    QDialog::closeEvent(pclEvent);
}

void ClProgressDialog::keyPressEvent(QKeyEvent* pclEvent)
{
    // Escape would hide the dialog while the download goes on; it asks like Cancel instead.
    if (pclEvent->key() == Qt::Key_Escape && pclEvent->modifiers() == Qt::NoModifier) {
        pclEvent->accept();
        slotCloseEvent();
        return;
    }
    QDialog::keyPressEvent(pclEvent);
}
