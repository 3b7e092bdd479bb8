#pragma once

#include "camera/ZkFrame.h"
#include "session/AbstLiveWorker.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutex>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;
class QThread;

// Fetches the live picture as single JPEG images, one HTTP GET after the other, from the URL of
// the camera's start-live answer. A frame request that receives nothing for a second is cancelled;
// time-outs, cancellations and 404 answers are retried twice, anything else ends the stream.
//
// Thread use: the worker lives in the live thread; slotStopForce may be called from any thread.
// The time-out timer stays in the thread that created the worker and is driven only through
// sigStartTimeoutTimer and sigStopTimeoutTimer. Delete the worker in that creating thread once the
// live thread has finished.
class ClMJpegWorker : public AbstLiveWorker
{
    Q_OBJECT
    Q_DISABLE_COPY(ClMJpegWorker)

public:
    // No camera answer carries a frame anywhere near this size; a bigger body ends the stream.
    static constexpr qint64 MAX_FRAME_BYTES = ZkFrame::MAX_BYTES;
    static constexpr qint64 READ_MARGIN_BYTES = 1024 * 1024;
    // A frame whose header claims a wider or taller picture is not decoded (a null image instead).
    static constexpr int MAX_FRAME_SIDE = 8192;
    static constexpr int FRAME_TIMEOUT_MS = ZkFrame::TIMEOUT_MS;

    // A received frame's body as an image, its format taken from the data. A body that does not
    // decode gives a null image, and so does one beyond the size limits: a few bytes can claim
    // 20000 x 20000 pixels, which would be allocated in full before decoding fails.
    // With a valid clShownSize (the size the frame is shown at, in device pixels) a JPEG frame
    // shown at half its size or less gets decoded smaller, scaled by libjpeg in the DCT: to the
    // smallest of 1/8, 1/4 and 1/2 of its size that still covers the shown size and keeps the
    // aspect ratio exactly, so where the frame lands on screen does not change.
    // pclBuffer, when given and held by nobody else, lends its memory: a JPEG frame of its size
    // and format is decoded into it, and it is left null.
    static QImage decodeFrame(
        QByteArray clBody, const QSize& clShownSize = QSize(), QImage* pclBuffer = nullptr);
    // The size to decode a frame of clFrameSize at for showing it at clShownSize.
    static QSize decodeSize(const QSize& clFrameSize, const QSize& clShownSize);
    // The size the live view shows frames at, in device pixels (any thread; invalid: full size).
    static void setShownSize(const QSize& clSize);
    static QSize shownSize();
    static constexpr int RETRY_PAUSE_MS = ZkFrame::RETRY_PAUSE_MS;
    static constexpr int MAX_RETRIES = ZkFrame::MAX_RETRIES;

    explicit ClMJpegWorker(const QString& strAddress);
    ~ClMJpegWorker() override;

signals:
    void sigStartTimeoutTimer();
    void sigStopTimeoutTimer();
    // The time-out fired while data still came in: the timer runs again for the given rest.
    void sigRestartTimeoutTimer(int iMs);

public slots:
    void slotStartLive() override;
    void slotStopLive() override;
    void slotStopForce() override;

protected:
    QString streamType() const override;
    void startStream(QString strUrl) override;

private slots:
    void slotFinishJpegReply();
    void slotTimeoutExtension();
    void slotTimeout();

private:
    void requestFrame();
    void connectTimer();
    void disconnectTimer();
    void checkFrameSize(qint64 llBytes);
    void releaseNetwork();
    void releaseFrameBuffers();
    void watchThreadEnd();

    QNetworkAccessManager* pclNetworkManager = nullptr;
    QNetworkReply* pclReply = nullptr;
    QMutex clMutex;
    QString strUrl;
    bool bIsStopped = true;
    QTimer clTimeoutTimer;
    int iRetryCount = 0;

    QMetaObject::Connection clTimerStartConnection;
    QMetaObject::Connection clTimerStopConnection;
    QMetaObject::Connection clTimerRestartConnection;
    // When the reply in flight was requested: tells a time-out of an earlier request from its own.
    QElapsedTimer clRequestClock;
    // When data for the reply in flight last came (or it was requested): the one-second limit
    // counts from here.
    QElapsedTimer clLastDataClock;
    bool bOversize = false;
    QThread* pclWatchedThread = nullptr;
    // Frames are decoded into these in turn, so streaming does not allocate and fault in fresh
    // memory for every frame: one is shown while the next is decoded into the other.
    static constexpr int FRAME_BUFFERS = 2;
    QImage aclFrameBuffers[FRAME_BUFFERS];
    int iFrameBuffer = 0;
    QMetaObject::Connection clThreadEndConnection;
};
