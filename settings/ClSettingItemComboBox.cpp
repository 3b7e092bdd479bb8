#include "settings/ClSettingItemComboBox.h"

#include "settings/ClAccessibleSettingCombo.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>

ClSettingItemComboBox::ClSettingItemComboBox(const QString& strKey, QWidget* pclParent)
    : AbstSettingItemWidget(strKey, pclParent)
    , pclComboBox(new QComboBox(this))
{
    ClAccessibleSettingCombo::markAsSettingRow(pclComboBox);
    applyRowStyle(pclComboBox);
    pclComboBox->setIconSize(QSize(50, 30));

    auto* pclLayout = new QHBoxLayout(this);
    pclLayout->setContentsMargins(0, 0, 0, 0);
    pclLayout->addWidget(pclComboBox);

    // Every change of the selection is reported, whoever made it; the page keeps values it
    // filled in itself from leaving by blocking its own signals meanwhile.
    connect(pclComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &AbstSettingItemWidget::sigSettingChangedNotify);
}

void ClSettingItemComboBox::setItemList(const QList<QPair<QString, QString>>& clItems)
{
    pclComboBox->clear();
    for (const auto& clItem : clItems)
        pclComboBox->addItem(QIcon(), clItem.first, clItem.second);
}

QVariant ClSettingItemComboBox::getValue()
{
    const QVariant clData = pclComboBox->currentData(Qt::UserRole);
    if (clData.userType() != QMetaType::QString)
        return QString();
    return clData.toString();
}

void ClSettingItemComboBox::setValue(const QVariant& clValue)
{
    if (!clValue.canConvert<QString>())
        return;
    const QString strValue = clValue.toString();
    for (int i = 0; i < pclComboBox->count(); ++i) {
        const QVariant clData = pclComboBox->itemData(i, Qt::UserRole);
        if (clData.userType() == QMetaType::QString && clData.toString() == strValue) {
            pclComboBox->setCurrentIndex(i);
            return;
        }
    }
}
