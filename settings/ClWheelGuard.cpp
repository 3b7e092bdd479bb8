#include "settings/ClWheelGuard.h"

#include "shell/ClKeyboardAccess.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QWidget>

ClWheelGuard::ClWheelGuard(QObject* pclParent)
    : QObject(pclParent)
{
}

void ClWheelGuard::guard(QWidget* pclControl)
{
    QList<QWidget*> clWidgets { pclControl };
    clWidgets += pclControl->findChildren<QWidget*>();
    ClWheelGuard* pclGuard = nullptr;
    for (QWidget* pclWidget : qAsConst(clWidgets)) {
        if (!qobject_cast<QComboBox*>(pclWidget) && !qobject_cast<QAbstractSlider*>(pclWidget))
            continue;
        if (!pclGuard)
            pclGuard = new ClWheelGuard(pclControl);
        // A wheel over the control must not give it the focus either.
        if (pclWidget->focusPolicy() & Qt::WheelFocus & ~Qt::StrongFocus)
            pclWidget->setFocusPolicy(Qt::StrongFocus);
        pclWidget->installEventFilter(pclGuard);
    }
}

bool ClWheelGuard::eventFilter(QObject* pclWatched, QEvent* pclEvent)
{
    if (pclEvent->type() != QEvent::Wheel)
        return false;
    auto* pclWidget = qobject_cast<QWidget*>(pclWatched);
    // Only a focus the user moved there by keyboard: the first control of a window has the
    // focus from the start, and a mouse user never sees it.
    if (!pclWidget || ClKeyboardAccess::isKeyboardFocus(pclWidget))
        return false;
    // Ignored, the event travels on to the parents: the page's scroll area scrolls.
    pclEvent->ignore();
    return true;
}
