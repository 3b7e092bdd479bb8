#pragma once

// Answers modal dialogs while the code under test waits in exec(): one queue of handlers, each
// opening of a dialog taking the next one (the idea of KeePassXC's MessageBox::setNextAnswer, from
// outside the code).

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QDialog;
class QWidget;

namespace Kd4Test {

// Looks for an open modal dialog every few milliseconds. Each opening gets the next queued
// handler; when none is queued the dialog's text is recorded and it is answered with the default
// answer: a message box by its OK or Cancel button, any other dialog by accept() or reject().
class ClModalDriver : public QObject
{
public:
    using Handler = std::function<void(QDialog*)>;
    enum Answer
    {
        Accept,
        Reject
    };

    explicit ClModalDriver(Answer eAnswer = Accept);
    ~ClModalDriver() override;

    void expect(Handler fnHandler);
    // Drops the handlers no dialog has taken.
    void clearHandlers() { clHandlers.clear(); }
    // Leaves dialogs of this class alone (one the code under test closes itself).
    template <typename T> void leaveOpen()
    {
        fnLeaveOpen = [](QWidget* pclWidget) { return qobject_cast<T*>(pclWidget) != nullptr; };
    }

    // Texts of the dialogs answered by default so far, and how many dialogs were seen at all.
    QStringList clMessages;
    int iDialogsSeen = 0;
    int pendingHandlers() const { return clHandlers.size(); }

private:
    void poll();

    Answer eAnswer;
    QTimer clTimer;
    QList<Handler> clHandlers;
    QPointer<QWidget> pclCurrent;
    std::function<bool(QWidget*)> fnLeaveOpen;
};

} // namespace Kd4Test
