#include "shell/ClDialogHelpers.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// The message dialogs' frame: the text above a row of buttons on the right. Returns exec()'s result.
int runTextDialog(QWidget* pclParent, const QString& strText, bool bWithCancel)
{
    QDialog clDialog(pclParent);
    clDialog.setWindowFlags(clDialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* pclLayout = new QVBoxLayout(&clDialog);
    // A screen reader reads the message with the dialog, before the focused button.
    clDialog.setAccessibleDescription(strText);
    auto* pclLabel = new QLabel(strText, &clDialog);
    // Some texts carry names from the network: shown as they are, never as markup.
    pclLabel->setTextFormat(Qt::PlainText);
    pclLabel->setContentsMargins(10, 10, 10, 10);
    pclLayout->addWidget(pclLabel);

    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    QPushButton* pclCancel = nullptr;
    if (bWithCancel) {
        // CANCEL first: it is the default, so Enter alone never says yes.
        pclCancel = new QPushButton(QObject::tr("CANCEL"), &clDialog);
        pclCancel->setObjectName(QStringLiteral("cancelButton"));
        pclCancel->setDefault(true);
        QObject::connect(pclCancel, &QPushButton::clicked, &clDialog, &QDialog::reject);
        pclButtonRow->addWidget(pclCancel);
    }
    auto* pclOk = new QPushButton(QObject::tr("OK"), &clDialog);
    pclOk->setObjectName(QStringLiteral("okButton"));
    QObject::connect(pclOk, &QPushButton::clicked, &clDialog, &QDialog::accept);
    pclButtonRow->addWidget(pclOk);
    if (pclCancel)
        setSameWidth(pclCancel, pclOk);
    pclLayout->addLayout(pclButtonRow);

    // Unattended runs (the start-up tests drive a real second process) set
    // KD4TOOL_AUTOACCEPT_DIALOGS: the dialog is shown, its text goes to stderr and it is accepted.
    if (qEnvironmentVariableIsSet("KD4TOOL_AUTOACCEPT_DIALOGS")) {
        QTimer::singleShot(0, &clDialog, [&clDialog, pclLabel] {
            std::fprintf(stderr, "%s\n", pclLabel->text().toUtf8().constData());
            std::fflush(stderr);
            clDialog.accept();
        });
    }
    return clDialog.exec();
}

} // namespace

void showMessageDialog(QWidget* pclParent, const QString& strText)
{
    runTextDialog(pclParent, strText, false);
}

bool showQuestionDialog(QWidget* pclParent, const QString& strText)
{
    return runTextDialog(pclParent, strText, true) == QDialog::Accepted;
}

void setSameWidth(QWidget* pclFirst, QWidget* pclSecond)
{
    const int iWidth = qMax(pclFirst->sizeHint().width(), pclSecond->sizeHint().width());
    pclFirst->setFixedWidth(iWidth);
    pclSecond->setFixedWidth(iWidth);
}
