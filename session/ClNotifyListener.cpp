#include "ClNotifyListener.h"

#include "ClKD4Cgi.h"

ClNotifyListener::ClNotifyListener(ClKD4Cgi* pclSource)
    : pclSource(pclSource)
{
    ClKD4Cgi::registerMetaTypes();
}

ClNotifyListener::~ClNotifyListener()
{
    bIsRunning = false;
    wait();
}

void ClNotifyListener::startListening()
{
    QMutexLocker clLock(&clLoopMutex);
    bIsRunning = true;
    if (isRunning() && !bLoopEnded)
        return; // the loop sees the flag after its poll in progress
    // The loop has decided to end (or never ran): let the old thread go and start a new one.
    clLock.unlock();
    wait();
    clLock.relock();
    bLoopEnded = false;
    start(QThread::InheritPriority);
}

void ClNotifyListener::stopListening()
{
    bIsRunning = false;
}

bool ClNotifyListener::isListening() const
{
    return bIsRunning;
}

void ClNotifyListener::run()
{
    // No pause between polls: the camera holds each poll until it has something or its hold ends.
    for (;;) {
        {
            QMutexLocker clLock(&clLoopMutex);
            if (!bIsRunning || !pclSource) {
                bLoopEnded = true;
                return;
            }
        }
        const ClNotifyList clList = pclSource->pollNotifications();
        if (!clList.isEmpty())
            emit sigNotify(clList);
    }
}
