#include "tools/camsim/FrameRenderer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTime>

#include <algorithm>

namespace camsim {

namespace {

// Segments a..g of the digits 0-9, bit 0 = a (top), clockwise, g = middle.
const unsigned char SEGMENTS[10] = { 0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F };

// Draws one digit with its top-left corner at (iX, iY); iH is the digit height.
void drawDigit(QPainter& clPainter, int iX, int iY, int iH, int iDigit, const QColor& clColor)
{
    const int iW = std::max(3, iH / 2);
    const int iT = std::max(1, iH / 9);
    const int iHalf = iH / 2;
    const unsigned char bits = SEGMENTS[iDigit % 10];
    const QRect segments[7] = {
        QRect(iX + iT, iY, iW - 2 * iT, iT), // a
        QRect(iX + iW - iT, iY + iT, iT, iHalf - iT), // b
        QRect(iX + iW - iT, iY + iHalf + iT / 2, iT, iHalf - iT), // c
        QRect(iX + iT, iY + iH - iT, iW - 2 * iT, iT), // d
        QRect(iX, iY + iHalf + iT / 2, iT, iHalf - iT), // e
        QRect(iX, iY + iT, iT, iHalf - iT), // f
        QRect(iX + iT, iY + iHalf - iT / 2, iW - 2 * iT, iT), // g
    };
    for (int i = 0; i < 7; ++i)
        if (bits & (1u << i))
            clPainter.fillRect(segments[i], clColor);
}

// Draws a text of digits and colons (only measures it when pclPainter is null); returns the width.
int drawDigits(
    QPainter* pclPainter, int iX, int iY, int iH, const std::string& strText, const QColor& clColor)
{
    const int iW = std::max(3, iH / 2);
    const int iGap = std::max(2, iH / 6);
    const int iT = std::max(1, iH / 9);
    int iPos = iX;
    for (char c : strText) {
        if (c == ':') {
            if (pclPainter) {
                pclPainter->fillRect(QRect(iPos, iY + iH / 3 - iT / 2, iT, iT), clColor);
                pclPainter->fillRect(QRect(iPos, iY + 2 * iH / 3 - iT / 2, iT, iT), clColor);
            }
            iPos += iT + iGap;
        } else if (c >= '0' && c <= '9') {
            if (pclPainter)
                drawDigit(*pclPainter, iPos, iY, iH, c - '0', clColor);
            iPos += iW + iGap;
        }
    }
    return iPos - iX;
}

std::string padded(std::uint64_t llValue, int iWidth)
{
    std::string str = std::to_string(llValue);
    if (static_cast<int>(str.size()) < iWidth)
        str.insert(0, static_cast<std::size_t>(iWidth) - str.size(), '0');
    return str;
}

} // namespace

std::string FrameRenderer::renderJpeg(std::uint64_t llNumber, int iWidth, int iHeight, int iQuality)
{
    iWidth = std::max(16, iWidth);
    iHeight = std::max(16, iHeight);
    QImage clImage(iWidth, iHeight, QImage::Format_RGB32);
    {
        QPainter clPainter(&clImage);
        // 75 % colour bars over the upper two thirds, a grey ramp below.
        const QColor bars[7] = { QColor(191, 191, 191), QColor(191, 191, 0), QColor(0, 191, 191),
            QColor(0, 191, 0), QColor(191, 0, 191), QColor(191, 0, 0), QColor(0, 0, 191) };
        const int iBarsHeight = iHeight * 2 / 3;
        for (int i = 0; i < 7; ++i) {
            const int iLeft = iWidth * i / 7;
            const int iRight = iWidth * (i + 1) / 7;
            clPainter.fillRect(QRect(iLeft, 0, iRight - iLeft, iBarsHeight), bars[i]);
        }
        const int iSteps = 16;
        for (int i = 0; i < iSteps; ++i) {
            const int iLeft = iWidth * i / iSteps;
            const int iRight = iWidth * (i + 1) / iSteps;
            const int iGrey = 255 * i / (iSteps - 1);
            clPainter.fillRect(QRect(iLeft, iBarsHeight, iRight - iLeft, iHeight - iBarsHeight),
                QColor(iGrey, iGrey, iGrey));
        }

        // A white band sweeping across and a ball bouncing, so motion is visible.
        const int iBand = std::max(4, iWidth / 32);
        const int iBandX
            = static_cast<int>((llNumber * 6) % static_cast<std::uint64_t>(iWidth + iBand)) - iBand;
        clPainter.fillRect(QRect(iBandX, 0, iBand, iHeight), Qt::white);

        const int iBall = std::max(6, iHeight / 8);
        const int iSpanX = std::max(1, iWidth - iBall);
        const int iSpanY = std::max(1, iHeight - iBall);
        const int iPhaseX = static_cast<int>((llNumber * 7) % static_cast<std::uint64_t>(2 * iSpanX));
        const int iPhaseY = static_cast<int>((llNumber * 5) % static_cast<std::uint64_t>(2 * iSpanY));
        const int iBallX = iPhaseX < iSpanX ? iPhaseX : 2 * iSpanX - iPhaseX;
        const int iBallY = iPhaseY < iSpanY ? iPhaseY : 2 * iSpanY - iPhaseY;
        clPainter.setRenderHint(QPainter::Antialiasing, true);
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(QColor(255, 140, 0));
        clPainter.drawEllipse(QRect(iBallX, iBallY, iBall, iBall));
        clPainter.setRenderHint(QPainter::Antialiasing, false);

        // Frame number (top left) and time of day (top right) on black panels.
        const int iDigitHeight = std::max(7, iHeight / 10);
        const int iMargin = std::max(2, iDigitHeight / 4);
        const std::string strNumber = padded(llNumber % 1000000, 6);
        const QTime clNow = QTime::currentTime();
        const std::string strTime = padded(static_cast<std::uint64_t>(clNow.hour()), 2) + ":"
            + padded(static_cast<std::uint64_t>(clNow.minute()), 2) + ":"
            + padded(static_cast<std::uint64_t>(clNow.second()), 2);

        const int iNumberWidth = drawDigits(nullptr, 0, 0, iDigitHeight, strNumber, Qt::white);
        const int iTimeWidth = drawDigits(nullptr, 0, 0, iDigitHeight, strTime, Qt::white);

        const QRect clNumberPanel(iMargin, iMargin, iNumberWidth + 2 * iMargin, iDigitHeight + 2 * iMargin);
        clPainter.fillRect(clNumberPanel, Qt::black);
        drawDigits(&clPainter, clNumberPanel.left() + iMargin, clNumberPanel.top() + iMargin, iDigitHeight,
            strNumber, QColor(80, 255, 80));

        const QRect clTimePanel(
            iWidth - iTimeWidth - 3 * iMargin, iMargin, iTimeWidth + 2 * iMargin, iDigitHeight + 2 * iMargin);
        clPainter.fillRect(clTimePanel, Qt::black);
        drawDigits(&clPainter, clTimePanel.left() + iMargin, clTimePanel.top() + iMargin, iDigitHeight,
            strTime, Qt::white);
    }

    QByteArray clBytes;
    QBuffer clBuffer(&clBytes);
    clBuffer.open(QIODevice::WriteOnly);
    if (!clImage.save(&clBuffer, "JPEG", iQuality))
        return std::string();
    return std::string(clBytes.constData(), static_cast<std::size_t>(clBytes.size()));
}

} // namespace camsim
