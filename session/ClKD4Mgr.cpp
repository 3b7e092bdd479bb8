#include "session/ClKD4Mgr.h"

#include "camera/ClCameraAddress.h"
#include "camera/ClCommands.h"
#include "camera/ZkResolution.h"
#include "camera/ZkSetting.h"
#include "session/ClKD4LiveCtrl.h"

#include "session/ClShutdownWait.h"

#include <algorithm>

ClKD4Mgr::ClKD4Mgr(QObject* pclParent)
    : QObject(pclParent)
{
    pclLiveCtrl = new ClKD4LiveCtrl(ClCameraAddress::current(), this);

    connect(this, &ClKD4Mgr::sigSendRequest, pclLiveCtrl, &ClKD4LiveCtrl::slotSendRequest);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigResponse, this, &ClKD4Mgr::slotRecvResponse);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigImage, this, &ClKD4Mgr::sigImage);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigNotify, this, &ClKD4Mgr::slotRecvNotify);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigGetSettingPolling, this, &ClKD4Mgr::slotRecvGetRequestPolling);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigPollingError, this, &ClKD4Mgr::slotPollingError);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigLiveError, this, &ClKD4Mgr::slotLiveError);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigRequestsDropped, this, &ClKD4Mgr::slotRequestsDropped);
    connect(pclLiveCtrl, &ClKD4LiveCtrl::sigLiveStalled, this, &ClKD4Mgr::sigLiveStalled);
}

ClKD4Mgr::~ClKD4Mgr() = default;

bool ClKD4Mgr::isEnable() const
{
    return iProcessCount == 0 && !bIsRecording;
}

void ClKD4Mgr::countUp()
{
    const int iOld = iProcessCount;
    ++iProcessCount;
    if (iOld == 0)
        emit sigProgressState(true);
    emit sigChangeSettingEnable(isEnable());
}

void ClKD4Mgr::countDown(int iCount)
{
    iProcessCount = qMax(0, iProcessCount - iCount);
    if (iProcessCount == 0)
        emit sigProgressState(false);
    emit sigChangeSettingEnable(isEnable());
}

bool ClKD4Mgr::isCounted(const ZK_CMD& clCmd) const
{
    // A record without a round was not stamped here, and counts as before.
    return !clCmd.contains(ZkKey::ROUND) || clCmd.value(ZkKey::ROUND).toInt() == iRound;
}

void ClKD4Mgr::slotSendRequest(ZK_CMD clCmd)
{
    clCmd.insert(ZkKey::ROUND, iRound);
    countUp();
    emit sigSendRequest(clCmd);
}

void ClKD4Mgr::slotRequestsDropped(QList<ZK_CMD> clCmds)
{
    // Dropped requests are never answered: they must not keep the busy ring turning.
    const int iDropped = int(std::count_if(
        clCmds.cbegin(), clCmds.cend(), [this](const ZK_CMD& clCmd) { return isCounted(clCmd); }));
    if (iDropped > 0)
        countDown(iDropped);
}

void ClKD4Mgr::sendOwnCommand(const QUuid& clCommand)
{
    slotSendRequest(zkOwnCommand(clCommand, this));
}

void ClKD4Mgr::slotRecvResponse(ZK_CMD clCmd)
{
    // An answer to a request of a session that has ended was un-counted when it ended.
    if (isCounted(clCmd))
        countDown();
    clCmd.remove(ZkKey::ROUND);
    if (zkIsFrom(clCmd, this)) {
        recvOwnResponse(clCmd);
        return;
    }
    emit sigRecvResponse(clCmd);
}

void ClKD4Mgr::recvOwnResponse(const ZK_CMD& clCmd)
{
    const QUuid clCommand = zkCommand(clCmd);
    if (clCommand == CMD_START_SESSION) {
        const int iErr = zkError(clCmd);
        if (iErr != ZkError::Success) {
            emit sigConnectFailed(iErr);
            return;
        }
        bIsSession = true;
        pclLiveCtrl->setNotifyListening(true);
        pclLiveCtrl->setSettingPolling(true);
        sendOwnCommand(CMD_GET_ALL_SETTINGS);
    } else if (clCommand == CMD_STOP_SESSION) {
        // Only the answer to the stop-session command being waited for counts; one that comes
        // after its wait gave up is ignored. Answers come back in the order the commands went
        // out, and a new close needs a session opened after the old stop-session command, so a
        // late answer is always in before a later wait is armed.
        if (!bStopWaiting)
            return;
        bStopAnswered = true;
        // It may come before the wait has begun (see closeSession); the flag covers that case.
        if (clEventLoop.isRunning())
            clEventLoop.quit();
    } else if (clCommand == CMD_GET_ALL_SETTINGS) {
        // The session was closed while this read was out: there is nothing to open any more.
        if (!bIsSession)
            return;
        if (zkError(clCmd) != ZkError::Success) {
            endSession();
            return;
        }
        // The settings UI reports the video resolution while it handles this signal, so the
        // high-speed flag is current by the time the live rule below looks at it.
        emit sigStartedSession(clCmd.value(ZkKey::PARAM1).toMap());

        const bool bWasBlocked = blockSignals(true);
        updateCameraState(clCmd.value(ZkKey::PARAM1).toMap());
        blockSignals(bWasBlocked);
        emit sigRecordingState(bIsRecording, bIsHighSpeed);
        emit sigBatteryState(lBattery, bIsAcConnect);
        // The enable sent with the count above did not know yet whether the camera records.
        emit sigChangeSettingEnable(isEnable());

        if (!(bIsHighSpeed && bIsRecording)) {
            pclLiveCtrl->startLive();
            bIsLive = true;
        }
    }
}

