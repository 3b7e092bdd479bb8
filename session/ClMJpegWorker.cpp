#include "ClMJpegWorker.h"

#include "ClCommands.h"
#include "ZkSetting.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QUrl>

namespace {

bool isRetriedError(QNetworkReply::NetworkError eError)
{
    return eError == QNetworkReply::TimeoutError || eError == QNetworkReply::OperationCanceledError
        || eError == QNetworkReply::ContentNotFoundError;
}

} // namespace

QImage ClMJpegWorker::decodeFrame(QByteArray clBody)
{
    if (clBody.size() > MAX_FRAME_BYTES)
        return QImage();
    QBuffer clBuffer(&clBody);
    clBuffer.open(QIODevice::ReadOnly);
    QImageReader clReader(&clBuffer);
    const QSize clSize = clReader.size();
    if (!clSize.isValid() || clSize.width() > MAX_FRAME_SIDE || clSize.height() > MAX_FRAME_SIDE)
        return QImage();
    return clReader.read();
}

ClMJpegWorker::ClMJpegWorker(const QString& strAddress)
    : AbstLiveWorker(strAddress)
{
    clTimeoutTimer.setSingleShot(true);
    clTimeoutTimer.setInterval(FRAME_TIMEOUT_MS);
    clTimeoutTimer.setTimerType(Qt::PreciseTimer);
    connect(&clTimeoutTimer, &QTimer::timeout, this, &ClMJpegWorker::slotTimeout);
}

ClMJpegWorker::~ClMJpegWorker()
{
    disconnect(clThreadEndConnection);
    disconnectTimer();
    // The manager takes the reply in flight with it.
    pclReply = nullptr;
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
    connectTimer();
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
    if (bIsStopped)
        return;
    disconnectTimer();
    bIsStopped = true;
}

void ClMJpegWorker::slotStopForce()
{
    QMutexLocker clLock(&clMutex);
    emit sigStopTimeoutTimer();
    bIsStopped = true;
    if (!pclReply)
        return;
    disconnectTimer();
    // The reply belongs to the live thread and may only be touched there: it is closed as soon as
    // that thread gets to it, and its completion then takes the stop path. Should the thread end
    // first, the reply goes with the network objects at its end.
    const QPointer<QNetworkReply> clReply(pclReply);
    QMetaObject::invokeMethod(
        this,
        [this, clReply] {
            if (clReply && clReply.data() == pclReply)
                clReply->close();
        },
        Qt::QueuedConnection);
}

void ClMJpegWorker::requestFrame()
{
    emit sigStartTimeoutTimer();
    clRequestClock.start();
    bOversize = false;
    pclReply = pclNetworkManager->get(QNetworkRequest(QUrl(strUrl)));
    // With a bounded read buffer the network layer stops reading from the socket a little past the
    // cap, instead of taking in whatever the sender pushes while the abort is on its way. The margin
    // matters: the network layer fills the buffer in whole blocks and may stop short of its limit.
    pclReply->setReadBufferSize(MAX_FRAME_BYTES + READ_MARGIN_BYTES);
    pclReply->ignoreSslErrors();
    connect(pclReply, &QNetworkReply::readyRead, this, &ClMJpegWorker::slotTimeoutExtension);
    connect(pclReply, &QNetworkReply::metaDataChanged, this, [this] {
        if (pclReply && sender() == pclReply)
            checkFrameSize(pclReply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(pclReply, &QNetworkReply::finished, this, &ClMJpegWorker::slotFinishJpegReply);
}

void ClMJpegWorker::slotTimeoutExtension()
{
    if (!pclReply || sender() != pclReply)
        return;
    // The body stays in the reply until it has finished, so what is available is what came so far.
    checkFrameSize(pclReply->bytesAvailable());
    if (bOversize)
        return;
    // The limit counts from the last data received, not from the start of the request.
    emit sigStopTimeoutTimer();
    emit sigStartTimeoutTimer();
}

void ClMJpegWorker::checkFrameSize(qint64 llBytes)
{
    if (bOversize || llBytes <= MAX_FRAME_BYTES)
        return;
    bOversize = true;
    pclReply->abort(); // finishes the reply; its completion ends the stream
}

void ClMJpegWorker::slotTimeout()
{
    if (!pclReply)
        return;
    // The timer lives in another thread: a time-out that fired for the previous request can arrive
    // just after the next one has started. Only a request at least half the limit old is cancelled.
    if (clRequestClock.isValid() && clRequestClock.elapsed() < FRAME_TIMEOUT_MS / 2)
        return;
    pclReply->close(); // finishes with OperationCanceledError
}

void ClMJpegWorker::slotFinishJpegReply()
{
    QMutexLocker clLock(&clMutex);
    emit sigStopTimeoutTimer();
    if (!pclReply || sender() != pclReply)
        return;
    QNetworkReply* pclDone = pclReply;
    const QNetworkReply::NetworkError eError = pclDone->error();

    if (!bOversize && eError == QNetworkReply::NoError) {
        iRetryCount = 0;
        emit sigImage(decodeFrame(pclDone->readAll()));
    } else if (!bOversize && isRetriedError(eError) && iRetryCount < MAX_RETRIES) {
        // After a stop nothing is retried, so there is nothing to wait for.
        if (!bIsStopped)
            QThread::msleep(RETRY_PAUSE_MS);
        ++iRetryCount;
    } else {
        iRetryCount = 0;
        bIsStopped = true;
        disconnectTimer();
        // The text is a detail for the session manager, which never shows it: not translated.
        emit sigError(bOversize ? QStringLiteral("The camera sent a live frame larger than %1 MiB.")
                                      .arg(MAX_FRAME_BYTES / (1024 * 1024))
                                : pclDone->errorString());
        // Deleted later: this runs inside the reply's own finished().
        pclDone->deleteLater();
        pclReply = nullptr;
        pclNetworkManager->deleteLater();
        pclNetworkManager = nullptr;
        return;
    }

    pclDone->deleteLater();
    pclReply = nullptr;

    if (bIsStopped) {
        pclNetworkManager->deleteLater();
        pclNetworkManager = nullptr;
        ZK_CMD clCmd;
        clCmd.insert(ZkKey::CMD, QVariant::fromValue(CMD_STOP_LIVE));
        emit sigCgiRequest(clCmd);
    } else {
        requestFrame();
    }
}

void ClMJpegWorker::connectTimer()
{
    disconnectTimer();
    clTimerStartConnection = connect(this, &ClMJpegWorker::sigStartTimeoutTimer, &clTimeoutTimer,
        static_cast<void (QTimer::*)()>(&QTimer::start));
    clTimerStopConnection
        = connect(this, &ClMJpegWorker::sigStopTimeoutTimer, &clTimeoutTimer, &QTimer::stop);
}

void ClMJpegWorker::disconnectTimer()
{
    disconnect(clTimerStartConnection);
    disconnect(clTimerStopConnection);
    clTimerStartConnection = QMetaObject::Connection();
    clTimerStopConnection = QMetaObject::Connection();
}

void ClMJpegWorker::releaseNetwork()
{
    if (pclReply) {
        disconnect(pclReply, nullptr, this, nullptr);
        pclReply = nullptr;
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
            emit sigStopTimeoutTimer();
            disconnectTimer();
            bIsStopped = true;
            iRetryCount = 0;
            releaseNetwork();
        },
        Qt::DirectConnection);
}
