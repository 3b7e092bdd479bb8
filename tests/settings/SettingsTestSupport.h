#pragma once

// Helpers shared by the settings UI tests: they act on the real controls the way a user does
// (mouse and keys), catch the commands that leave the widget tree, answer them back down the
// tree, and close modal dialogs from a timer while the code under test waits in exec().

#include "ZK_CMD.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class ClNodeWidget;
class QComboBox;
class QDialog;
class QSlider;
class QWidget;

namespace SettingsTest {

// Prepares the process: isolated preference store, settings identity, meta-types.
void initProcess();

// Records every request that leaves the root node of a widget tree.
class ClRequestLog : public QObject
{
public:
    explicit ClRequestLog(ClNodeWidget* pclRoot);

    QList<ZK_CMD> clRequests;

    int count() const { return clRequests.size(); }
    const ZK_CMD& last() const { return clRequests.last(); }
    // Drops what was recorded so far.
    QList<ZK_CMD> take();

private:
    ClNodeWidget* pclRoot;
};

// Sends the camera's answer to a request back down the tree, the way the session manager does:
// the request's own "ID", the command, "ERROR" and, when valid, "PARAM1".
void answer(
    ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError, const QVariant& clParam1 = QVariant());
// A set-setting answer: "PARAM1" is the key as sent.
void answerSet(ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError);

// Handles modal dialogs as they open: each opening gets the next queued handler; when none is
// queued the dialog's label texts are recorded and it is accepted (a message dialog's OK).
class ClModalDriver : public QObject
{
public:
    using Handler = std::function<void(QDialog*)>;

    ClModalDriver();
    ~ClModalDriver() override;

    void expect(Handler fnHandler);
    // Texts of the message dialogs closed so far, and how many dialogs were seen at all.
    QStringList clMessages;
    int iDialogsSeen = 0;
    int pendingHandlers() const { return clHandlers.size(); }

private:
    void poll();

    QTimer clTimer;
    QList<Handler> clHandlers;
    QPointer<QWidget> pclCurrent;
};

// Texts of the labels of a dialog, joined with newlines.
QString labelText(QWidget* pclDialog);
// Clicks a dialog's push button by its object name.
void clickButton(QWidget* pclDialog, const QString& strObjectName);

// Opens the combo's popup with the mouse and clicks the entry with the given text.
bool chooseComboEntry(QComboBox* pclCombo, const QString& strText);
// Presses the slider's handle, drags it until the slider shows iValue and releases it there.
bool dragSliderTo(QSlider* pclSlider, int iValue);
// Steps the slider with Page Up/Down and the arrow keys to iValue, then presses and releases the
// handle in place: how a user reaches an exact value on a slider with more values than pixels.
bool setSliderByUser(QSlider* pclSlider, int iValue);
// Presses and releases the handle without moving it.
void clickSliderHandle(QSlider* pclSlider);

} // namespace SettingsTest
