#pragma once

// Helpers of the settings UI tests: they catch the commands that leave the widget tree, answer
// them back down the tree, and work the sliders the way a user does (mouse and keys).

#include "camera/ZK_CMD.h"

#include <QList>
#include <QObject>

class ClNodeWidget;
class QSlider;
class QWidget;

namespace SettingsTest {

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
};

// Sends the camera's answer to a request back down the tree, the way the session manager does:
// the request's own "ID", the command, "ERROR" and, when valid, "PARAM1".
void answer(
    ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError, const QVariant& clParam1 = QVariant());
// A set-setting answer: "PARAM1" is the key as sent.
void answerSet(ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError);

// Types an access point name and key into the access point dialog's fields, as a user does.
void typeAccessPoint(QWidget* pclDialog, const QString& strSsid, const QString& strKey);

// Presses the slider's handle, drags it until the slider shows iValue and releases it there.
bool dragSliderTo(QSlider* pclSlider, int iValue);
// Steps the slider with Page Up/Down and the arrow keys to iValue, then presses and releases the
// handle in place: how a user reaches an exact value on a slider with more values than pixels.
bool setSliderByUser(QSlider* pclSlider, int iValue);
// Presses and releases the handle without moving it.
void clickSliderHandle(QSlider* pclSlider);

} // namespace SettingsTest
