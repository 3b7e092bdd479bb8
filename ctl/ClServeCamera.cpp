#include "ctl/ClServeCamera.h"

#include "camera/ClCommands.h"
#include "camera/ClFrameFetch.h"
#include "camera/ZkFrame.h"
#include "camera/ZkSetting.h"
#include "ctl/ClCtlSession.h"

#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace {

QString failure(const ClFrameFetch& clFetch)
{
    switch (clFetch.outcome()) {
    case ClFrameFetch::Outcome::TimedOut:
        return QStringLiteral("no frame came within %1 ms").arg(ZkFrame::TIMEOUT_MS);
    case ClFrameFetch::Outcome::NotFound:
        return QStringLiteral("the camera has no frames (its view finder stopped)");
    case ClFrameFetch::Outcome::Oversize:
        return QStringLiteral("the camera sent a frame larger than %1 MiB")
            .arg(ZkFrame::MAX_BYTES / (1024 * 1024));
    case ClFrameFetch::Outcome::Frame:
        return QStringLiteral("the camera sent an empty frame");
    default:
        return QStringLiteral("fetching a frame failed: %1").arg(clFetch.errorString());
    }
}

} // namespace

ClServeCamera::ClServeCamera(ClCtlSession& clSession, QObject* pclParent)
    : QObject(pclParent)
    , clSession(clSession)
    , clManager(this)
    , clRetry(this)
    , clReconnect(this)
    , clKeepAlive(this)
{
    clRetry.setSingleShot(true);
    clRetry.setInterval(ZkFrame::RETRY_PAUSE_MS);
    connect(&clRetry, &QTimer::timeout, this, &ClServeCamera::advance);
    clReconnect.setSingleShot(true);
    connect(&clReconnect, &QTimer::timeout, this, &ClServeCamera::reconnect);
    clKeepAlive.setInterval(KEEP_ALIVE_MS);
    connect(&clKeepAlive, &QTimer::timeout, this, &ClServeCamera::checkSession);
}

ClServeCamera::~ClServeCamera()
{
    dropFetch();
}

void ClServeCamera::slotStart()
{
    clKeepAlive.start();
}

void ClServeCamera::slotSetWanted(bool bNowWanted)
{
    bWanted = bNowWanted;
    advance();
}

void ClServeCamera::slotStop()
{
    bStopping = true;
    clRetry.stop();
    clReconnect.stop();
    clKeepAlive.stop();
    dropFetch();
    QString strError;
    if (bViewFinder) {
        setViewFinder(false);
        QVariant clIgnored;
        step(QStringLiteral("stopping the view finder"), CMD_STOP_LIVE, QVariant(), &clIgnored, strError);
    }
    emit sigStopped(strError);
}

void ClServeCamera::advance()
{
    if (bStopping || !bConnected)
        return;
    QString strError;
    if (bWanted && !bViewFinder) {
        // As the snapshot does: the answer names the frames' URL.
        QVariant clUrl;
        if (!step(QStringLiteral("starting the view finder"), CMD_START_LIVE, ZkValue::STREAM_MJPG, &clUrl,
                strError)) {
            lose(strError);
            return;
        }
        strFrameUrl = clUrl.toString();
        iRetries = 0;
        setViewFinder(true);
    } else if (!bWanted && bViewFinder) {
        dropFetch();
        clRetry.stop();
        setViewFinder(false);
        QVariant clIgnored;
        if (!step(QStringLiteral("stopping the view finder"), CMD_STOP_LIVE, QVariant(), &clIgnored,
                strError)) {
            lose(strError);
            return;
        }
    }
    if (bViewFinder && !pclFetch && !clRetry.isActive())
        fetch();
}

bool ClServeCamera::step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam,
    QVariant* pclResult, QString& strError)
{
    ZK_CMD clAnswer;
    const int iError = clSession.run(clCommand, clParam, QVariant(), &clAnswer);
    *pclResult = clAnswer.value(ZkKey::PARAM1);
    if (iError == 0)
        return true;
    strError = QStringLiteral("%1 failed: %2").arg(strWhat, clSession.reason(iError));
    return false;
}

void ClServeCamera::fetch()
{
    pclFetch = new ClFrameFetch(clManager, QUrl(strFrameUrl), this);
    connect(pclFetch, &ClFrameFetch::sigFinished, this, &ClServeCamera::fetched);
}

void ClServeCamera::fetched()
{
    ClFrameFetch* pclDone = std::exchange(pclFetch, nullptr);
    // Emitted from inside its reply's signal: not deleted here.
    pclDone->deleteLater();
    if (pclDone->outcome() == ClFrameFetch::Outcome::Frame) {
        const QByteArray clJpeg = pclDone->takeBody();
        if (!clJpeg.isEmpty()) {
            bool bStamped = false;
            const qint64 llServedUs = pclDone->rawHeader("X-Served-Us").toLongLong(&bStamped);
            emit sigFrame(clJpeg, bStamped ? llServedUs : -1);
            iRetries = 0;
            iPauseS = FIRST_PAUSE_S; // frames come again: the next loss starts with a short pause
            advance();
            return;
        }
    }
    // Time-outs and 404 answers get their retries, as in the live view; an empty frame, too.
    const bool bEmpty = pclDone->outcome() == ClFrameFetch::Outcome::Frame;
    if ((bEmpty && iRetries < ZkFrame::MAX_RETRIES) || pclDone->isRetried(iRetries)) {
        ++iRetries;
        clRetry.start();
        return;
    }
    lose(failure(*pclDone));
}

void ClServeCamera::dropFetch()
{
    ClFrameFetch* pclOld = std::exchange(pclFetch, nullptr);
    if (!pclOld)
        return;
    pclOld->disconnect(this);
    pclOld->cancel();
    pclOld->deleteLater();
}

void ClServeCamera::setViewFinder(bool bRunning)
{
    if (bViewFinder == bRunning)
        return;
    bViewFinder = bRunning;
    emit sigViewFinder(bRunning);
}

void ClServeCamera::lose(const QString& strError)
{
    dropFetch();
    clRetry.stop();
    // A new session starts without a view finder.
    setViewFinder(false);
    bConnected = false;
    emit sigState(false, strError, iPauseS);
    clReconnect.start(iPauseS * 1000);
    iPauseS = std::min(LONGEST_PAUSE_S, iPauseS * 2);
}

void ClServeCamera::reconnect()
{
    if (bStopping)
        return;
    QString strError;
    QVariant clIgnored;
    if (!step(QStringLiteral("opening the session again"), CMD_START_SESSION, QVariant(), &clIgnored,
            strError)) {
        lose(strError);
        return;
    }
    bConnected = true;
    if (!bWanted)
        iPauseS = FIRST_PAUSE_S;
    emit sigState(true, QString(), 0);
    advance();
}

void ClServeCamera::checkSession()
{
    // Frames coming prove the session; a lost one is being opened again.
    if (bStopping || !bConnected || bViewFinder)
        return;
    QString strError;
    QVariant clIgnored;
    if (!step(QStringLiteral("checking the session"), CMD_GET_ALL_SETTINGS, QVariant(), &clIgnored, strError))
        lose(strError);
}
