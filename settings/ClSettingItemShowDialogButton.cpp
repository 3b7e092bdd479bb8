#include "settings/ClSettingItemShowDialogButton.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

ClSettingItemShowDialogButton::ClSettingItemShowDialogButton(const QString& strKey, const QString& strText,
    QDialog* pclDialog, const QVariant& clValue, QWidget* pclParent)
    : AbstSettingItemWidget(strKey, pclParent)
    , clValue(clValue)
    , pclDialog(pclDialog)
    , pclButton(new QPushButton(strText, this))
{
    applyRowStyle(pclButton);

    auto* pclLayout = new QHBoxLayout(this);
    pclLayout->setContentsMargins(0, 0, 0, 0);
    pclLayout->addWidget(pclButton);

    connect(pclButton, &QPushButton::clicked, this, &ClSettingItemShowDialogButton::slotShowDialog);
}

QVariant ClSettingItemShowDialogButton::getValue()
{
    return clValue;
}

void ClSettingItemShowDialogButton::setValue(const QVariant& clValue)
{
    // An action has no state to show.
    Q_UNUSED(clValue)
}

void ClSettingItemShowDialogButton::slotShowDialog()
{
    if (pclDialog && pclDialog->exec() != QDialog::Accepted)
        return;
    // Checked again after the wait: the camera may have begun to record meanwhile.
    if (!isEnabled())
        return;
    emit sigSettingChangedNotify();
}
