// The body of one live frame as the camera's JPEG resource delivers it, through the live worker's
// acceptance and decoding (size guards included) to the image it emits.
#include "FuzzSupport.h"

#include "ClMJpegWorker.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    kd4fuzz::startApplication(pArgc, pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QImage clImage = ClMJpegWorker::decodeFrame(
        QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(size)));
    if (clImage.isNull())
        return 0;
    kd4fuzz::require(
        clImage.width() <= ClMJpegWorker::MAX_FRAME_SIDE && clImage.height() <= ClMJpegWorker::MAX_FRAME_SIDE,
        "a decoded frame is never larger than the side limit");
    kd4fuzz::require(clImage.width() > 0 && clImage.height() > 0, "a decoded frame has pixels");
    return 0;
}
