#include "ClAccessibleSettingCombo.h"

#include <QComboBox>

namespace {

const char* const SETTING_ROW_PROPERTY = "kd4SettingRow";

QAccessibleInterface* settingComboFactory(const QString& strClassName, QObject* pclObject)
{
    Q_UNUSED(strClassName)
    auto* pclCombo = qobject_cast<QComboBox*>(pclObject);
    if (pclCombo && pclCombo->property(SETTING_ROW_PROPERTY).toBool())
        return new ClAccessibleSettingCombo(pclCombo);
    return nullptr;
}

} // namespace

ClAccessibleSettingCombo::ClAccessibleSettingCombo(QComboBox* pclCombo)
    : QAccessibleWidget(pclCombo, QAccessible::ComboBox)
{
}

void ClAccessibleSettingCombo::install()
{
    static const bool bInstalled = [] {
        QAccessible::installFactory(settingComboFactory);
        return true;
    }();
    Q_UNUSED(bInstalled)
}

void ClAccessibleSettingCombo::markAsSettingRow(QComboBox* pclCombo)
{
    // Before anything asks for the combo box's interface: the first one made is kept.
    install();
    pclCombo->setProperty(SETTING_ROW_PROPERTY, true);
}

QComboBox* ClAccessibleSettingCombo::comboBox() const
{
    return static_cast<QComboBox*>(widget());
}

QString ClAccessibleSettingCombo::text(QAccessible::Text eText) const
{
    if (eText == QAccessible::Name && !widget()->accessibleName().isEmpty())
        return widget()->accessibleName();
    if (eText == QAccessible::Name || eText == QAccessible::Value)
        return comboBox()->currentText();
    return QAccessibleWidget::text(eText);
}

QStringList ClAccessibleSettingCombo::actionNames() const
{
    return { showMenuAction() };
}

void ClAccessibleSettingCombo::doAction(const QString& strAction)
{
    if (strAction == showMenuAction())
        comboBox()->showPopup();
}

QStringList ClAccessibleSettingCombo::keyBindingsForAction(const QString& strAction) const
{
    Q_UNUSED(strAction)
    return {};
}
