#include "session/ClKD4LiveCtrl.h"

#include "camera/ClCommands.h"
#include "camera/ClKD4Cgi.h"
#include "session/ClJpegFrameDecoder.h"
#include "session/ClMJpegWorker.h"
#include "session/ClNotifyListener.h"

#include <QEventLoop>
#include <QMutexLocker>
#include <QTimer>

#include <algorithm>

ClKD4LiveCtrl::ClKD4LiveCtrl(const QString& strAddress, QObject* pclParent)
    : QObject(pclParent)
{
    pclCgi = new ClKD4Cgi(strAddress, this);
    pclNotifyListener = new ClNotifyListener(pclCgi);
    pclLiveWorker = new ClMJpegWorker(pclCgi->getAddress());

    connect(this, &ClKD4LiveCtrl::sigRequest, pclCgi, &ClKD4Cgi::slotRequest);
    connect(pclCgi, &ClKD4Cgi::sigResponse, this, &ClKD4LiveCtrl::slotRecvResponse);
    connect(pclLiveWorker, &AbstLiveWorker::sigImage, this, &ClKD4LiveCtrl::sigImage);
    connect(pclLiveWorker, &AbstLiveWorker::sigImage, this, &ClKD4LiveCtrl::slotWatchFrame);
    connect(pclLiveWorker, &AbstLiveWorker::sigCgiRequest, this, &ClKD4LiveCtrl::slotSendLiveRquest);
    connect(this, &ClKD4LiveCtrl::sigLiveResponse, pclLiveWorker, &AbstLiveWorker::slotCgiResponse);
    connect(this, &ClKD4LiveCtrl::sigStartLive, pclLiveWorker, &AbstLiveWorker::slotStartLive);
    connect(this, &ClKD4LiveCtrl::sigStopLive, pclLiveWorker, &AbstLiveWorker::slotStopLive);
    // Forced stops run at once in the caller's thread, so the frame in flight is aborted now.
    connect(this, &ClKD4LiveCtrl::sigEscapeLive, pclLiveWorker, &AbstLiveWorker::slotStopForce,
        Qt::DirectConnection);
    connect(pclLiveWorker, &AbstLiveWorker::sigLiveFinished, this, &ClKD4LiveCtrl::slotRecvLiveFinish);
    connect(pclLiveWorker, &AbstLiveWorker::sigError, this, &ClKD4LiveCtrl::sigLiveError);
    connect(pclLiveWorker, &AbstLiveWorker::sigError, this, &ClKD4LiveCtrl::slotStopAll);
    connect(pclNotifyListener, &ClNotifyListener::sigNotify, this, &ClKD4LiveCtrl::sigNotify);

    pclLiveWorker->moveToThread(&clLiveThread);

    clFrameWatch.setSingleShot(true);
    clFrameWatch.setInterval(LIVE_STALL_MS);
    connect(&clFrameWatch, &QTimer::timeout, this, &ClKD4LiveCtrl::slotFrameWatchTimeout);
}

ClKD4LiveCtrl::~ClKD4LiveCtrl()
{
    slotStopAll();
    pclNotifyListener->stopListening();
    pclNotifyListener->wait();
    delete pclNotifyListener;
    // The live thread has finished, so nothing runs in the worker any more.
    delete pclLiveWorker;
}

void ClKD4LiveCtrl::slotSendRequest(ZK_CMD clCmd)
{
    QMutexLocker clLock(&clRequestMutex);
    if (zkIsFrom(clCmd, &clLiveThread)) {
        emit sigRequest(clCmd);
        return;
    }
    if (zkCommand(clCmd) == CMD_SET_SETTING && clLiveThread.isRunning() && clRequestList.isEmpty()) {
        // The camera takes setting changes only with its live stream stopped: hold the command
        // back and send it once the stream has stopped.
        clRequestList.append(clCmd);
        clLock.unlock();
        // Not stopLive: the owner still wants the stream, which starts again after the answers.
        waitForLiveStop(&ClKD4LiveCtrl::sigStopLive);
        return;
    }
    if (!clRequestList.isEmpty()) {
        clRequestList.append(clCmd);
        return;
    }
    emit sigRequest(clCmd);
}

