#include "settings/ClAccessibleSettingCombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>

namespace {

const char* const SETTING_ROW_PROPERTY = "kd4SettingRow";
// How far up a row's label may sit: the row widget, then the page that lays out label and row.
constexpr int LABEL_SEARCH_LEVELS = 3;

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
#ifdef Q_OS_UNIX
    // The name is the entry shown: say so when it changes. Qt tells the bus only that a value
    // changed, without the new name, and screen readers keep announcing the name they cached.
    QObject::connect(pclCombo, &QComboBox::currentTextChanged, pclCombo, [pclCombo] {
        QAccessibleEvent clNamed(pclCombo, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&clNamed);
    });
#endif
}

QComboBox* ClAccessibleSettingCombo::comboBox() const
{
    return static_cast<QComboBox*>(widget());
}

QLabel* ClAccessibleSettingCombo::rowLabel() const
{
    QWidget* pclLevel = widget()->parentWidget();
    for (int i = 0; pclLevel && i < LABEL_SEARCH_LEVELS; ++i, pclLevel = pclLevel->parentWidget()) {
        const auto clLabels = pclLevel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        for (QLabel* pclLabel : clLabels) {
            if (pclLabel->buddy() == widget())
                return pclLabel;
        }
    }
    return nullptr;
}

// A setting row's combo box is never editable: its one child is the list of its entries.
int ClAccessibleSettingCombo::childCount() const
{
    return 1;
}

QAccessibleInterface* ClAccessibleSettingCombo::child(int iIndex) const
{
    return iIndex == 0 ? QAccessible::queryAccessibleInterface(comboBox()->view()) : nullptr;
}

int ClAccessibleSettingCombo::indexOfChild(const QAccessibleInterface* pclChild) const
{
    return pclChild && pclChild->object() == comboBox()->view() ? 0 : -1;
}

QAccessibleInterface* ClAccessibleSettingCombo::childAt(int iX, int iY) const
{
    Q_UNUSED(iX)
    Q_UNUSED(iY)
    return nullptr; // the closed combo box shows no child; the open list is a window of its own
}

QString ClAccessibleSettingCombo::text(QAccessible::Text eText) const
{
    switch (eText) {
    case QAccessible::Name:
#ifndef Q_OS_UNIX
        // Windows and others read a combo box's name and value apart.
        return widget()->accessibleName().isEmpty() ? comboBox()->currentText() : widget()->accessibleName();
#else
        // Screen readers on the desktop bus hear the entry shown as the name and take the label
        // from the label relation; value changes reach them as name changes.
        return comboBox()->currentText();
#endif
    case QAccessible::Value:
        return comboBox()->currentText();
    default:
        return QAccessibleWidget::text(eText);
    }
}

QVector<QPair<QAccessibleInterface*, QAccessible::Relation>> ClAccessibleSettingCombo::relations(
    QAccessible::Relation eMatch) const
{
    auto clRelations = QAccessibleWidget::relations(eMatch);
    if (!(eMatch & QAccessible::Label))
        return clRelations;
    if (QLabel* pclLabel = rowLabel()) {
        QAccessibleInterface* pclLabelInterface = QAccessible::queryAccessibleInterface(pclLabel);
        const bool bListed = std::any_of(clRelations.cbegin(), clRelations.cend(),
            [pclLabelInterface](const auto& clRelation) { return clRelation.first == pclLabelInterface; });
        if (pclLabelInterface && !bListed)
            clRelations.append(qMakePair(pclLabelInterface, QAccessible::Label));
    }
    return clRelations;
}

QStringList ClAccessibleSettingCombo::actionNames() const
{
    return { showMenuAction(), pressAction() };
}

void ClAccessibleSettingCombo::doAction(const QString& strAction)
{
    if (strAction != showMenuAction() && strAction != pressAction())
        return;
    if (comboBox()->view()->isVisible())
        comboBox()->hidePopup();
    else
        comboBox()->showPopup();
}

QStringList ClAccessibleSettingCombo::keyBindingsForAction(const QString& strAction) const
{
    Q_UNUSED(strAction)
    return {};
}
