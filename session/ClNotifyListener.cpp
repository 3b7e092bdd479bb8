#include "session/ClNotifyListener.h"

#include "camera/ClKD4Cgi.h"

#include <QElapsedTimer>

ClNotifyListener::ClNotifyListener(ClKD4Cgi* pclSource)
    : pclSource(pclSource)
{
    zkRegisterMetaTypes();
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

void ClNotifyListener::run()
{
    // No pause between polls that the camera held: it holds each one until it has something or
    // its hold ends. A poll that comes back empty at once failed (no camera, refused token, no
    // HTTP library); polling again at once would only spin, so the loop rests a moment first.
    for (;;) {
        {
            QMutexLocker clLock(&clLoopMutex);
            if (!bIsRunning || !pclSource) {
                bLoopEnded = true;
                return;
            }
        }
        QElapsedTimer clPollClock;
        clPollClock.start();
        const ClNotifyList clList = pclSource->pollNotifications();
        if (!clList.isEmpty())
            emit sigNotify(clList);
        else if (clPollClock.elapsed() < QUICK_FAILURE_MS)
            restAfterFailedPoll();
    }
}

void ClNotifyListener::restAfterFailedPoll()
{
    // In short steps, so that a stop is not held up by the rest.
    QElapsedTimer clRestClock;
    clRestClock.start();
    while (bIsRunning && clRestClock.elapsed() < FAILED_POLL_REST_MS)
        QThread::msleep(REST_STEP_MS);
}
