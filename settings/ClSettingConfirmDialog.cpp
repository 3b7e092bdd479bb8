#include "settings/ClSettingConfirmDialog.h"

#include "settings/ClSettingDialogHelpers.h"
#include "shell/ClDialogHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ClSettingConfirmDialog::ClSettingConfirmDialog(
    const QString& strTitle, QWidget* pclParent, const QString& strWhat, const QString& strAction)
    : QDialog(pclParent)
{
    removeContextHelpButton(this);
    setWindowTitle(strTitle);

    // CANCEL first: it takes the focus, so Enter alone never confirms.
    auto* pclCancel = new QPushButton(QObject::tr("CANCEL"), this);
    pclCancel->setObjectName(QStringLiteral("cancelButton"));
    auto* pclOk = new QPushButton(strAction.isEmpty() ? QObject::tr("OK") : strAction, this);
    pclOk->setObjectName(QStringLiteral("okButton"));
    setSameWidth(pclCancel, pclOk);
    connect(pclCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(pclOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pclButtons = new QHBoxLayout();
    pclButtons->addWidget(pclCancel);
    pclButtons->addWidget(pclOk);
    auto* pclLayout = new QVBoxLayout(this);
    if (strWhat.isEmpty()) {
        pclLayout->addLayout(pclButtons);
        setFixedSize(settingDialogWidth(this), 80);
        return;
    }
    auto* pclWhat = new QLabel(strWhat, this);
    pclWhat->setObjectName(QStringLiteral("questionLabel"));
    pclWhat->setWordWrap(true);
    pclLayout->setSpacing(12);
    pclLayout->addWidget(pclWhat);
    pclLayout->addLayout(pclButtons);
    const int iWidth = qMax(settingDialogWidth(this), 320);
    pclWhat->setFixedWidth(
        iWidth - pclLayout->contentsMargins().left() - pclLayout->contentsMargins().right());
    setFixedSize(iWidth, pclLayout->sizeHint().height());
}
