#include "ctl/ClCtlSession.h"

#include "camera/ClFrameFetch.h"
#include "camera/ClKD4CgiWorker.h"
#include "camera/ZkFrame.h"
#include "ctl/CtlExit.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QThread>
#include <QUrl>

namespace {

QString fromWire(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

bool isTransportError(int iError)
{
    // -1 is not among them: it is what the camera answers when it refuses, and an answer without a
    // result code reads as the same -1, so both count as the camera's refusal.
    switch (iError) {
    case ZkError::Timeout:
    case ZkError::TransferFailed:
    case ZkError::NotJson:
    case ZkError::HttpStatus:
    case ZkError::NoHandle:
        return true;
    default:
        return false;
    }
}

} // namespace

ClCtlSession::ClCtlSession(const QString& strAddress)
    : pclWorker(std::make_unique<ClKD4CgiWorker>(strAddress))
{
}

ClCtlSession::~ClCtlSession() = default;

bool ClCtlSession::closeNow()
{
    return pclWorker->closeSessionNow(CLOSE_NOW_SEC);
}

QString ClCtlSession::address() const
{
    return pclWorker->getAddress();
}

int ClCtlSession::run(
    const QUuid& clCommand, const QVariant& clParam1, const QVariant& clParam2, ZK_CMD* pclAnswer)
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(clCommand));
    if (clParam1.isValid())
        clCmd.insert(ZkKey::PARAM1, clParam1);
    if (clParam2.isValid())
        clCmd.insert(ZkKey::PARAM2, clParam2);
    const ZK_CMD clAnswer = pclWorker->execute(clCmd);
    if (pclAnswer)
        *pclAnswer = clAnswer;
    return zkError(clAnswer);
}

int ClCtlSession::readSettings(QMap<QString, QString>& clSettings)
{
    std::unordered_map<std::string, std::string> clTable;
    const int iError = pclWorker->readAllSettings(clTable);
    clSettings.clear();
    for (const auto& clEntry : clTable)
        clSettings.insert(fromWire(clEntry.first), fromWire(clEntry.second));
    return iError;
}

bool ClCtlSession::fetchFrame(const QString& strUrl, QByteArray& clFrame, QString& strError)
{
    if (!pclFrames)
        pclFrames = std::make_unique<QNetworkAccessManager>();
    for (int iRetries = 0;; ++iRetries) {
        ClFrameFetch clFetch(*pclFrames, QUrl(strUrl));
        QEventLoop clLoop;
        QObject::connect(&clFetch, &ClFrameFetch::sigFinished, &clLoop, &QEventLoop::quit);
        clLoop.exec();

        switch (clFetch.outcome()) {
        case ClFrameFetch::Outcome::Frame:
            clFrame = clFetch.takeBody();
            return true;
        case ClFrameFetch::Outcome::Oversize:
            strError = QStringLiteral("the camera sent a frame larger than %1 MiB")
                           .arg(ZkFrame::MAX_BYTES / (1024 * 1024));
            return false;
        case ClFrameFetch::Outcome::TimedOut:
            strError = QStringLiteral("no frame came within %1 ms").arg(ZkFrame::TIMEOUT_MS);
            break;
        default:
            strError = clFetch.errorString();
            break;
        }
        // The frames the live view asks for again: the view finder may not be running yet.
        if (!clFetch.isRetried(iRetries))
            return false;
        QThread::msleep(ZkFrame::RETRY_PAUSE_MS);
    }
}

int ClCtlSession::exitCode(int iError)
{
    if (iError == 0)
        return CtlExit::DONE;
    return isTransportError(iError) ? CtlExit::TRANSPORT : CtlExit::REFUSED;
}

QString ClCtlSession::reason(int iError) const
{
    switch (iError) {
    case ZkError::Timeout:
        return QStringLiteral("the camera at %1 did not answer in time").arg(address());
    case ZkError::TransferFailed:
        return QStringLiteral("the camera at %1 could not be reached, or the connection broke")
            .arg(address());
    case ZkError::NotJson:
        return QStringLiteral("the camera's answer was broken (no JSON object)");
    case ZkError::HttpStatus:
        return QStringLiteral("the camera answered with an HTTP error status");
    case ZkError::NoHandle:
        return QStringLiteral("no transfer could be started");
    case ZkError::NoRval:
        return QStringLiteral("the camera refused it (rval -1, or an answer without a result code)");
    case ZkError::CameraRefused:
        return QStringLiteral("the camera refused it (rval %1: no valid session, another client may have "
                              "taken it over)")
            .arg(iError);
    default:
        return QStringLiteral("the camera refused it (rval %1)").arg(iError);
    }
}
