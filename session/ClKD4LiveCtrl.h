#pragma once

#include "camera/ZK_CMD.h"
#include "session/ClShutdownWait.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QTimer>

class ClKD4Cgi;
class ClMJpegWorker;
class ClNotifyListener;

// The switchboard below the session manager: passes requests to the request queue and sorts the
// answers back (session manager, live worker, own polling), holds requests back while the live
// stream stops for a setting change, re-reads all settings 20 seconds after each answer, and runs
// the live thread and the notification listener.
class ClKD4LiveCtrl : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClKD4LiveCtrl)

public:
    static constexpr int POLLING_INTERVAL_MS = 20000;
    static constexpr int STOP_WAIT_MS = ClShutdownWait::LIMIT_MS;
    // Frames arriving without one that decodes for this long: the picture shown is not live.
    static constexpr int LIVE_STALL_MS = 1000;

    explicit ClKD4LiveCtrl(const QString& strAddress, QObject* pclParent = nullptr);
    ~ClKD4LiveCtrl() override;

    void startLive();
    void stopLive();
    void escapeLive();
    void setNotifyListening(bool bIsListening);
    void setSettingPolling(bool bIsPolling);
    // Drops the held-back and queued requests; those that came from above are reported by
    // sigRequestsDropped, since they will never be answered.
    void clearRequests();

    // The polling timer while polling is on, else null; lets tests drive a poll without waiting.
    QTimer* pollingTimer() const { return pclPollingTimer; }
    bool isLiveRunning() const { return clLiveThread.isRunning(); }
    // The JPEG the camera sent for a frame of sigImage, as it came, while it is among the last few
    // that decoded; empty for any other image.
    QByteArray frameBody(const QImage& clFrame) const;

signals:
    void sigResponse(ZK_CMD clCmd);
    void sigImage(QImage clImg);
    void sigNotify(ClNotifyList clNotifyList);
    void sigGetSettingPolling(ClAllSettings clSettings);
    void sigPollingError(int iErrCode);
    void sigLiveError(QString strErr);
    void sigRequest(ZK_CMD clCmd);
    void sigLiveResponse(ZK_CMD clCmd);
    void sigStartLive();
    void sigStopLive();
    void sigEscapeLive();
    void sigRequestsDropped(QList<ZK_CMD> clCmds);
    // Once per stall: frames came, but none decoded within LIVE_STALL_MS of the last good one.
    void sigLiveStalled();

public slots:
    void slotSendRequest(ZK_CMD clCmd);

private slots:
    void slotSendLiveRquest(ZK_CMD clCmd);
    void slotRecvResponse(ZK_CMD clCmd);
    void slotRecvLiveFinish();
    void slotRequestGetPolling();
    void slotStopAll();
    void slotWatchFrame(const QImage& clImg);
    void slotFrameWatchTimeout();

private:
    void waitForLiveStop(void (ClKD4LiveCtrl::*pfnStopSignal)());
    void setLiveWanted(bool bIsWanted);
    // Sends the first held-back command; clRequestMutex is held.
    void sendFirstHeld();
    // The stream stops or is held: a pause is no stall.
    void stopFrameWatch();

    ClKD4Cgi* pclCgi = nullptr;
    QThread clLiveThread;
    QList<ZK_CMD> clRequestList;
    ClNotifyListener* pclNotifyListener = nullptr;
    QTimer* pclPollingTimer = nullptr;
    QMutex clPollingMutex;
    QMutex clRequestMutex;
    ClMJpegWorker* pclLiveWorker = nullptr;
    // A stop of the live stream is under way; a stop confirmation at any other time is stale.
    bool bIsStoppingLive = false;
    // The owner wants the live stream (startLive, not stopLive or escapeLive since): a stream held
    // for a setting change starts again after the last held-back answer only then. Guarded by
    // clRequestMutex.
    bool bIsLiveWanted = false;
    // The first held-back command has been sent and is waiting or running below. Guarded by
    // clRequestMutex.
    bool bIsHeadSent = false;
    // Runs from a frame answer until a good frame restarts it; its time-out is a stall.
    QTimer clFrameWatch;
    bool bIsStalled = false;
};
