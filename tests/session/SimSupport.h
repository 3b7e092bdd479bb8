#pragma once

// Helpers shared by the camera-protocol and session tests: a simulator on loopback and readable
// forms of what it logged.

#include "CamSim.h"
#include "ClCommands.h"
#include "ClCurlLibrary.h"
#include "ClKD4Cgi.h"
#include "ZK_CMD.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

namespace simtest {

// Starts a simulator on 127.0.0.1 with a free port; the program's HTTP library is loaded as
// start-up would.
inline std::unique_ptr<camsim::CamSim> startSim(double dFps = 15.0)
{
    camsim::CamSim::Options clOptions;
    clOptions.fps = dFps;
    auto pclSim = std::make_unique<camsim::CamSim>(clOptions);
    if (!pclSim->start() || !ClCurlLibrary::load())
        return nullptr;
    return pclSim;
}

inline QString address(const camsim::CamSim& clSim)
{
    return QString::fromStdString(clSim.address());
}

// One logged message as "msg_id", followed by " type" and "=param" when present.
inline QString describe(const camsim::LoggedMessage& clMsg)
{
    QString str = clMsg.hasMsgId ? QString::number(clMsg.msgId) : QStringLiteral("?");
    if (clMsg.hasType || clMsg.hasParam)
        str += QLatin1Char(' ');
    if (clMsg.hasType)
        str += QString::fromStdString(clMsg.type);
    if (clMsg.hasParam)
        str += QLatin1Char('=') + QString::fromStdString(clMsg.param);
    return str;
}

inline QStringList messageLog(const camsim::CamSim& clSim)
{
    QStringList clList;
    for (const camsim::LoggedMessage& clMsg : clSim.messages())
        clList << describe(clMsg);
    return clList;
}

inline ZK_CMD command(
    const QUuid& clId, const QVariant& clParam1 = QVariant(), const QVariant& clParam2 = QVariant())
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(clId));
    if (clParam1.isValid())
        clCmd.insert(ZkKey::PARAM1, clParam1);
    if (clParam2.isValid())
        clCmd.insert(ZkKey::PARAM2, clParam2);
    return clCmd;
}

// Sends one request through the queue and returns its answer (an empty map on time-out).
inline ZK_CMD run(ClKD4Cgi& clCgi, const ZK_CMD& clCmd, int iTimeoutMs = 30000)
{
    QSignalSpy clSpy(&clCgi, &ClKD4Cgi::sigResponse);
    clCgi.slotRequest(clCmd);
    if (!clSpy.wait(iTimeoutMs) || clSpy.isEmpty())
        return ZK_CMD();
    return clSpy.first().first().value<ZK_CMD>();
}

// Opens a session and empties the log, so a test sees only its own messages.
inline bool openSession(ClKD4Cgi& clCgi, camsim::CamSim& clSim)
{
    const ZK_CMD clAnswer = run(clCgi, command(CMD_START_SESSION));
    // The worker's finished() follows its answer; until the queue has handled it, new records wait.
    QTest::qWait(50);
    clSim.clearLog();
    return clAnswer.contains(ZkKey::ERROR) && zkError(clAnswer) == 0;
}

} // namespace simtest
