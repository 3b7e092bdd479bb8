#include "tests/support/SimSupport.h"

#include <QCryptographicHash>

namespace Kd4Test {

std::unique_ptr<camsim::CamSim> startSim(const camsim::CamSim::Options& clOptions)
{
    auto pclSim = std::make_unique<camsim::CamSim>(clOptions);
    if (!pclSim->start() || !ClCurlLibrary::load())
        return nullptr;
    pointProgramAt(address(*pclSim));
    return pclSim;
}

std::unique_ptr<camsim::CamSim> startSim(int iPort)
{
    camsim::CamSim::Options clOptions;
    clOptions.port = iPort;
    return startSim(clOptions);
}

void pointProgramAt(const QString& strAddress)
{
    qputenv("KD4TOOL_CAMERA_ADDRESS", strAddress.toLatin1());
}

camsim::FrameFault frameFault(camsim::FrameFault::Kind eKind, int iCount)
{
    camsim::FrameFault clFault;
    clFault.kind = eKind;
    clFault.count = iCount;
    return clFault;
}

bool isServedFrame(const camsim::CamSim& clSim, const QByteArray& clBody)
{
    if (clBody.isEmpty())
        return false;
    const std::string strHash
        = QCryptographicHash::hash(clBody, QCryptographicHash::Sha256).toHex().toStdString();
    for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
        if (clFrame.status == 200 && clFrame.sha256 == strHash)
            return true;
    }
    return false;
}

QString describe(const camsim::LoggedMessage& clMsg)
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

QStringList messageLog(const camsim::CamSim& clSim)
{
    QStringList clList;
    for (const camsim::LoggedMessage& clMsg : clSim.messages())
        clList << describe(clMsg);
    return clList;
}

ZK_CMD run(ClKD4Cgi& clCgi, const ZK_CMD& clCmd, int iTimeoutMs)
{
    QSignalSpy clSpy(&clCgi, &ClKD4Cgi::sigResponse);
    clCgi.slotRequest(clCmd);
    if (!clSpy.wait(iTimeoutMs) || clSpy.isEmpty())
        return ZK_CMD();
    return clSpy.first().first().value<ZK_CMD>();
}

bool openSession(ClKD4Cgi& clCgi, camsim::CamSim& clSim)
{
    const ZK_CMD clAnswer = run(clCgi, command(CMD_START_SESSION));
    // The worker's finished() follows its answer; until the queue has handled it, new records wait.
    QTest::qWait(50);
    clSim.clearLog();
    return clAnswer.contains(ZkKey::ERROR) && zkError(clAnswer) == 0;
}

} // namespace Kd4Test
