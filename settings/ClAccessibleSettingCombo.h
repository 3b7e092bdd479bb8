#pragma once

#include <QAccessibleWidget>

class QComboBox;

// How a screen reader sees the combo box of a setting row: named after the row's label, its value
// the entry shown. (Qt's own combo box interface names a combo box after its current entry on
// Linux and leaves the label to a relation that a row's layout cannot provide.)
class ClAccessibleSettingCombo : public QAccessibleWidget
{
public:
    explicit ClAccessibleSettingCombo(QComboBox* pclCombo);

    // Makes setting rows' combo boxes use this interface; once per process.
    static void install();
    // Marks a combo box as a setting row's; call it right after creating the combo box.
    static void markAsSettingRow(QComboBox* pclCombo);

    QString text(QAccessible::Text eText) const override;
    QStringList actionNames() const override;
    void doAction(const QString& strAction) override;
    QStringList keyBindingsForAction(const QString& strAction) const override;

private:
    QComboBox* comboBox() const;
};