void ClKD4Mgr::updateCameraState(const ClAllSettings& clSettings)
{
    // The resolution can change on the camera's own menu: what the camera reports decides.
    bool bRecordStateChanged = false;
    const QVariant clResolution = clSettings.value(ZkSetting::VIDEO_RESOLUTION);
    if (clResolution.canConvert<QString>()) {
        const bool bHighSpeed = ZkResolution::isHighSpeed(clResolution.toString());
        bRecordStateChanged = bHighSpeed != bIsHighSpeed && bIsRecording;
        bIsHighSpeed = bHighSpeed;
    }
    const QVariant clStatus = clSettings.value(ZkSetting::APP_STATUS);
    if (clStatus.canConvert<QString>()) {
        const bool bRecording = clStatus.toString() == ZkValue::RECORD;
        bRecordStateChanged = bRecordStateChanged || bRecording != bIsRecording;
        bIsRecording = bRecording;
    }
    if (bRecordStateChanged)
        emit sigRecordingState(bIsRecording, bIsHighSpeed);

    bool bBatteryChanged = false;
    const QVariant clAc = clSettings.value(ZkSetting::GET_AC_CONNECTION);
    if (clAc.canConvert<QString>()) {
        const bool bConnected = clAc.toString() == ZkValue::CONNECTED;
        if (bConnected != bIsAcConnect) {
            bIsAcConnect = bConnected;
            bBatteryChanged = true;
        }
    }

    const QVariant clBattery = clSettings.value(ZkSetting::BATTERY);
    if (clBattery.canConvert<QString>()) {
        bool bOk = false;
        const qint32 lLevel = clBattery.toString().toInt(&bOk, 10);
        if (bOk && lLevel != lBattery) {
            lBattery = lLevel;
            bBatteryChanged = true;
        }
    }

    if (bBatteryChanged)
        emit sigBatteryState(lBattery, bIsAcConnect);
    emit sigChangeSettingEnable(isEnable());
}

void ClKD4Mgr::applyLiveRule()
{
    if (bIsHighSpeed && bIsRecording) {
        if (bIsLive) {
            pclLiveCtrl->stopLive();
            bIsLive = false;
        }
    } else if (!bIsLive) {
        pclLiveCtrl->startLive();
        bIsLive = true;
    }
}

void ClKD4Mgr::slotRecvGetRequestPolling(ClAllSettings clSettings)
{
    // A poll that was out when the session closed still answers; it must not start the live
    // picture again or show a camera state after the session has ended.
    if (!bIsSession)
        return;
    updateCameraState(clSettings);
    applyLiveRule();
    // With nothing of the window's outstanding, the snapshot is newer than every change made, so
    // the rows may show it; otherwise a change still on its way would be shown undone.
    if (iProcessCount == 0)
        emit sigPolledSettings(clSettings);
}

void ClKD4Mgr::slotRecvNotify(ClNotifyList clInfoList)
{
    // Notifications fetched just before the listener stopped may arrive after the session closed.
    if (!bIsSession)
        return;
    bool bChanged = false;
    for (const auto& clNotify : clInfoList) {
        if (clNotify.first == ZkNotification::STARTING_VIDEO_RECORD && !bIsRecording) {
            bIsRecording = true;
            bChanged = true;
        } else if (clNotify.first == ZkNotification::VIDEO_RECORD_COMPLETE && bIsRecording) {
            bIsRecording = false;
            bChanged = true;
        }
    }
    if (!bChanged)
        return;
    emit sigRecordingState(bIsRecording, bIsHighSpeed);
    emit sigChangeSettingEnable(isEnable());
    applyLiveRule();
}

void ClKD4Mgr::slotChangeRecordingResolution(QString strResolution)
{
    bIsHighSpeed = ZkResolution::isHighSpeed(strResolution);
}

void ClKD4Mgr::slotLiveError(QString strErr)
{
    Q_UNUSED(strErr)
    if (bIsSession)
        endSession();
}

void ClKD4Mgr::slotPollingError(int iErr)
{
    Q_UNUSED(iErr)
    if (bIsSession)
        endSession();
}

void ClKD4Mgr::startSession()
{
    if (bIsSession)
        return;
    sendOwnCommand(CMD_START_SESSION);
}

void ClKD4Mgr::stopSession()
{
    if (!bIsSession)
        return;
    closeSession(false);
}

void ClKD4Mgr::escapeSession()
{
    if (!bIsSession)
        return;
    closeSession(true);
}

void ClKD4Mgr::closeSession(bool bForced)
{
    bIsSession = false;
    countUp();
    pclLiveCtrl->setNotifyListening(false);
    pclLiveCtrl->setSettingPolling(false);
    pclLiveCtrl->clearRequests();

    if (bIsLive) {
        bIsLive = false;
        if (bForced)
            pclLiveCtrl->escapeLive();
        else
            pclLiveCtrl->stopLive();
    }

    if (!bForced) {
        bStopAnswered = false;
        bStopWaiting = true;
        sendOwnCommand(CMD_STOP_SESSION);
        // The answer may be handled already, in a slot run by the send.
        ClShutdownWait::run(clEventLoop, [this] { return bStopAnswered; });
        bStopWaiting = false;
    }
    resetState();
}

void ClKD4Mgr::resetState()
{
    // What the closed session had out no longer counts: its answers, if they still come, must
    // not stop the ring of the next session early, nor keep the window locked meanwhile. Nor
    // does its recording lock the settings: nothing would ever report its end.
    ++iRound;
    iProcessCount = 0;
    bIsRecording = false;
    bIsHighSpeed = false;
    emit sigProgressState(false);
    emit sigChangeSettingEnable(true);
}

void ClKD4Mgr::endSession()
{
    stopSession();
    bIsAcConnect = false;
    lBattery = 0;
    resetState();
    emit sigEndSession();
}