QByteArray ClKD4LiveCtrl::frameBody(const QImage& clFrame) const
{
    return pclLiveWorker->frameStore().body(ClJpegFrameDecoder::frameSerial(clFrame));
}

void ClKD4LiveCtrl::slotSendLiveRquest(ZK_CMD clCmd)
{
    // The worker lives in the live thread: the thread stands for it in "ID".
    clCmd.insert(ZkKey::ID, QVariant::fromValue(static_cast<QObject*>(&clLiveThread)));
    slotSendRequest(clCmd);
}

void ClKD4LiveCtrl::slotRecvResponse(ZK_CMD clCmd)
{
    if (zkIsFrom(clCmd, &clLiveThread)) {
        if (clLiveThread.isRunning())
            emit sigLiveResponse(clCmd);
    } else if (zkIsFrom(clCmd, this)) {
        const int iErr = zkError(clCmd);
        if (iErr != ZkError::Success) {
            emit sigPollingError(iErr);
            slotStopAll();
        } else {
            emit sigGetSettingPolling(clCmd.value(ZkKey::PARAM1).toMap());
            QMutexLocker clPollingLock(&clPollingMutex);
            // The next poll comes 20 seconds after this answer, not after the request.
            if (pclPollingTimer && !pclPollingTimer->isActive())
                pclPollingTimer->start();
        }
    } else {
        emit sigResponse(clCmd);
    }

    QMutexLocker clLock(&clRequestMutex);
    if (clLiveThread.isRunning() || clRequestList.isEmpty())
        return;
    // Only the answer to the held-back command that is out moves the list on. Answers to what was
    // sent before it (they come after the stream stopped when the stop ran into its time limit)
    // must not send that command a second time.
    if (zkCommand(clRequestList.first()) != zkCommand(clCmd))
        return;
    clRequestList.removeFirst();
    bIsHeadSent = false;
    if (!clRequestList.isEmpty()) {
        sendFirstHeld();
        return;
    }
    // The owner may have stopped the picture meanwhile (high-speed recording began).
    if (!bIsLiveWanted)
        return;
    clLiveThread.start();
    emit sigStartLive();
}

void ClKD4LiveCtrl::slotRecvLiveFinish()
{
    if (!bIsStoppingLive)
        return;
    if (clLiveThread.isRunning()) {
        clLiveThread.quit();
        clLiveThread.wait();
    }
    QMutexLocker clLock(&clRequestMutex);
    if (!clRequestList.isEmpty())
        sendFirstHeld();
}

void ClKD4LiveCtrl::setSettingPolling(bool bIsPolling)
{
    QMutexLocker clLock(&clPollingMutex);
    if (!bIsPolling) {
        delete pclPollingTimer;
        pclPollingTimer = nullptr;
        return;
    }
    if (!pclPollingTimer) {
        pclPollingTimer = new QTimer(this);
        connect(pclPollingTimer, &QTimer::timeout, this, &ClKD4LiveCtrl::slotRequestGetPolling);
        pclPollingTimer->setInterval(POLLING_INTERVAL_MS);
        pclPollingTimer->setSingleShot(true);
        pclPollingTimer->start();
    } else if (!pclPollingTimer->isActive()) {
        slotRequestGetPolling();
    }
}

void ClKD4LiveCtrl::slotRequestGetPolling()
{
    slotSendRequest(zkOwnCommand(CMD_GET_ALL_SETTINGS, this));
}

void ClKD4LiveCtrl::startLive()
{
    {
        QMutexLocker clLock(&clRequestMutex);
        bIsLiveWanted = true;
        // Held for a setting change: the stream starts again by itself after the last answer.
        // Starting it now would leave the held-back commands waiting for good.
        if (!clRequestList.isEmpty())
            return;
    }
    if (!clLiveThread.isRunning())
        clLiveThread.start();
    emit sigStartLive();
}

void ClKD4LiveCtrl::stopLive()
{
    setLiveWanted(false);
    waitForLiveStop(&ClKD4LiveCtrl::sigStopLive);
}

