// A preview sheet of the compiled-in pictures, composed the way the program's styles compose them:
// nine-slice buttons at several sizes and states, combo arrow, spin and scroll bar buttons, slider,
// radio buttons, overlays on bright and dark pictures, logos.

#include "tools/screenshot/Shots.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTextStream>

namespace {

// Nine-slice composition: corners at natural size, edges stretched along one axis, centre
// stretched over the middle; "tr" and "bl" give the right and bottom corner positions.
void drawNineSlice(
    QPainter& clPainter, const QString& strPrefix, const QString& strState, const QRect& clRect)
{
    auto img = [&](const char* pcPart) { return QImage(strPrefix + strState + QLatin1String(pcPart)); };
    const QImage tl = img("tl"), l = img("l"), bl = img("bl"), t = img("t"), c = img("c"), b = img("b"),
                 tr = img("tr"), r = img("r"), br = img("br");
    const int x1 = clRect.left(), y1 = clRect.top(), x2 = clRect.right(), y2 = clRect.bottom();
    const int xr = x2 - tr.width() + 1;
    const int yb = y2 - bl.height() + 1;
    clPainter.drawImage(QPoint(x1, y1), tl);
    clPainter.drawImage(QPoint(xr, y1), tr);
    clPainter.drawImage(QPoint(x1, yb), bl);
    clPainter.drawImage(QPoint(xr, yb), br);
    clPainter.drawImage(QRect(x1 + tl.width(), y1, xr - x1 - tl.width(), t.height()), t);
    clPainter.drawImage(QRect(x1 + bl.width(), y2 - b.height() + 1, xr - x1 - bl.width(), b.height()), b);
    clPainter.drawImage(QRect(x1, y1 + tl.height(), l.width(), yb - y1 - tl.height()), l);
    clPainter.drawImage(QRect(x2 - r.width() + 1, y1 + tr.height(), r.width(), yb - y1 - tr.height()), r);
    clPainter.drawImage(
        QRect(x1 + tl.width(), y1 + tl.height(), xr - x1 - tl.width(), yb - y1 - tl.height()), c);
}

void drawCentred(QPainter& clPainter, const QRect& clRect, const QImage& clImage, int iRaise = 0)
{
    const int x = clRect.left() + (clRect.right() - clRect.left() - clImage.width() + 1) / 2;
    const int y = clRect.top() + (clRect.bottom() - clRect.top() - clImage.height() + 1) / 2 - iRaise;
    clPainter.drawImage(QPoint(x, y), clImage);
}

void drawButton(QPainter& clPainter, const QRect& clRect, const QString& strState, const QString& strText,
    bool bLeft, bool bDisabled = false)
{
    clPainter.save();
    if (bDisabled)
        clPainter.setOpacity(0.5);
    drawNineSlice(clPainter, QStringLiteral(":/pushbutton/"), strState, clRect);
    clPainter.setPen(Qt::black);
    QRect clText = clRect.adjusted(0, -2, 0, 0);
    if (bLeft)
        clText.setLeft(clRect.left() + 10);
    clPainter.drawText(clText, (bLeft ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, strText);
    clPainter.restore();
}

void drawCombo(QPainter& clPainter, const QRect& clRect, const QString& strState, const QString& strText)
{
    drawButton(clPainter, clRect, strState, strText, true);
    const QRect clArrow(clRect.right() - 20, clRect.top(), 20, clRect.height());
    drawCentred(clPainter, clArrow, QImage(QStringLiteral(":/indicatorbutton/arrowdown")), 2);
}

void drawIndicator(QPainter& clPainter, const QRect& clRect, const QString& strState, const QString& strImage)
{
    drawNineSlice(clPainter, QStringLiteral(":/indicatorbutton/"), strState, clRect);
    drawCentred(clPainter, clRect, QImage(strImage));
}

void drawScrollBar(QPainter& clPainter, const QRect& clRect, bool bHorizontal, int iHandlePos, int iHandleLen,
    const QString& strHandleState)
{
    clPainter.fillRect(clRect, QColor(189, 192, 199));
    if (bHorizontal) {
        const QImage t(QStringLiteral(":/scrollbar/t")), b(QStringLiteral(":/scrollbar/b"));
        clPainter.drawImage(QRect(clRect.left(), clRect.top(), clRect.width(), t.height()), t);
        clPainter.drawImage(
            QRect(clRect.left(), clRect.bottom() - b.height() + 1, clRect.width(), b.height()), b);
        drawIndicator(clPainter, QRect(clRect.topLeft(), QSize(18, 18)), QStringLiteral("n"),
            QStringLiteral(":/indicatorbutton/arrowleft"));
        drawIndicator(clPainter, QRect(clRect.right() - 17, clRect.top(), 18, 18), QStringLiteral("h"),
            QStringLiteral(":/indicatorbutton/arrowright"));
        drawIndicator(clPainter, QRect(clRect.left() + iHandlePos, clRect.top(), iHandleLen, 18),
            strHandleState, QStringLiteral(":/scrollbar/handle"));
    } else {
        const QImage l(QStringLiteral(":/scrollbar/l")), r(QStringLiteral(":/scrollbar/r"));
        clPainter.drawImage(QRect(clRect.left(), clRect.top(), l.width(), clRect.height()), l);
        clPainter.drawImage(
            QRect(clRect.right() - r.width() + 1, clRect.top(), r.width(), clRect.height()), r);
        drawIndicator(clPainter, QRect(clRect.topLeft(), QSize(18, 18)), QStringLiteral("n"),
            QStringLiteral(":/indicatorbutton/arrowup"));
        drawIndicator(clPainter, QRect(clRect.left(), clRect.bottom() - 17, 18, 18), QStringLiteral("p"),
            QStringLiteral(":/indicatorbutton/arrowdown"));
        drawIndicator(clPainter, QRect(clRect.left(), clRect.top() + iHandlePos, 18, iHandleLen),
            strHandleState, QStringLiteral(":/scrollbar/handle"));
    }
}

// The slider as the style draws it, for a widget of the given width at the given origin: the
// handle is back_c's height long and handle2's height thick, all at y = 0.
void drawSlider(QPainter& clPainter, const QPoint& clOrigin, int iWidth, int iValue, int iMax)
{
    const QImage clActiveL(QStringLiteral(":/slider/active2_l")),
        clActiveC(QStringLiteral(":/slider/active2_c")), clBackC(QStringLiteral(":/slider/back_c")),
        clBackR(QStringLiteral(":/slider/back_r")), clHandle(QStringLiteral(":/slider/handle2"));
    clPainter.save();
    clPainter.translate(clOrigin);
    const int W = iWidth - 1;
    const int iLen = clBackC.height();
    const int iPos = (iWidth - iLen) * iValue / iMax;
    const int iCentre = iPos + iLen / 2;
    const int iRightCap = W - clBackR.width() - 13;
    clPainter.drawImage(QPoint(7, 0), clActiveL);
    clPainter.drawImage(QPoint(iRightCap, 0), clBackR);
    const int iActiveStart = clActiveL.width() + 7;
    if (iCentre - 1 >= iActiveStart)
        clPainter.drawImage(QRect(iActiveStart, 0, iCentre - iActiveStart, clBackC.height()), clActiveC);
    if (iRightCap > iCentre)
        clPainter.drawImage(QRect(iCentre, 0, iRightCap - iCentre, clBackC.height()), clBackC);
    clPainter.drawImage(QPoint(iPos, 0), clHandle);
    clPainter.restore();
}

QImage photo(bool bBright, const QSize& clSize)
{
    QImage clImage(clSize, QImage::Format_ARGB32_Premultiplied);
    QPainter clPainter(&clImage);
    clPainter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient clSky(0, 0, 0, clSize.height());
    if (bBright) {
        clSky.setColorAt(0.0, QColor(250, 252, 255));
        clSky.setColorAt(0.55, QColor(196, 222, 245));
        clSky.setColorAt(0.56, QColor(120, 170, 90));
        clSky.setColorAt(1.0, QColor(80, 130, 60));
    } else {
        clSky.setColorAt(0.0, QColor(10, 14, 30));
        clSky.setColorAt(0.6, QColor(30, 36, 60));
        clSky.setColorAt(0.61, QColor(20, 20, 24));
        clSky.setColorAt(1.0, QColor(5, 5, 8));
    }
    clPainter.fillRect(clImage.rect(), clSky);
    clPainter.setPen(Qt::NoPen);
    clPainter.setBrush(bBright ? QColor(255, 255, 255) : QColor(255, 220, 120));
    clPainter.drawEllipse(QPointF(clSize.width() * 0.12, clSize.height() * 0.12), 30, 18);
    clPainter.drawEllipse(QPointF(clSize.width() * 0.9, clSize.height() * 0.15), 26, 20);
    return clImage;
}

void drawOverlays(QPainter& clPainter, const QRect& clRect, bool bBright)
{
    clPainter.drawImage(clRect.topLeft(), photo(bBright, clRect.size()));
    const char* apcBatt[] = { "batt_0", "batt_1", "batt_2", "batt_3", "batt_ac" };
    int x = clRect.left() + 25;
    for (const char* pcName : apcBatt) {
        const QImage clIcon = QImage(QStringLiteral(":/img/") + QLatin1String(pcName))
                                  .scaledToWidth(25, Qt::FastTransformation);
        clPainter.drawImage(QPoint(x, clRect.top() + 25), clIcon);
        x += 40;
    }
    const QImage clRec = QImage(QStringLiteral(":/img/rec_simbol")).scaledToWidth(25, Qt::FastTransformation);
    clPainter.drawImage(QPoint(clRect.right() + 1 - clRec.width() - 25, clRect.top() + 25), clRec);
}

void label(QPainter& clPainter, int x, int y, const QString& strText)
{
    clPainter.setPen(QColor(90, 90, 90));
    clPainter.drawText(QPoint(x, y), strText);
}

} // namespace

bool shots::resources(const QString& strOut)
{
    QImage clSheet(1000, 820, QImage::Format_ARGB32_Premultiplied);
    clSheet.fill(QColor(240, 240, 240)); // the platform's window grey
    QPainter clPainter(&clSheet);
    QFont clFont(QStringLiteral("DejaVu Sans"));
    clFont.setPixelSize(13);
    clPainter.setFont(clFont);

    // Row 1: buttons in the three states and disabled, at several sizes.
    label(clPainter, 20, 22, QStringLiteral("push buttons n / h / p / disabled"));
    const QString aStates[] = { QStringLiteral("n"), QStringLiteral("h"), QStringLiteral("p") };
    for (int i = 0; i < 3; ++i)
        drawButton(clPainter, QRect(20 + i * 120, 32, 110, 40), aStates[i], QStringLiteral("Connect"), false);
    drawButton(
        clPainter, QRect(380, 32, 110, 40), QStringLiteral("n"), QStringLiteral("Connect"), false, true);
    drawButton(clPainter, QRect(510, 32, 220, 40), QStringLiteral("n"),
        QStringLiteral("Tool version upgrade"), false);
    drawButton(clPainter, QRect(750, 36, 70, 26), QStringLiteral("n"), QStringLiteral("OK"), false);
    drawButton(clPainter, QRect(830, 36, 70, 26), QStringLiteral("h"), QStringLiteral("Cancel"), false);
    drawButton(clPainter, QRect(910, 30, 13, 13), QStringLiteral("n"), QString(), false);
    drawButton(clPainter, QRect(930, 30, 50, 100), QStringLiteral("p"), QStringLiteral("tall"), false);

    // Row 2: 150 x 40 combo boxes and setting buttons, as on the settings pages.
    label(clPainter, 20, 102, QStringLiteral("150 x 40 combos and setting buttons"));
    for (int i = 0; i < 3; ++i)
        drawCombo(clPainter, QRect(20 + i * 160, 112, 150, 40), aStates[i], QStringLiteral("1080p 60fps"));
    drawButton(clPainter, QRect(500, 112, 150, 40), QStringLiteral("n"), QStringLiteral("Setting"), true);
    drawButton(clPainter, QRect(660, 112, 150, 40), QStringLiteral("h"), QStringLiteral("Format"), true);

    // Row 3: spin boxes' buttons and scroll bars.
    label(clPainter, 20, 182, QStringLiteral("spin buttons, scroll bars"));
    for (int i = 0; i < 3; ++i) {
        const int x = 20 + i * 90;
        clPainter.setPen(QColor(120, 120, 120));
        clPainter.setBrush(Qt::white);
        clPainter.drawRect(QRect(x, 192, 60, 27));
        clPainter.drawText(QRect(x, 192, 41, 28), Qt::AlignCenter, QStringLiteral("12"));
        drawIndicator(
            clPainter, QRect(x + 41, 194, 18, 12), aStates[i], QStringLiteral(":/indicatorbutton/arrowup"));
        drawIndicator(clPainter, QRect(x + 41, 206, 18, 12), QStringLiteral("n"),
            QStringLiteral(":/indicatorbutton/arrowdown"));
    }
    drawScrollBar(clPainter, QRect(300, 195, 300, 18), true, 60, 90, QStringLiteral("n"));
    drawScrollBar(clPainter, QRect(300, 225, 300, 18), true, 150, 40, QStringLiteral("h"));
    drawScrollBar(clPainter, QRect(620, 192, 18, 150), false, 40, 60, QStringLiteral("p"));
    for (int i = 0; i < 3; ++i)
        drawIndicator(clPainter, QRect(660 + i * 24, 195, 18, 18), aStates[i],
            QStringLiteral(":/indicatorbutton/arrowdown"));

    // Row 4: sliders and radio buttons.
    label(clPainter, 20, 272, QStringLiteral("sliders (0, 30 %, 100 %), radio buttons"));
    drawSlider(clPainter, QPoint(20, 284), 150, 0, 10);
    drawSlider(clPainter, QPoint(200, 284), 150, 3, 10);
    drawSlider(clPainter, QPoint(380, 284), 150, 10, 10);
    drawSlider(clPainter, QPoint(20, 314), 300, 6, 10);
    const QImage clOn(QStringLiteral(":/radiobutton/on")), clOff(QStringLiteral(":/radiobutton/off"));
    clPainter.drawImage(QRect(380, 316, 24, 24), clOn);
    clPainter.setPen(Qt::black);
    clPainter.drawText(QPoint(410, 333), QStringLiteral("ON"));
    clPainter.drawImage(QRect(450, 316, 24, 24), clOff);
    clPainter.drawText(QPoint(480, 333), QStringLiteral("OFF"));
    clPainter.save();
    clPainter.setOpacity(0.8);
    clPainter.drawImage(QRect(520, 316, 24, 24), clOff);
    clPainter.setOpacity(0.5);
    clPainter.drawImage(QRect(560, 316, 24, 24), clOn);
    clPainter.restore();

    // Row 5: overlays on pictures.
    label(clPainter, 20, 372, QStringLiteral("battery 0/1/2/3/ac and REC over bright, dark and white views"));
    drawOverlays(clPainter, QRect(20, 380, 300, 170), true);
    drawOverlays(clPainter, QRect(330, 380, 300, 170), false);
    clPainter.fillRect(QRect(640, 380, 340, 170), Qt::white);
    clPainter.fillRect(QRect(640, 380, 340, 170), Qt::white);
    {
        int x = 665;
        for (const char* pcName : { "batt_0", "batt_1", "batt_2", "batt_3", "batt_ac" }) {
            clPainter.drawImage(QPoint(x, 405), QImage(QStringLiteral(":/img/") + QLatin1String(pcName)));
            x += 40;
        }
        const QImage clRec(QStringLiteral(":/img/rec_simbol"));
        clPainter.drawImage(QPoint(980 - clRec.width() - 25, 405), clRec);
    }

    // Row 6: logos.
    label(clPainter, 20, 582,
        QStringLiteral("app icon (256, 64, 32, 16), progress logo, update page logo at 100 x 100"));
    const QImage clIcon(QStringLiteral(":/img/app_icon"));
    clPainter.drawImage(
        QPoint(20, 592), clIcon.scaled(200, 200, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    clPainter.drawImage(
        QPoint(230, 592), clIcon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    clPainter.drawImage(
        QPoint(300, 592), clIcon.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    clPainter.drawImage(
        QPoint(340, 592), clIcon.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    clPainter.drawImage(QPoint(380, 600), QImage(QStringLiteral(":/img/logo")));
    clPainter.drawImage(QPoint(520, 592),
        QImage(QStringLiteral(":/img/vexa_trans"))
            .scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    // A progress bar as the style draws it, for the accent colour next to the controls.
    {
        const QRect clBar(650, 600, 300, 24);
        const int x1 = clBar.left(), y1 = clBar.top(), w = clBar.width(), h = clBar.height();
        clPainter.fillRect(QRect(x1, y1, w, h), QColor(30, 30, 30));
        const int iChunkEnd = x1 + 3 + 60 * (w - 8) / 100;
        const QRect clChunk(QPoint(x1 + 4, y1 + 4), QPoint(iChunkEnd, y1 + h - 5));
        clPainter.fillRect(clChunk, QColor(0, 150, 120));
        QLinearGradient clGloss(clChunk.topLeft(), clChunk.bottomLeft());
        clGloss.setColorAt(0, QColor(255, 255, 255, 128));
        clGloss.setColorAt(0.25, Qt::transparent);
        clGloss.setColorAt(0.55, Qt::transparent);
        clGloss.setColorAt(1, QColor(0, 0, 0, 128));
        clPainter.fillRect(clChunk, clGloss);
    }
    clPainter.end();

    bool bOk = clSheet.save(strOut + QStringLiteral("/preview.png"));
    bOk &= clSheet.copy(0, 0, 500, 350)
               .scaled(1000, 700, Qt::IgnoreAspectRatio, Qt::FastTransformation)
               .save(strOut + QStringLiteral("/preview-2x.png"));
    bOk &= clSheet.copy(0, 370, 1000, 440)
               .scaled(2000, 880, Qt::IgnoreAspectRatio, Qt::FastTransformation)
               .copy(0, 0, 2000, 400)
               .save(strOut + QStringLiteral("/preview-overlays-2x.png"));
    QTextStream(stderr) << (bOk ? "wrote" : "FAILED") << " previews in " << strOut << '\n';
    return bOk;
}
