#include "session/ClMJpegWorker.h"

#include "camera/ClCommands.h"
#include "camera/ZkSetting.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// The size the live view shows frames at: width in the high half, height in the low half.
std::atomic<quint32> g_uShownSize { 0 };

// KD4TOOL_TRACE_FRAMES set: each frame carries the camera's serve time (its X-Served-Us header,
// which the simulator sends) as the image text "kd4-served-us", for the live view's trace.
bool traceFrames()
{
    static const bool B_TRACE = qEnvironmentVariableIsSet("KD4TOOL_TRACE_FRAMES");
    return B_TRACE;
}

// libjpeg reports a fatal error by a jump back into decodeJpeg; its warnings are not printed.
struct stJpegError
{
    jpeg_error_mgr stManager;
    jmp_buf aJump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr pInfo)
{
    longjmp(reinterpret_cast<stJpegError*>(pInfo->err)->aJump, 1);
}

void jpegQuiet(j_common_ptr) { }

// Decodes a colour or grey JPEG straight into clImage: colour as Format_RGB32 (libjpeg writes the
// 32-bit pixels itself, so no conversion pass follows, and reads the body where it lies), grey as
// Format_Grayscale8, the same pixels the Qt JPEG reader gives. clImage keeps its memory when it has
// the size and format and nobody else holds it. A frame shown at half its size or less is scaled
// in the DCT (ClMJpegWorker::decodeSize). False for anything else (CMYK, a fatal error, a frame
// past the side limit): the caller falls back on the Qt reader. Only plain C objects live in this
// frame, so the error jump skips no destructor.
bool decodeJpeg(const QByteArray& clBody, const QSize& clShownSize, int iMaxSide, QImage& clImage)
{
    jpeg_decompress_struct stInfo;
    stJpegError stError;
    stInfo.err = jpeg_std_error(&stError.stManager);
    stError.stManager.error_exit = jpegErrorExit;
    stError.stManager.output_message = jpegQuiet;
    if (setjmp(stError.aJump)) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    jpeg_create_decompress(&stInfo);
    jpeg_mem_src(&stInfo, reinterpret_cast<const unsigned char*>(clBody.constData()),
        static_cast<unsigned long>(clBody.size()));
    if (jpeg_read_header(&stInfo, TRUE) != JPEG_HEADER_OK || stInfo.image_width > JDIMENSION(iMaxSide)
        || stInfo.image_height > JDIMENSION(iMaxSide)
        || (stInfo.num_components != 3 && stInfo.num_components != 1)) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    const bool bGrey = stInfo.num_components == 1;
    stInfo.out_color_space = bGrey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    const QSize clFrame(int(stInfo.image_width), int(stInfo.image_height));
    const QSize clDecode = ClMJpegWorker::decodeSize(clFrame, clShownSize);
    stInfo.scale_num = 1;
    stInfo.scale_denom = static_cast<unsigned int>(clFrame.width() / clDecode.width());
    jpeg_start_decompress(&stInfo);
    const QSize clOut(int(stInfo.output_width), int(stInfo.output_height));
    const QImage::Format eFormat = bGrey ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    // An image handed in that nobody else holds keeps its memory when it fits.
    if (clImage.size() != clOut || clImage.format() != eFormat || !clImage.isDetached())
        clImage = QImage(clOut, eFormat);
    if (clImage.isNull()) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    uchar* pBits = clImage.bits();
    const qsizetype iStride = clImage.bytesPerLine();
    while (stInfo.output_scanline < stInfo.output_height) {
        JSAMPROW pRow = pBits + iStride * qsizetype(stInfo.output_scanline);
        jpeg_read_scanlines(&stInfo, &pRow, 1);
    }
    jpeg_finish_decompress(&stInfo);
    jpeg_destroy_decompress(&stInfo);
    return true;
}

bool isRetriedError(QNetworkReply::NetworkError eError)
{
    return eError == QNetworkReply::TimeoutError || eError == QNetworkReply::OperationCanceledError
        || eError == QNetworkReply::ContentNotFoundError;
}

} // namespace

QImage ClMJpegWorker::decodeFrame(QByteArray clBody, const QSize& clShownSize, QImage* pclBuffer)
{
    if (clBody.size() > MAX_FRAME_BYTES)
        return QImage();
    if (clBody.startsWith("\xff\xd8")) {
        // A camera frame: libjpeg directly, at the shown size where that is half or less.
        QImage clImage;
        if (pclBuffer && pclBuffer->isDetached())
            clImage.swap(*pclBuffer);
        if (decodeJpeg(clBody, clShownSize, MAX_FRAME_SIDE, clImage))
            return clImage;
    }
    QBuffer clBuffer(&clBody);
    clBuffer.open(QIODevice::ReadOnly);
    QImageReader clReader(&clBuffer);
    const QSize clSize = clReader.size();
    if (!clSize.isValid() || clSize.width() > MAX_FRAME_SIDE || clSize.height() > MAX_FRAME_SIDE)
        return QImage();
    if (clShownSize.isValid() && clReader.format() == "jpeg") {
        const QSize clDecode = decodeSize(clSize, clShownSize);
        if (clDecode != clSize)
            clReader.setScaledSize(clDecode);
    }
    return clReader.read();
}

