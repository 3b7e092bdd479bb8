#include "session/ClJpegFrameDecoder.h"

#include <QBuffer>
#include <QImageReader>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <utility>

#include <jpeglib.h>

namespace {

// The size the live view shows frames at: width in the high half, height in the low half.
std::atomic<quint32> g_uShownSize { 0 };

// The image text that holds a decoded frame's serial number.
const char* const SERIAL_TEXT = "kd4-frame";

// libjpeg reports a fatal error by a jump back into decodeJpeg; its warnings are not printed.
struct stJpegError
{
    jpeg_error_mgr stManager;
    jmp_buf aJump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr pInfo)
{
    longjmp(reinterpret_cast<stJpegError*>(pInfo->err)->aJump, 1);
}

void jpegQuiet(j_common_ptr) { }

// Decodes a colour or grey JPEG straight into clImage: colour as Format_RGB32 (libjpeg writes the
// 32-bit pixels itself, so no conversion pass follows, and reads the body where it lies), grey as
// Format_Grayscale8, the same pixels the Qt JPEG reader gives. clImage keeps its memory when it has
// the size and format and nobody else holds it. A frame shown at half its size or less is scaled
// in the DCT (ClJpegFrameDecoder::decodeSize). False for anything else (CMYK, a fatal error, a frame
// past the side limit): the caller falls back on the Qt reader. Only plain C objects live in this
// frame, so the error jump skips no destructor.
bool decodeJpeg(const QByteArray& clBody, const QSize& clShownSize, int iMaxSide, QImage& clImage)
{
    jpeg_decompress_struct stInfo;
    stJpegError stError;
    stInfo.err = jpeg_std_error(&stError.stManager);
    stError.stManager.error_exit = jpegErrorExit;
    stError.stManager.output_message = jpegQuiet;
    if (setjmp(stError.aJump)) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    jpeg_create_decompress(&stInfo);
    jpeg_mem_src(&stInfo, reinterpret_cast<const unsigned char*>(clBody.constData()),
        static_cast<unsigned long>(clBody.size()));
    if (jpeg_read_header(&stInfo, TRUE) != JPEG_HEADER_OK || stInfo.image_width > JDIMENSION(iMaxSide)
        || stInfo.image_height > JDIMENSION(iMaxSide)
        || (stInfo.num_components != 3 && stInfo.num_components != 1)) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    const bool bGrey = stInfo.num_components == 1;
    stInfo.out_color_space = bGrey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    const QSize clFrame(int(stInfo.image_width), int(stInfo.image_height));
    const QSize clDecode = ClJpegFrameDecoder::decodeSize(clFrame, clShownSize);
    stInfo.scale_num = 1;
    stInfo.scale_denom = static_cast<unsigned int>(clFrame.width() / clDecode.width());
    jpeg_start_decompress(&stInfo);
    const QSize clOut(int(stInfo.output_width), int(stInfo.output_height));
    const QImage::Format eFormat = bGrey ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    // An image handed in that nobody else holds keeps its memory when it fits.
    if (clImage.size() != clOut || clImage.format() != eFormat || !clImage.isDetached())
        clImage = QImage(clOut, eFormat);
    if (clImage.isNull()) {
        jpeg_destroy_decompress(&stInfo);
        return false;
    }
    uchar* pBits = clImage.bits();
    const qsizetype iStride = clImage.bytesPerLine();
    while (stInfo.output_scanline < stInfo.output_height) {
        JSAMPROW pRow = pBits + iStride * qsizetype(stInfo.output_scanline);
        jpeg_read_scanlines(&stInfo, &pRow, 1);
    }
    jpeg_finish_decompress(&stInfo);
    jpeg_destroy_decompress(&stInfo);
    return true;
}

} // namespace

QImage ClJpegFrameDecoder::decodeFrame(QByteArray clBody, const QSize& clShownSize, QImage* pclBuffer)
{
    if (clBody.size() > MAX_FRAME_BYTES)
        return QImage();
    if (clBody.startsWith("\xff\xd8")) {
        // A camera frame: libjpeg directly, at the shown size where that is half or less.
        QImage clImage;
        if (pclBuffer && pclBuffer->isDetached())
            clImage.swap(*pclBuffer);
        if (decodeJpeg(clBody, clShownSize, MAX_FRAME_SIDE, clImage))
            return clImage;
    }
    QBuffer clBuffer(&clBody);
    clBuffer.open(QIODevice::ReadOnly);
    QImageReader clReader(&clBuffer);
    const QSize clSize = clReader.size();
    if (!clSize.isValid() || clSize.width() > MAX_FRAME_SIDE || clSize.height() > MAX_FRAME_SIDE)
        return QImage();
    if (clShownSize.isValid() && clReader.format() == "jpeg") {
        const QSize clDecode = decodeSize(clSize, clShownSize);
        if (clDecode != clSize)
            clReader.setScaledSize(clDecode);
    }
    return clReader.read();
}

QSize ClJpegFrameDecoder::decodeSize(const QSize& clFrameSize, const QSize& clShownSize)
{
    if (!clFrameSize.isValid() || !clShownSize.isValid())
        return clFrameSize;
    const QSize clFitted = clFrameSize.scaled(clShownSize, Qt::KeepAspectRatio);
    const int iW = clFrameSize.width();
    const int iH = clFrameSize.height();
    // Only 1/8, 1/4 and 1/2: libjpeg's other factors (M/8) run slower than decoding in full.
    for (int iM : { 1, 2, 4 }) {
        // Only whole sizes keep the aspect ratio exactly, and with it the fitted rectangle.
        if ((iW * iM) % 8 != 0 || (iH * iM) % 8 != 0)
            continue;
        const QSize clScaled(iW * iM / 8, iH * iM / 8);
        if (clScaled.width() >= clFitted.width() && clScaled.height() >= clFitted.height())
            return clScaled;
    }
    return clFrameSize;
}

void ClJpegFrameDecoder::setShownSize(const QSize& clSize)
{
    const bool bValid = clSize.isValid() && clSize.width() <= 0xffff && clSize.height() <= 0xffff;
    g_uShownSize.store(bValid ? (quint32(clSize.width()) << 16) | quint32(clSize.height()) : 0);
}

QSize ClJpegFrameDecoder::shownSize()
{
    const quint32 uSize = g_uShownSize.load();
    return uSize == 0 ? QSize() : QSize(int(uSize >> 16), int(uSize & 0xffff));
}

QImage ClJpegFrameDecoder::decodeNext(QByteArray clBody, const QString& strServedUs)
{
    // The buffer of the frame before last is free again once the live view has moved on to the
    // last one; otherwise this frame gets fresh memory, which takes the buffer's place.
    iFrameBuffer = (iFrameBuffer + 1) % FRAME_BUFFERS;
    QImage clFrame = decodeFrame(std::move(clBody), shownSize(), &aclFrameBuffers[iFrameBuffer]);
    if (!clFrame.isNull()) {
        clFrame.setText(QLatin1String(SERIAL_TEXT), QString::number(++llSerial));
        if (!strServedUs.isEmpty())
            clFrame.setText(QStringLiteral("kd4-served-us"), strServedUs);
    }
    // Kept only after the last change above: a change to a shared image copies it.
    aclFrameBuffers[iFrameBuffer] = clFrame;
    return clFrame;
}

qint64 ClJpegFrameDecoder::frameSerial(const QImage& clFrame)
{
    return clFrame.text(QLatin1String(SERIAL_TEXT)).toLongLong();
}

void ClJpegFrameDecoder::releaseBuffers()
{
    for (QImage& clBuffer : aclFrameBuffers)
        clBuffer = QImage();
}
