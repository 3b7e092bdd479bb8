#pragma once

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing a setting the pointer merely passes over: a combo box or
// slider takes the wheel only while it has the keyboard focus; otherwise the wheel goes on to the
// page, which scrolls.
class ClWheelGuard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClWheelGuard)

public:
    // Guards every combo box and slider in pclControl (itself included); the guard is a child of
    // pclControl.
    static void guard(QWidget* pclControl);

protected:
    bool eventFilter(QObject* pclWatched, QEvent* pclEvent) override;

private:
    explicit ClWheelGuard(QObject* pclParent);
};
