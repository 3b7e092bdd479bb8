#pragma once

#include "camera/ZK_CMD.h"
#include "session/ClShutdownWait.h"

#include <QEventLoop>
#include <QImage>
#include <QObject>
#include <QUuid>

class ClKD4LiveCtrl;

// The one object that knows whether there is a session with the camera. Every request of the
// widget tree passes through it (it counts them for the busy ring and the settings' enable), it
// opens and closes the session with its own commands, and it keeps the camera state the live view
// shows: recording, high-speed recording, battery and mains adapter.
class ClKD4Mgr : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClKD4Mgr)

public:
    static constexpr int STOP_WAIT_MS = ClShutdownWait::LIMIT_MS;

    explicit ClKD4Mgr(QObject* pclParent = nullptr);
    ~ClKD4Mgr() override;

    void startSession();
    void stopSession();
    void escapeSession();
    void endSession();

    bool isSession() const { return bIsSession; }
    // The state the overlays and the settings' enable follow, for checks from outside.
    bool isRecording() const { return bIsRecording; }
    bool isHighSpeed() const { return bIsHighSpeed; }
    int processCount() const { return iProcessCount; }
    ClKD4LiveCtrl* liveCtrl() const { return pclLiveCtrl; }

signals:
    void sigRecvResponse(ZK_CMD clCmd);
    void sigStartedSession(ClAllSettings clSettings);
    void sigEndSession();
    void sigImage(QImage clImg);
    void sigRecordingState(bool bIsRecording, bool bIsHighSpeed);
    void sigBatteryState(qint32 lBattery, bool bIsAcConnect);
    void sigChangeSettingEnable(bool bIsEnable);
    void sigProgressState(bool bIsProcessing);
    void sigSendRequest(ZK_CMD clCmd);
    // The camera refused to open a session, or could not be reached (the answer's "ERROR").
    void sigConnectFailed(int iErrCode);
    // A settings poll taken while nothing of the window was outstanding: the camera's values now.
    void sigPolledSettings(ClAllSettings clSettings);
    // Frames kept coming but none could be shown for a second: the picture shown is not live.
    void sigLiveStalled();

public slots:
    void slotSendRequest(ZK_CMD clCmd);
    void slotChangeRecordingResolution(QString strResolution);

private slots:
    void slotRecvResponse(ZK_CMD clCmd);
    void slotRecvNotify(ClNotifyList clInfoList);
    void slotRecvGetRequestPolling(ClAllSettings clSettings);
    void slotLiveError(QString strErr);
    void slotPollingError(int iErr);
    void slotRequestsDropped(QList<ZK_CMD> clCmds);

private:
    void countUp();
    void countDown(int iCount = 1);
    bool isCounted(const ZK_CMD& clCmd) const;
    // Every end of a session: nothing counted, no recording, the ring off and the settings free.
    void resetState();
    bool isEnable() const;
    void sendOwnCommand(const QUuid& clCommand);
    void recvOwnResponse(const ZK_CMD& clCmd);
    void updateCameraState(const ClAllSettings& clSettings);
    void applyLiveRule();
    void closeSession(bool bForced);

    ClKD4LiveCtrl* pclLiveCtrl = nullptr;
    bool bIsRecording = false;
    bool bIsHighSpeed = false;
    bool bIsAcConnect = false;
    qint32 lBattery = 0;
    bool bIsSession = false;
    bool bIsLive = false;
    QEventLoop clEventLoop;
    // The wait for the stop-session answer is armed, and that answer has been handled.
    bool bStopWaiting = false;
    bool bStopAnswered = false;
    int iProcessCount = 0;
    // Stamped on every counted request; a new round begins with each end of a session.
    int iRound = 0;
};
