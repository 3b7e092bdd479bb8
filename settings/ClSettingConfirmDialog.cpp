#include "ClSettingConfirmDialog.h"

#include "ClDialogHelpers.h"
#include "ClSettingDialogHelpers.h"

#include <QHBoxLayout>
#include <QPushButton>

ClSettingConfirmDialog::ClSettingConfirmDialog(const QString& strTitle, QWidget* pclParent)
    : QDialog(pclParent)
{
    removeContextHelpButton(this);
    setWindowTitle(strTitle);

    // CANCEL first: it takes the focus, so Enter alone never confirms.
    auto* pclCancel = new QPushButton(QObject::tr("CANCEL"), this);
    pclCancel->setObjectName(QStringLiteral("cancelButton"));
    auto* pclOk = new QPushButton(QObject::tr("OK"), this);
    pclOk->setObjectName(QStringLiteral("okButton"));
    setSameWidth(pclCancel, pclOk);
    connect(pclCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(pclOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pclLayout = new QHBoxLayout(this);
    pclLayout->addWidget(pclCancel);
    pclLayout->addWidget(pclOk);

    setFixedSize(settingDialogWidth(this), 80);
}
