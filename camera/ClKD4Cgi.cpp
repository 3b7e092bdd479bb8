#include "camera/ClKD4Cgi.h"

#include "camera/ClKD4CgiWorker.h"

#include <QMutexLocker>

ClKD4Cgi::ClKD4Cgi(const QString& strAddress, QObject* pclParent)
    : QObject(pclParent)
{
    zkRegisterMetaTypes();
    pclWorker = new ClKD4CgiWorker(strAddress);
    connect(pclWorker, &ClKD4CgiWorker::sigResponse, this, &ClKD4Cgi::sigResponse, Qt::QueuedConnection);
    connect(pclWorker, &QThread::finished, this, &ClKD4Cgi::slotExecQueuedRequest, Qt::QueuedConnection);
}

ClKD4Cgi::~ClKD4Cgi()
{
    QMutexLocker clLock(&clMutex);
    clWaitingList.clear();
    if (pclWorker->isRunning())
        pclWorker->wait();
    delete pclWorker;
    pclWorker = nullptr;
}

QString ClKD4Cgi::getAddress() const
{
    return pclWorker ? pclWorker->getAddress() : QString();
}

ClNotifyList ClKD4Cgi::pollNotifications()
{
    return pclWorker ? pclWorker->pollNotifications() : ClNotifyList();
}

QList<ZK_CMD> ClKD4Cgi::clearQueue()
{
    QList<ZK_CMD> clDropped;
    clDropped.swap(clWaitingList);
    return clDropped;
}

void ClKD4Cgi::slotRequest(ZK_CMD clCmd)
{
    // Until the finished() of the last command has been handled here, a new record waits its turn:
    // starting it in between would leave it behind records that are already waiting, or strand it
    // when that finished() has just found the list empty.
    if (bBusy) {
        clWaitingList.append(clCmd);
        return;
    }
    QMutexLocker clLock(&clMutex);
    startNow(clCmd);
}

void ClKD4Cgi::slotExecQueuedRequest()
{
    QMutexLocker clLock(&clMutex);
    bBusy = false;
    if (clWaitingList.isEmpty())
        return;
    startNow(clWaitingList.takeFirst());
}

void ClKD4Cgi::startNow(const ZK_CMD& clCmd)
{
    // The worker's finished() comes a moment before its thread has fully ended.
    if (pclWorker->isRunning())
        pclWorker->wait();
    bBusy = pclWorker->startCommand(clCmd);
}
