// The body of one live frame as the camera's JPEG resource delivers it, through the live frame decoder's
// acceptance and decoding (size guards included) to the image it gives.
#include "fuzz/FuzzSupport.h"

#include "session/ClJpegFrameDecoder.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace {

// libFuzzer sees coverage only in this program's code, not inside Qt's decoders: without a hint,
// every input that decodes looks like every other one and the real frames drop out of the corpus.
// Each hint is a loop of its own whose trip count libFuzzer tells apart (1, 2, 3, 4-7, 8-15, ...),
// so inputs that decode to another pixel format or size class are kept and mutated further.
volatile int iHintSink = 0;

template <int KIND> void hint(int iValue)
{
    for (int i = 0; i < iValue; ++i)
        iHintSink = iHintSink + i;
}

int log2Class(int iValue)
{
    int iClass = 1;
    while (iValue > 1) {
        iValue >>= 1;
        ++iClass;
    }
    return iClass;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    kd4fuzz::startApplication(pArgc, pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QImage clImage = ClJpegFrameDecoder::decodeFrame(
        QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(size)));
    if (clImage.isNull())
        return 0;
    kd4fuzz::require(clImage.width() <= ClJpegFrameDecoder::MAX_FRAME_SIDE
            && clImage.height() <= ClJpegFrameDecoder::MAX_FRAME_SIDE,
        "a decoded frame is never larger than the side limit");
    kd4fuzz::require(clImage.width() > 0 && clImage.height() > 0, "a decoded frame has pixels");

    hint<0>(static_cast<int>(clImage.format()));
    hint<1>(log2Class(clImage.width()));
    hint<2>(log2Class(clImage.height()));
    hint<3>(clImage.depth());
    hint<4>(log2Class(clImage.colorCount()));
    return 0;
}
