#include "settings/ClSettingApDialog.h"

#include "settings/ClSettingDialogHelpers.h"
#include "shell/ClDialogHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExp>
#include <QRegExpValidator>
#include <QVBoxLayout>

ClSettingApDialog::ClSettingApDialog(const QString& strTitle, QWidget* pclParent)
    : QDialog(pclParent)
    , pclSsidEdit(new QLineEdit(this))
    , pclKeyEdit(new QLineEdit(this))
    , pclOkButton(new QPushButton(QObject::tr("OK"), this))
{
    removeContextHelpButton(this);
    setWindowTitle(strTitle);

    // The characters the camera accepts in both texts.
    const QRegExp clAllowed(QStringLiteral("([0-9]|[a-z]|[A-Z]|@|-|_)*"), Qt::CaseSensitive, QRegExp::RegExp);
    pclSsidEdit->setObjectName(QStringLiteral("ssidEdit"));
    pclSsidEdit->setMaxLength(SSID_MAX_LENGTH);
    pclSsidEdit->setValidator(new QRegExpValidator(clAllowed, pclSsidEdit));
    pclKeyEdit->setObjectName(QStringLiteral("keyEdit"));
    pclKeyEdit->setMaxLength(KEY_MAX_LENGTH);
    pclKeyEdit->setValidator(new QRegExpValidator(clAllowed, pclKeyEdit));

    auto* pclSsidLabel = new QLabel(QObject::tr("SSID"), this);
    auto* pclKeyLabel = new QLabel(QObject::tr("key"), this);
    setSameWidth(pclSsidLabel, pclKeyLabel);

    auto* pclCancel = new QPushButton(QObject::tr("CANCEL"), this);
    pclCancel->setObjectName(QStringLiteral("cancelButton"));
    pclOkButton->setObjectName(QStringLiteral("okButton"));
    setSameWidth(pclCancel, pclOkButton);
    // Tab goes as the eye does: the texts, then Cancel, then OK; screen readers name each text
    // after its label.
    setTabOrder(pclCancel, pclOkButton);
    pclSsidLabel->setBuddy(pclSsidEdit);
    pclKeyLabel->setBuddy(pclKeyEdit);

    auto* pclLayout = new QVBoxLayout(this);
    auto* pclSsidRow = new QHBoxLayout();
    pclSsidRow->addWidget(pclSsidLabel);
    pclSsidRow->addWidget(pclSsidEdit);
    pclLayout->addLayout(pclSsidRow);
    auto* pclKeyRow = new QHBoxLayout();
    pclKeyRow->addWidget(pclKeyLabel);
    pclKeyRow->addWidget(pclKeyEdit);
    pclLayout->addLayout(pclKeyRow);
    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addWidget(pclCancel);
    pclButtonRow->addWidget(pclOkButton);
    pclLayout->addLayout(pclButtonRow);

    connect(pclSsidEdit, &QLineEdit::textChanged, this, &ClSettingApDialog::slotValidate);
    connect(pclKeyEdit, &QLineEdit::textChanged, this, &ClSettingApDialog::slotValidate);
    connect(pclOkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(pclCancel, &QPushButton::clicked, this, &QDialog::reject);

    pclOkButton->setEnabled(false);
    setFixedSize(settingDialogWidth(this), sizeHint().height());
}

QString ClSettingApDialog::ssid() const
{
    return pclSsidEdit->text();
}

QString ClSettingApDialog::key() const
{
    return pclKeyEdit->text();
}

int ClSettingApDialog::exec()
{
    pclOkButton->setEnabled(false);
    pclSsidEdit->clear();
    pclKeyEdit->clear();
    return QDialog::exec();
}

void ClSettingApDialog::slotValidate()
{
    pclOkButton->setEnabled(!pclSsidEdit->text().isEmpty() && pclKeyEdit->text().length() >= KEY_MIN_LENGTH);
}
