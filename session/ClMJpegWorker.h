#pragma once

#include "session/AbstLiveWorker.h"
#include "session/ClJpegFrameDecoder.h"
#include "session/ClLiveFrameStore.h"

#include <QMetaObject>
#include <QMutex>

class ClFrameFetch;
class QNetworkAccessManager;
class QThread;

// Fetches the live picture as single JPEG images, one HTTP GET after the other, from the URL of
// the camera's start-live answer, each with the frame limits of ClFrameFetch. Time-outs,
// cancellations and 404 answers are retried twice, anything else ends the stream.
//
// Each image that decodes leaves the camera's bytes behind in frameStore(), under its serial.
//
// Thread use: the worker lives in the live thread; slotStopForce and frameStore() may be used from
// any thread. Delete the worker once the live thread has finished.
class ClMJpegWorker : public AbstLiveWorker
{
    Q_OBJECT
    Q_DISABLE_COPY(ClMJpegWorker)

public:
    explicit ClMJpegWorker(const QString& strAddress);
    ~ClMJpegWorker() override;

    // The bodies of the last images emitted that decoded. They outlast the stream, so the picture
    // left on screen while the stream is held can still be saved.
    const ClLiveFrameStore& frameStore() const { return clFrameStore; }

public slots:
    void slotStartLive() override;
    void slotStopLive() override;
    void slotStopForce() override;

protected:
    QString streamType() const override;
    void startStream(QString strUrl) override;

private slots:
    void slotFrameFetched();

private:
    void requestFrame();
    void releaseNetwork();
    void watchThreadEnd();

    QNetworkAccessManager* pclNetworkManager = nullptr;
    // The frame request in flight; a child of the manager.
    ClFrameFetch* pclFetch = nullptr;
    QMutex clMutex;
    QString strUrl;
    bool bIsStopped = true;
    int iRetryCount = 0;
    QThread* pclWatchedThread = nullptr;
    ClJpegFrameDecoder clDecoder;
    ClLiveFrameStore clFrameStore;
    QMetaObject::Connection clThreadEndConnection;
};
