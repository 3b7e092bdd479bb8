#pragma once

#include "camera/ZK_CMD.h"

#include <QMutex>
#include <QThread>

#include <atomic>

class ClKD4Cgi;

// Fetches camera notifications in a long-poll loop on a thread of its own and hands every
// non-empty batch on. The object itself lives in the thread that created it, so sigNotify reaches
// receivers there by a queued connection.
class ClNotifyListener : public QThread
{
    Q_OBJECT
    Q_DISABLE_COPY(ClNotifyListener)

public:
    explicit ClNotifyListener(ClKD4Cgi* pclSource);
    // Waits for the poll in progress, if any.
    ~ClNotifyListener() override;

    // Lets the loop run, starting the thread unless it runs already.
    void startListening();
    // Ends the loop after the poll in progress; the caller waits for the thread if it must.
    void stopListening();

    // An empty poll answered faster than this failed rather than being held by the camera; the
    // loop then rests for FAILED_POLL_REST_MS, checking for a stop every REST_STEP_MS.
    static constexpr qint64 QUICK_FAILURE_MS = 200;
    static constexpr qint64 FAILED_POLL_REST_MS = 500;
    static constexpr unsigned long REST_STEP_MS = 20;

signals:
    void sigNotify(ClNotifyList clNotifyList);

protected:
    void run() override;

private:
    void restAfterFailedPoll();

    ClKD4Cgi* pclSource;
    std::atomic<bool> bIsRunning { false };
    // Guards the loop's decision to end against a start arriving at that moment.
    QMutex clLoopMutex;
    bool bLoopEnded = false;
};
