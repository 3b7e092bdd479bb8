#include "session/ClLiveFrameStore.h"

#include <QMutexLocker>

void ClLiveFrameStore::keep(qint64 llSerial, const QByteArray& clBody)
{
    QByteArray clDropped;
    {
        QMutexLocker clLock(&clMutex);
        stFrame& stSlot = astFrames[iOldest];
        stSlot.llSerial = llSerial;
        // The oldest body is freed after the lock, should this have been its last holder.
        clDropped.swap(stSlot.clBody);
        stSlot.clBody = clBody;
        iOldest = (iOldest + 1) % KEPT_FRAMES;
    }
}

QByteArray ClLiveFrameStore::body(qint64 llSerial) const
{
    if (llSerial == 0)
        return QByteArray();
    QMutexLocker clLock(&clMutex);
    for (const stFrame& stKept : astFrames) {
        if (stKept.llSerial == llSerial)
            return stKept.clBody;
    }
    return QByteArray();
}
