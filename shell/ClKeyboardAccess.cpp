#include "shell/ClKeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTextEdit>

namespace {

// Qt makes a tool box's page buttons unreachable by Tab.
const char* const TOOL_BOX_BUTTON = "qt_toolbox_toolboxbutton";

bool isTextField(const QWidget* pclWidget)
{
    if (qobject_cast<const QLineEdit*>(pclWidget) || qobject_cast<const QAbstractSpinBox*>(pclWidget))
        return true;
    const auto* pclText = qobject_cast<const QTextEdit*>(pclWidget);
    const auto* pclPlain = qobject_cast<const QPlainTextEdit*>(pclWidget);
    return (pclText && !pclText->isReadOnly()) || (pclPlain && !pclPlain->isReadOnly());
}

} // namespace

ClKeyboardAccess::ClKeyboardAccess(QObject* pclParent)
    : QObject(pclParent)
{
}

void ClKeyboardAccess::install()
{
    static ClKeyboardAccess* pclWatcher = nullptr;
    if (pclWatcher || !qApp)
        return;
    pclWatcher = new ClKeyboardAccess(qApp);
    qApp->installEventFilter(pclWatcher);
}

Qt::FocusPolicy ClKeyboardAccess::policyFor(const QWidget* pclWidget)
{
    if (pclWidget->objectName() == QLatin1String(TOOL_BOX_BUTTON))
        return Qt::TabFocus;
    // A page's scroll area scrolls to the control that takes the focus; it is no stop itself.
    if (qobject_cast<const QScrollArea*>(pclWidget))
        return Qt::NoFocus;
    if (!(pclWidget->focusPolicy() & Qt::TabFocus))
        return Qt::NoFocus;
    return isTextField(pclWidget) ? Qt::StrongFocus : Qt::TabFocus;
}

void ClKeyboardAccess::apply(QWidget* pclRoot)
{
    pclRoot->setFocusPolicy(policyFor(pclRoot));
    const QList<QWidget*> clChildren = pclRoot->findChildren<QWidget*>();
    for (QWidget* pclChild : clChildren)
        pclChild->setFocusPolicy(policyFor(pclChild));
}

bool ClKeyboardAccess::isKeyboardFocus(const QWidget* pclWidget)
{
    return pclWidget->hasFocus() && pclWidget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

bool ClKeyboardAccess::eventFilter(QObject* pclWatched, QEvent* pclEvent)
{
    switch (pclEvent->type()) {
    case QEvent::Polish:
        // Once per widget, before it is first shown: widgets made after start-up follow the rule.
        if (pclWatched->isWidgetType()) {
            auto* pclWidget = static_cast<QWidget*>(pclWatched);
            pclWidget->setFocusPolicy(policyFor(pclWidget));
        }
        break;
    case QEvent::MouseButtonPress:
        // The mouse took over: the frame of a focus moved by Tab goes.
        if (pclWatched->isWidgetType()) {
            QWidget* pclWindow = static_cast<QWidget*>(pclWatched)->window();
            if (pclWindow->testAttribute(Qt::WA_KeyboardFocusChange)) {
                pclWindow->setAttribute(Qt::WA_KeyboardFocusChange, false);
                if (QWidget* pclFocus = pclWindow->focusWidget())
                    pclFocus->update();
            }
        }
        break;
    case QEvent::KeyPress: {
        const auto* pclKey = static_cast<QKeyEvent*>(pclEvent);
        auto* pclButton = qobject_cast<QAbstractButton*>(pclWatched);
        if (pclButton && pclButton->hasFocus() && !pclKey->modifiers()
            && (pclKey->key() == Qt::Key_Return || pclKey->key() == Qt::Key_Enter)
            && !qobject_cast<QDialog*>(pclButton->window())) {
            pclButton->animateClick();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(pclWatched, pclEvent);
}
