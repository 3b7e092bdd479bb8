#include "settings/ClInformationDialog.h"

#include "settings/ClSettingDialogHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString readLicenceText()
{
    QFile clFile(QStringLiteral(":/license/curl"));
    if (!clFile.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(clFile.readAll());
}

} // namespace

ClInformationDialog::ClInformationDialog(QWidget* pclParent)
    : QDialog(pclParent)
    , pclToolVersionLabel(new QLabel(this))
    , pclFwVersionLabel(new QLabel(this))
{
    removeContextHelpButton(this);

    pclFwVersionLabel->setObjectName(QStringLiteral("fwVersionLabel"));
    pclToolVersionLabel->setObjectName(QStringLiteral("toolVersionLabel"));
    setFwVersion(QString());
    pclToolVersionLabel->setText(tr("Tool version : %1").arg(QCoreApplication::applicationVersion()));

    auto* pclLicence = new QTextBrowser(this);
    pclLicence->setObjectName(QStringLiteral("licenceBrowser"));
    pclLicence->setPlainText(readLicenceText());
    // Room for the licence's lines without wrapping most of them; the dialog itself stays resizable.
    const QFontMetrics clMetrics = pclLicence->fontMetrics();
    pclLicence->setMinimumSize(clMetrics.averageCharWidth() * 72, clMetrics.lineSpacing() * 14);

    auto* pclUpdate = new QPushButton(QObject::tr("Tool version upgrade"), this);
    pclUpdate->setObjectName(QStringLiteral("updateButton"));
    auto* pclClose = new QPushButton(QObject::tr("CLOSE"), this);
    pclClose->setObjectName(QStringLiteral("closeButton"));
    // The update request is handled before the dialog closes.
    connect(pclUpdate, &QPushButton::clicked, this, &ClInformationDialog::sigRequestUpdate);
    connect(pclUpdate, &QPushButton::clicked, this, &QDialog::accept);
    connect(pclClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* pclLayout = new QVBoxLayout(this);
    pclLayout->addWidget(pclFwVersionLabel);
    pclLayout->addWidget(pclToolVersionLabel);
    pclLayout->addSpacing(20);
    pclLayout->addWidget(new QLabel(tr("License information"), this));
    pclLayout->addWidget(pclLicence);
    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addWidget(pclUpdate);
    pclButtonRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pclButtonRow->addWidget(pclClose);
    pclLayout->addLayout(pclButtonRow);
}

void ClInformationDialog::setFwVersion(const QString& strVersion)
{
    pclFwVersionLabel->setText(tr("FW version : %1").arg(strVersion));
}
