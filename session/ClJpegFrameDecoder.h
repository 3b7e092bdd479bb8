#pragma once

#include "camera/ZkFrame.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Turns the bodies of live frames into images, without any I/O: camera JPEGs with libjpeg straight
// into 32-bit pixels, at the size the live view shows them where that is half theirs or less, and
// anything else through Qt's image readers. One decoder serves one stream (its frame buffers); the
// shown size is one for the whole program.
class ClJpegFrameDecoder
{
public:
    // No camera answer carries a frame anywhere near this size; a bigger body is not decoded.
    static constexpr qint64 MAX_FRAME_BYTES = ZkFrame::MAX_BYTES;
    // A frame whose header claims a wider or taller picture is not decoded (a null image instead).
    static constexpr int MAX_FRAME_SIDE = 8192;

    // A received frame's body as an image, its format taken from the data. A body that does not
    // decode gives a null image, and so does one beyond the size limits: a few bytes can claim
    // 20000 x 20000 pixels, which would be allocated in full before decoding fails.
    // With a valid clShownSize (the size the frame is shown at, in device pixels) a JPEG frame
    // shown at half its size or less gets decoded smaller, scaled by libjpeg in the DCT: to the
    // smallest of 1/8, 1/4 and 1/2 of its size that still covers the shown size and keeps the
    // aspect ratio exactly, so where the frame lands on screen does not change.
    // pclBuffer, when given and held by nobody else, lends its memory: a JPEG frame of its size
    // and format is decoded into it, and it is left null.
    static QImage decodeFrame(
        QByteArray clBody, const QSize& clShownSize = QSize(), QImage* pclBuffer = nullptr);
    // The size to decode a frame of clFrameSize at for showing it at clShownSize.
    static QSize decodeSize(const QSize& clFrameSize, const QSize& clShownSize);
    // The size the live view shows frames at, in device pixels (any thread; invalid: full size).
    static void setShownSize(const QSize& clSize);
    static QSize shownSize();

    // The stream's next frame, decoded at shownSize() into the memory of the frame before last
    // once nobody holds that any more. An image that decodes carries the decoder's next serial
    // number (frameSerial). strServedUs, when not empty, goes with the image as its text
    // "kd4-served-us" (the camera's serve time, for the live view's frame trace).
    QImage decodeNext(QByteArray clBody, const QString& strServedUs = QString());
    // Gives the buffers' memory back, at the end of a stream.
    void releaseBuffers();

    // The serial number decodeNext gave the frame: 1, 2, 3 ... over the decoder's life, streams
    // included, so the image tells which received body it was decoded from. 0 for any other image.
    static qint64 frameSerial(const QImage& clFrame);

private:
    // Frames are decoded into these in turn, so streaming does not allocate and fault in fresh
    // memory for every frame: one is shown while the next is decoded into the other.
    static constexpr int FRAME_BUFFERS = 2;
    QImage aclFrameBuffers[FRAME_BUFFERS];
    int iFrameBuffer = 0;
    qint64 llSerial = 0;
};
