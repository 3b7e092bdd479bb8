#pragma once

#include <QByteArray>
#include <QMutex>

// The camera's own bytes of the last few live frames that decoded, each under the serial number
// its image carries (ClJpegFrameDecoder::frameSerial), so the frame on screen can be saved as the
// camera sent it. Bodies are shared, never copied. The live worker keeps them, any thread asks.
class ClLiveFrameStore
{
    Q_DISABLE_COPY(ClLiveFrameStore)

public:
    // The frame on screen is the last one kept, or one or two before it while newer images are on
    // their way to the window. Frames that do not decode are not kept: the view goes on showing
    // the last good one meanwhile.
    static constexpr int KEPT_FRAMES = 3;

    ClLiveFrameStore() = default;

    // Keeps clBody under llSerial, in place of the oldest body kept.
    void keep(qint64 llSerial, const QByteArray& clBody);
    // The body kept under llSerial; empty when that frame is not among the kept ones (or 0).
    QByteArray body(qint64 llSerial) const;

private:
    struct stFrame
    {
        qint64 llSerial = 0;
        QByteArray clBody;
    };

    mutable QMutex clMutex;
    stFrame astFrames[KEPT_FRAMES];
    int iOldest = 0;
};
