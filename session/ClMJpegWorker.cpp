#include "session/ClMJpegWorker.h"

#include "camera/ClCommands.h"
#include "camera/ClFrameFetch.h"
#include "camera/ZkFrame.h"
#include "camera/ZkSetting.h"

#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QThread>
#include <QUrl>

namespace {

// KD4TOOL_TRACE_FRAMES set: each frame carries the camera's serve time (its X-Served-Us header,
// which the simulator sends) as the image text "kd4-served-us", for the live view's trace.
bool traceFrames()
{
    static const bool B_TRACE = qEnvironmentVariableIsSet("KD4TOOL_TRACE_FRAMES");
    return B_TRACE;
}

} // namespace

ClMJpegWorker::ClMJpegWorker(const QString& strAddress)
    : AbstLiveWorker(strAddress)
{
}

ClMJpegWorker::~ClMJpegWorker()
{
    disconnect(clThreadEndConnection);
    // The manager takes the request in flight with it.
    pclFetch = nullptr;
    delete pclNetworkManager;
}

QString ClMJpegWorker::streamType() const
{
    return ZkValue::STREAM_MJPG;
}

void ClMJpegWorker::slotStartLive()
{
    {
        QMutexLocker clLock(&clMutex);
        bIsStopped = false;
    }
    AbstLiveWorker::slotStartLive();
}

void ClMJpegWorker::startStream(QString strNewUrl)
{
    QMutexLocker clLock(&clMutex);
    iRetryCount = 0;
    strUrl = strNewUrl;
    releaseNetwork();
    // Created here, so the manager and its replies belong to the live thread.
    pclNetworkManager = new QNetworkAccessManager();
    watchThreadEnd();
    requestFrame();
}

void ClMJpegWorker::slotStopLive()
{
    QMutexLocker clLock(&clMutex);
    bIsStopped = true;
}

void ClMJpegWorker::slotStopForce()
{
    QMutexLocker clLock(&clMutex);
    bIsStopped = true;
    if (!pclFetch)
        return;
    // The request belongs to the live thread and may only be touched there: it is cancelled as
    // soon as that thread gets to it, and its completion then takes the stop path. Should the
    // thread end first, the request goes with the network objects at its end.
    const QPointer<ClFrameFetch> clFetch(pclFetch);
    QMetaObject::invokeMethod(
        this,
        [this, clFetch] {
            if (clFetch && clFetch.data() == pclFetch)
                clFetch->cancel();
        },
        Qt::QueuedConnection);
}

void ClMJpegWorker::requestFrame()
{
    pclFetch = new ClFrameFetch(*pclNetworkManager, QUrl(strUrl), pclNetworkManager);
    pclFetch->ignoreSslErrors();
    connect(pclFetch, &ClFrameFetch::sigFinished, this, &ClMJpegWorker::slotFrameFetched);
}

void ClMJpegWorker::slotFrameFetched()
{
    QMutexLocker clLock(&clMutex);
    if (!pclFetch || sender() != pclFetch)
        return;
    ClFrameFetch* pclDone = pclFetch;
    const ClFrameFetch::Outcome eOutcome = pclDone->outcome();

    if (eOutcome == ClFrameFetch::Outcome::Frame) {
        iRetryCount = 0;
        const QString strServedUs
            = traceFrames() ? QString::fromLatin1(pclDone->rawHeader("X-Served-Us")) : QString();
        const QByteArray clBody = pclDone->takeBody();
        const QImage clImage = clDecoder.decodeNext(clBody, strServedUs);
        // Kept before anyone sees the image, who may then ask for its body by its serial.
        if (!clImage.isNull())
            clFrameStore.keep(ClJpegFrameDecoder::frameSerial(clImage), clBody);
        emit sigImage(clImage);
    } else if (pclDone->isRetried(iRetryCount)) {
        // After a stop nothing is retried, so there is nothing to wait for.
        if (!bIsStopped)
            QThread::msleep(ZkFrame::RETRY_PAUSE_MS);
        ++iRetryCount;
    } else {
        iRetryCount = 0;
        bIsStopped = true;
        // The text is a detail for the session manager, which never shows it: not translated.
        emit sigError(eOutcome == ClFrameFetch::Outcome::Oversize
                ? QStringLiteral("The camera sent a live frame larger than %1 MiB.")
                      .arg(ZkFrame::MAX_BYTES / (1024 * 1024))
                : pclDone->errorString());
        // Deleted later: this runs inside the request's own sigFinished().
        pclDone->deleteLater();
        pclFetch = nullptr;
        clDecoder.releaseBuffers();
        pclNetworkManager->deleteLater();
        pclNetworkManager = nullptr;
        return;
    }

    pclDone->deleteLater();
    pclFetch = nullptr;

    if (bIsStopped) {
        clDecoder.releaseBuffers();
        pclNetworkManager->deleteLater();
        pclNetworkManager = nullptr;
        ZK_CMD clCmd;
        clCmd.insert(ZkKey::CMD, QVariant::fromValue(CMD_STOP_LIVE));
        emit sigCgiRequest(clCmd);
    } else {
        requestFrame();
    }
}

void ClMJpegWorker::releaseNetwork()
{
    clDecoder.releaseBuffers();
    if (pclFetch) {
        disconnect(pclFetch, nullptr, this, nullptr);
        pclFetch = nullptr;
    }
    delete pclNetworkManager;
    pclNetworkManager = nullptr;
}

void ClMJpegWorker::watchThreadEnd()
{
    // When the live thread ends with a request still in flight (it was told to quit after a forced
    // stop), the network objects are released in that thread, the only one allowed to.
    QThread* pclThread = QThread::currentThread();
    if (pclThread == pclWatchedThread)
        return;
    disconnect(clThreadEndConnection);
    pclWatchedThread = pclThread;
    clThreadEndConnection = connect(
        pclThread, &QThread::finished, this,
        [this] {
            QMutexLocker clLock(&clMutex);
            bIsStopped = true;
            iRetryCount = 0;
            releaseNetwork();
        },
        Qt::DirectConnection);
}
