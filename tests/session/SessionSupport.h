#pragma once

// Helpers of the live controller and session manager tests: the simulator's log without the
// listener's notification polls, short names of command records, and a poll run as the timer runs it.

#include "tests/support/SimSupport.h"

#include <QTimer>

namespace sessiontest {

// The messages the simulator received, without the notification polls (4097), which the listener
// sends at its own pace beside everything else.
inline QStringList commandLog(const camsim::CamSim& clSim)
{
    QStringList clList;
    for (const camsim::LoggedMessage& clMsg : clSim.messages()) {
        if (!clMsg.hasMsgId || clMsg.msgId != 4097)
            clList << Kd4Test::describe(clMsg);
    }
    return clList;
}

// What the camera is sent when the live stream starts at a normal resolution.
inline QStringList startLiveMessages()
{
    return { QStringLiteral("260"), QStringLiteral("3"), QStringLiteral("260"),
        QStringLiteral("2 stream_while_record=on"), QStringLiteral("259 =none_force") };
}

// "set <key>", "getAll", "startLive", "stopLive", ... for a request or an answer.
inline QString name(const ZK_CMD& clCmd)
{
    const QUuid clId = zkCommand(clCmd);
    if (clId == CMD_SET_SETTING)
        return QStringLiteral("set ") + clCmd.value(ZkKey::PARAM1).toString();
    if (clId == CMD_GET_ALL_SETTINGS)
        return QStringLiteral("getAll");
    if (clId == CMD_START_LIVE)
        return QStringLiteral("startLive");
    if (clId == CMD_STOP_LIVE)
        return QStringLiteral("stopLive");
    if (clId == CMD_MSG_769)
        return QStringLiteral("msg769");
    return clId.toString();
}

inline ZK_CMD from(ZK_CMD clCmd, QObject* pclSender)
{
    clCmd.insert(ZkKey::ID, QVariant::fromValue(pclSender));
    return clCmd;
}

// Runs one poll as the single-shot polling timer does: it has stopped by the time it times out.
// The interval stays as it is.
inline bool firePoll(QTimer* pclTimer)
{
    if (!pclTimer)
        return false;
    pclTimer->stop();
    return QMetaObject::invokeMethod(pclTimer, "timeout");
}

// The frame requests that reached the camera between two of its messages.
inline int framesBetween(const camsim::CamSim& clSim, std::chrono::steady_clock::time_point clFrom,
    std::chrono::steady_clock::time_point clTo)
{
    int iCount = 0;
    for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
        if (clFrame.received > clFrom && clFrame.received < clTo)
            ++iCount;
    }
    return iCount;
}

} // namespace sessiontest
