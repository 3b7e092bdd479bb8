#pragma once

#include <QObject>

class QWidget;

// Keyboard operation of the whole program, with the mouse behaviour unchanged: Tab and Shift+Tab
// reach every control, but a click moves no focus and leaves no focus frame (text fields still
// take the focus on a click, to be typed into). Enter presses a focused button outside dialogs
// too (dialogs do so themselves).
class ClKeyboardAccess : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClKeyboardAccess)

public:
    // Watches the application so that widgets made later follow the same rule; the application
    // owns the watcher. Once per process.
    static void install();
    // Gives the widget and everything inside it its keyboard focus policy now.
    static void apply(QWidget* pclRoot);
    // The focus policy a widget gets: Qt::TabFocus for controls, Qt::StrongFocus for text fields,
    // Qt::NoFocus for everything else.
    static Qt::FocusPolicy policyFor(const QWidget* pclWidget);
    // The focus was last moved by the keyboard in the widget's window: only then is it drawn, and
    // only then does the mouse wheel change a focused combo box or slider.
    static bool isKeyboardFocus(const QWidget* pclWidget);

protected:
    bool eventFilter(QObject* pclWatched, QEvent* pclEvent) override;

private:
    explicit ClKeyboardAccess(QObject* pclParent);
};