void ClKD4LiveCtrl::escapeLive()
{
    setLiveWanted(false);
    waitForLiveStop(&ClKD4LiveCtrl::sigEscapeLive);
}

void ClKD4LiveCtrl::setLiveWanted(bool bIsWanted)
{
    QMutexLocker clLock(&clRequestMutex);
    bIsLiveWanted = bIsWanted;
}

void ClKD4LiveCtrl::slotWatchFrame(const QImage& clImg)
{
    // Frames still queued from a stream that is stopping say nothing about the next one.
    if (bIsStoppingLive || !clLiveThread.isRunning())
        return;
    if (!clImg.isNull()) {
        bIsStalled = false;
        clFrameWatch.start();
    } else if (!clFrameWatch.isActive() && !bIsStalled) {
        clFrameWatch.start();
    }
}

void ClKD4LiveCtrl::slotFrameWatchTimeout()
{
    // Started only while not stalled, so each stall is reported once.
    if (bIsStoppingLive || !clLiveThread.isRunning())
        return;
    bIsStalled = true;
    emit sigLiveStalled();
}

void ClKD4LiveCtrl::stopFrameWatch()
{
    clFrameWatch.stop();
    bIsStalled = false;
}

void ClKD4LiveCtrl::waitForLiveStop(void (ClKD4LiveCtrl::*pfnStopSignal)())
{
    stopFrameWatch();
    if (!clLiveThread.isRunning())
        return;

    QEventLoop clLoop;
    connect(&clLiveThread, &QThread::finished, &clLoop, &QEventLoop::quit);
    bIsStoppingLive = true;
    emit(this->*pfnStopSignal)();
    ClShutdownWait::run(clLoop, [this] { return !clLiveThread.isRunning(); });
    bIsStoppingLive = false;

    if (!clLiveThread.isRunning())
        return;
    // The worker never confirmed the stop: end its thread anyway, and send what was held back
    // rather than lose the user's change.
    clLiveThread.quit();
    clLiveThread.wait();
    QMutexLocker clLock(&clRequestMutex);
    if (!clRequestList.isEmpty())
        sendFirstHeld();
}

void ClKD4LiveCtrl::setNotifyListening(bool bIsListening)
{
    if (bIsListening) {
        pclNotifyListener->startListening();
        return;
    }
    if (pclNotifyListener->isRunning()) {
        pclNotifyListener->stopListening();
        pclNotifyListener->wait();
    }
}

void ClKD4LiveCtrl::sendFirstHeld()
{
    bIsHeadSent = true;
    emit sigRequest(clRequestList.first());
}

void ClKD4LiveCtrl::clearRequests()
{
    QList<ZK_CMD> clDropped;
    {
        QMutexLocker clLock(&clRequestMutex);
        // A held-back command that is out already is either waiting in the queue (dropped there)
        // or running (and still answered): it is not dropped here a second time.
        if (bIsHeadSent && !clRequestList.isEmpty())
            clRequestList.removeFirst();
        bIsHeadSent = false;
        clDropped.swap(clRequestList);
        clDropped += pclCgi->clearQueue();
    }
    // Polls and the live worker's commands are ours; only what came from above is reported.
    clDropped.erase(
        std::remove_if(clDropped.begin(), clDropped.end(),
            [this](const ZK_CMD& clCmd) { return zkIsFrom(clCmd, this) || zkIsFrom(clCmd, &clLiveThread); }),
        clDropped.end());
    if (!clDropped.isEmpty())
        emit sigRequestsDropped(clDropped);
}

void ClKD4LiveCtrl::slotStopAll()
{
    stopFrameWatch();
    if (pclNotifyListener->isRunning())
        pclNotifyListener->stopListening();
    {
        QMutexLocker clLock(&clPollingMutex);
        delete pclPollingTimer;
        pclPollingTimer = nullptr;
    }
    if (clLiveThread.isRunning()) {
        emit sigEscapeLive();
        clLiveThread.quit();
    }
    clearRequests();
    clLiveThread.wait();
}