QSize ClMJpegWorker::decodeSize(const QSize& clFrameSize, const QSize& clShownSize)
{
    if (!clFrameSize.isValid() || !clShownSize.isValid())
        return clFrameSize;
    const QSize clFitted = clFrameSize.scaled(clShownSize, Qt::KeepAspectRatio);
    const int iW = clFrameSize.width();
    const int iH = clFrameSize.height();
    // Only 1/8, 1/4 and 1/2: libjpeg's other factors (M/8) run slower than decoding in full.
    for (int iM : { 1, 2, 4 }) {
        // Only whole sizes keep the aspect ratio exactly, and with it the fitted rectangle.
        if ((iW * iM) % 8 != 0 || (iH * iM) % 8 != 0)
            continue;
        const QSize clScaled(iW * iM / 8, iH * iM / 8);
        if (clScaled.width() >= clFitted.width() && clScaled.height() >= clFitted.height())
            return clScaled;
    }
    return clFrameSize;
}

void ClMJpegWorker::setShownSize(const QSize& clSize)
{
    const bool bValid = clSize.isValid() && clSize.width() <= 0xffff && clSize.height() <= 0xffff;
    g_uShownSize.store(bValid ? (quint32(clSize.width()) << 16) | quint32(clSize.height()) : 0);
}

QSize ClMJpegWorker::shownSize()
{
    const quint32 uSize = g_uShownSize.load();
    return uSize == 0 ? QSize() : QSize(int(uSize >> 16), int(uSize & 0xffff));
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
    clLastDataClock.start();
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
    // The limit counts from the last data received, not from the start of the request. The timer
    // lives in another thread, so it is not restarted for every piece of a frame: slotTimeout
    // looks at this clock and sets the timer again for the rest of the second.
    clLastDataClock.start();
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
    const qint64 llQuietMs = clLastDataClock.elapsed();
    if (llQuietMs < FRAME_TIMEOUT_MS) {
        emit sigRestartTimeoutTimer(int(FRAME_TIMEOUT_MS - llQuietMs));
        return;
    }
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
        // The buffer of the frame before last is free again once the live view has moved on to
        // the last one; otherwise this frame gets fresh memory, which takes the buffer's place.
        iFrameBuffer = (iFrameBuffer + 1) % FRAME_BUFFERS;
        QImage clFrame = decodeFrame(pclDone->readAll(), shownSize(), &aclFrameBuffers[iFrameBuffer]);
        if (traceFrames() && !clFrame.isNull())
            clFrame.setText(
                QStringLiteral("kd4-served-us"), QString::fromLatin1(pclDone->rawHeader("X-Served-Us")));
        // Kept only after the last change above: a change to a shared image copies it.
        aclFrameBuffers[iFrameBuffer] = clFrame;
        emit sigImage(clFrame);
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
        releaseFrameBuffers();
        pclNetworkManager->deleteLater();
        pclNetworkManager = nullptr;
        return;
    }

    pclDone->deleteLater();
    pclReply = nullptr;

    if (bIsStopped) {
        releaseFrameBuffers();
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
    // Always the whole second: a restart for the rest of one leaves its interval behind.
    QTimer* pclTimer = &clTimeoutTimer;
    clTimerStartConnection = connect(this, &ClMJpegWorker::sigStartTimeoutTimer, pclTimer,
        [pclTimer] { pclTimer->start(FRAME_TIMEOUT_MS); });
    clTimerStopConnection
        = connect(this, &ClMJpegWorker::sigStopTimeoutTimer, &clTimeoutTimer, &QTimer::stop);
    clTimerRestartConnection = connect(this, &ClMJpegWorker::sigRestartTimeoutTimer, &clTimeoutTimer,
        static_cast<void (QTimer::*)(int)>(&QTimer::start));
}

void ClMJpegWorker::disconnectTimer()
{
    disconnect(clTimerStartConnection);
    disconnect(clTimerStopConnection);
    disconnect(clTimerRestartConnection);
    clTimerStartConnection = QMetaObject::Connection();
    clTimerStopConnection = QMetaObject::Connection();
    clTimerRestartConnection = QMetaObject::Connection();
}

void ClMJpegWorker::releaseFrameBuffers()
{
    for (QImage& clBuffer : aclFrameBuffers)
        clBuffer = QImage();
}

void ClMJpegWorker::releaseNetwork()
{
    releaseFrameBuffers();
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
