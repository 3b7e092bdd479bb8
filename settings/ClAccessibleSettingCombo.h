#pragma once

#include <QAccessibleWidget>

class QComboBox;
class QLabel;

// How a screen reader sees the combo box of a setting row: everything Qt's own combo box interface
// offers (the entry shown, the list with its entries and the selected one, the actions) and the
// row's label as its label. Qt's interface finds a label only among the combo box's siblings,
// and a row's combo box sits inside the row widget, apart from the label.
class ClAccessibleSettingCombo : public QAccessibleWidget
{
public:
    explicit ClAccessibleSettingCombo(QComboBox* pclCombo);

    // Makes setting rows' combo boxes use this interface; once per process.
    static void install();
    // Marks a combo box as a setting row's; call it right after creating the combo box.
    static void markAsSettingRow(QComboBox* pclCombo);

    int childCount() const override;
    QAccessibleInterface* child(int iIndex) const override;
    int indexOfChild(const QAccessibleInterface* pclChild) const override;
    QAccessibleInterface* childAt(int iX, int iY) const override;
    QString text(QAccessible::Text eText) const override;
    QVector<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation eMatch = QAccessible::AllRelations) const override;
    QStringList actionNames() const override;
    void doAction(const QString& strAction) override;
    QStringList keyBindingsForAction(const QString& strAction) const override;

private:
    QComboBox* comboBox() const;
    // The label whose buddy the combo box is, searched among the children of its ancestors.
    QLabel* rowLabel() const;
};
