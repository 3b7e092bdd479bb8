#pragma once

// The camera simulator on loopback for every test folder: started with the program pointed at it,
// its log in readable form, and requests run through the program's request queue.

#include "camera/ClCommands.h"
#include "camera/ClCurlLibrary.h"
#include "camera/ClKD4Cgi.h"
#include "camera/ZK_CMD.h"
#include "tests/support/CommandRecords.h"
#include "tools/camsim/CamSim.h"

#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>

namespace Kd4Test {

// Starts a simulator on 127.0.0.1 (a free port unless the options name one), loads the program's
// HTTP library as start-up does and points the program at the simulator (KD4TOOL_CAMERA_ADDRESS).
// Null when any of it fails.
std::unique_ptr<camsim::CamSim> startSim(const camsim::CamSim::Options& clOptions = {});
// The same on a given port, e.g. to bring a camera back where the program last found it.
std::unique_ptr<camsim::CamSim> startSim(int iPort);
void pointProgramAt(const QString& strAddress);

inline QString address(const camsim::CamSim& clSim)
{
    return QString::fromStdString(clSim.address());
}

// A frame fault of the given kind for the next iCount frame requests (-1: all of them).
camsim::FrameFault frameFault(camsim::FrameFault::Kind eKind, int iCount = -1);

// The bytes are a frame body the simulator served (by the SHA-256 its frame log keeps).
bool isServedFrame(const camsim::CamSim& clSim, const QByteArray& clBody);

// One logged message as "msg_id", followed by " type" and "=param" when present.
QString describe(const camsim::LoggedMessage& clMsg);
QStringList messageLog(const camsim::CamSim& clSim);

// Sends one request through the queue and returns its answer (an empty map on time-out).
ZK_CMD run(ClKD4Cgi& clCgi, const ZK_CMD& clCmd, int iTimeoutMs = 30000);
// Opens a session and empties the log, so a test sees only its own messages.
bool openSession(ClKD4Cgi& clCgi, camsim::CamSim& clSim);

} // namespace Kd4Test
