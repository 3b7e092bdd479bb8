// Draws every picture of the program's look into PNG files under one folder (resources/images by
// default). The PNGs are committed; run this tool again only to change the look:
//   cmake --build <build> --target kd4-draw-resources && <build>/resources/generator/kd4-draw-resources
// The build itself runs it with --app-icon <size> <file.png> for the icons the program installs.
//
// One palette for everything: light-grey controls with 1 px borders and soft vertical shading, a teal
// accent (the progress chunk's RGB 0,150,120) for hover, checked and active parts. Straight edges sit
// on whole pixels; only curves are antialiased, so the pictures stay crisp at their natural size.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QTextStream>

#include <cstdio>

namespace {

const QColor ACCENT(0, 150, 120);
const QColor ACCENT_DARK(0, 118, 95);
const QColor ACCENT_LIGHT(0, 178, 143);
const QColor INK(62, 67, 75);

QString gOutDir;
int gWritten = 0;

void save(const QImage& clImage, const QString& strRelPath)
{
    const QString strPath = gOutDir + QLatin1Char('/') + strRelPath + QStringLiteral(".png");
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    if (!clImage.save(strPath, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPath));
        std::exit(1);
    }
    ++gWritten;
}

QImage blank(int iWidth, int iHeight)
{
    QImage clImage(iWidth, iHeight, QImage::Format_ARGB32_Premultiplied);
    clImage.fill(Qt::transparent);
    return clImage;
}

// The look of one nine-slice state: border, the shading of the top band, the flat middle and the
// bottom band.
struct stFace
{
    QColor clBorder;
    QColor clTop; // just inside the top border
    QColor clMiddle; // the stretched centre
    QColor clBottom; // just inside the bottom border
    QColor clInnerTop; // an optional 1 px line inside the top border (highlight or inset shadow)
};

// Draws a whole button of (2 * iCorner + 1) pixels square and cuts it into the nine parts, so
// that every edge and corner continues seamlessly into its neighbours whatever the stretch.
void drawNineSliceSet(
    const QString& strPrefix, const QString& strState, const stFace& clFace, int iCorner, qreal rRadius)
{
    const int iSide = 2 * iCorner + 1;
    QImage clFull = blank(iSide, iSide);
    {
        QPainter clPainter(&clFull);
        clPainter.setRenderHint(QPainter::Antialiasing);
        const qreal rSide = iSide;
        QLinearGradient clFill(0, 0, 0, rSide);
        clFill.setColorAt(1.0 / rSide, clFace.clTop);
        clFill.setColorAt(iCorner / rSide, clFace.clMiddle);
        clFill.setColorAt((iCorner + 1) / rSide, clFace.clMiddle);
        clFill.setColorAt((rSide - 1) / rSide, clFace.clBottom);
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(clFill);
        clPainter.drawRoundedRect(QRectF(0, 0, rSide, rSide), rRadius + 0.5, rRadius + 0.5);
        if (clFace.clInnerTop.isValid()) {
            // A line one pixel inside the top border, bent along the corners.
            QPainterPath clClip;
            clClip.addRoundedRect(QRectF(1, 1, rSide - 2, rSide - 2), rRadius - 0.5, rRadius - 0.5);
            clPainter.setClipPath(clClip);
            clPainter.setPen(QPen(clFace.clInnerTop, 1.0));
            clPainter.setBrush(Qt::NoBrush);
            clPainter.drawRoundedRect(QRectF(1.5, 1.5, rSide - 3, rSide + 4), rRadius - 1, rRadius - 1);
            clPainter.setClipping(false);
        }
        clPainter.setPen(QPen(clFace.clBorder, 1.0));
        clPainter.setBrush(Qt::NoBrush);
        clPainter.drawRoundedRect(QRectF(0.5, 0.5, rSide - 1, rSide - 1), rRadius, rRadius);
    }
    const int c = iCorner;
    struct stPart
    {
        const char* pcName;
        QRect clRect;
    };
    const stPart aclParts[] = {
        { "tl", QRect(0, 0, c, c) },
        { "t", QRect(c, 0, 1, c) },
        { "tr", QRect(c + 1, 0, c, c) },
        { "l", QRect(0, c, c, 1) },
        { "c", QRect(c, c, 1, 1) },
        { "r", QRect(c + 1, c, c, 1) },
        { "bl", QRect(0, c + 1, c, c) },
        { "b", QRect(c, c + 1, 1, c) },
        { "br", QRect(c + 1, c + 1, c, c) },
    };
    for (const stPart& clPart : aclParts)
        save(clFull.copy(clPart.clRect),
            strPrefix + QLatin1Char('/') + strState + QLatin1String(clPart.pcName));
}

void drawButtons()
{
    // Push buttons and combo boxes: 6 px corners, radius 4.
    drawNineSliceSet(QStringLiteral("pushbutton"), QStringLiteral("n"),
        { QColor(168, 174, 182), QColor(252, 252, 253), QColor(238, 240, 243), QColor(226, 229, 233), {} }, 6,
        4.0);
    drawNineSliceSet(QStringLiteral("pushbutton"), QStringLiteral("h"),
        { ACCENT, QColor(255, 255, 255), QColor(245, 248, 248), QColor(230, 238, 236), {} }, 6, 4.0);
    drawNineSliceSet(QStringLiteral("pushbutton"), QStringLiteral("p"),
        { ACCENT_DARK, QColor(208, 213, 218), QColor(224, 228, 231), QColor(228, 231, 234),
            QColor(192, 198, 204) },
        6, 4.0);
    // Spin box and scroll bar buttons and the scroll bar grip: 5 px corners, radius 3.
    drawNineSliceSet(QStringLiteral("indicatorbutton"), QStringLiteral("n"),
        { QColor(150, 156, 165), QColor(250, 251, 252), QColor(234, 236, 240), QColor(222, 225, 230), {} }, 5,
        3.0);
    drawNineSliceSet(QStringLiteral("indicatorbutton"), QStringLiteral("h"),
        { ACCENT, QColor(255, 255, 255), QColor(243, 247, 246), QColor(228, 237, 235), {} }, 5, 3.0);
    drawNineSliceSet(QStringLiteral("indicatorbutton"), QStringLiteral("p"),
        { ACCENT_DARK, QColor(204, 209, 215), QColor(220, 224, 228), QColor(226, 229, 233),
            QColor(188, 194, 201) },
        5, 3.0);
}

// Chevron arrows, 10 x 6 (up and down) and 6 x 10 (left and right), a 1.6 px antialiased stroke.
void drawArrows()
{
    const QPointF aclDown[] = { QPointF(1.5, 1.2), QPointF(5.0, 4.6), QPointF(8.5, 1.2) };
    struct stArrow
    {
        const char* pcName;
        int iRotation;
    };
    const stArrow aclArrows[]
        = { { "arrowdown", 0 }, { "arrowup", 180 }, { "arrowleft", 90 }, { "arrowright", 270 } };
    for (const stArrow& clArrow : aclArrows) {
        const bool bVertical = clArrow.iRotation == 0 || clArrow.iRotation == 180;
        QImage clImage = blank(bVertical ? 10 : 6, bVertical ? 6 : 10);
        QPainter clPainter(&clImage);
        clPainter.setRenderHint(QPainter::Antialiasing);
        clPainter.translate(clImage.width() / 2.0, clImage.height() / 2.0);
        clPainter.rotate(clArrow.iRotation);
        clPainter.translate(-5.0, -3.0);
        QPen clPen(INK, 1.6);
        clPen.setCapStyle(Qt::RoundCap);
        clPen.setJoinStyle(Qt::RoundJoin);
        clPainter.setPen(clPen);
        clPainter.drawPolyline(aclDown, 3);
        clPainter.end();
        save(clImage, QStringLiteral("indicatorbutton/") + QLatin1String(clArrow.pcName));
    }
}

void drawScrollBar()
{
    // The groove (RGB 189,192,199, filled by the style) gets a shadow line on its top or left side
    // and a light line on its bottom or right side, so it reads as a channel.
    QImage clShadow = blank(1, 1);
    clShadow.setPixelColor(0, 0, QColor(158, 162, 170));
    QImage clLight = blank(1, 1);
    clLight.setPixelColor(0, 0, QColor(212, 215, 220));
    save(clShadow, QStringLiteral("scrollbar/t"));
    save(clShadow, QStringLiteral("scrollbar/l"));
    save(clLight, QStringLiteral("scrollbar/b"));
    save(clLight, QStringLiteral("scrollbar/r"));

    // Grip: 3 x 3 dots, the same for both orientations; 8 x 8.
    QImage clGrip = blank(8, 8);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const int iX = x * 3;
            const int iY = y * 3;
            clGrip.setPixelColor(iX, iY, QColor(128, 134, 143));
            clGrip.setPixelColor(iX + 1, iY, QColor(128, 134, 143));
            clGrip.setPixelColor(iX, iY + 1, QColor(128, 134, 143));
            clGrip.setPixelColor(iX + 1, iY + 1, QColor(150, 156, 164));
        }
    }
    save(clGrip, QStringLiteral("scrollbar/handle"));
}

// Slider: everything 20 px high, drawn from y = 0; the track is the 4 px band of rows 8 to 11, the
// handle a 20 x 20 knob centred on it.
void drawSlider()
{
    const int iHeight = 20;
    auto drawTrack = [&](const QColor& clTop, const QColor& clFill, const QColor& clBottom) {
        // Template 3 + 1 + 3 wide: left cap, stretchable middle, right cap.
        QImage clImage = blank(7, iHeight);
        QPainter clPainter(&clImage);
        clPainter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient clGradient(0, 8, 0, 12);
        clGradient.setColorAt(0.0, clTop);
        clGradient.setColorAt(0.3, clFill);
        clGradient.setColorAt(1.0, clBottom);
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(clGradient);
        clPainter.drawRoundedRect(QRectF(0, 8, 7, 4), 2.0, 2.0);
        return clImage;
    };
    const QImage clActive = drawTrack(ACCENT_DARK, ACCENT, ACCENT_LIGHT);
    const QImage clBack = drawTrack(QColor(160, 165, 172), QColor(196, 200, 206), QColor(208, 211, 216));
    save(clActive.copy(0, 0, 3, iHeight), QStringLiteral("slider/active2_l"));
    save(clActive.copy(3, 0, 1, iHeight), QStringLiteral("slider/active2_c"));
    save(clBack.copy(3, 0, 1, iHeight), QStringLiteral("slider/back_c"));
    save(clBack.copy(4, 0, 3, iHeight), QStringLiteral("slider/back_r"));

    QImage clHandle = blank(20, iHeight);
    {
        QPainter clPainter(&clHandle);
        clPainter.setRenderHint(QPainter::Antialiasing);
        // Soft shadow below the knob.
        QRadialGradient clShadow(QPointF(10, 11), 9.5);
        clShadow.setColorAt(0.80, QColor(0, 0, 0, 60));
        clShadow.setColorAt(1.0, QColor(0, 0, 0, 0));
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(clShadow);
        clPainter.drawEllipse(QPointF(10, 11), 9.5, 9.5);
        QLinearGradient clFill(0, 1, 0, 19);
        clFill.setColorAt(0.0, QColor(255, 255, 255));
        clFill.setColorAt(1.0, QColor(232, 235, 238));
        clPainter.setBrush(clFill);
        clPainter.setPen(QPen(QColor(150, 156, 165), 1.0));
        clPainter.drawEllipse(QPointF(10, 10), 8.5, 8.5);
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(ACCENT);
        clPainter.drawEllipse(QPointF(10, 10), 3.0, 3.0);
    }
    save(clHandle, QStringLiteral("slider/handle2"));
}

// Radio indicators, 24 x 24 (the size the style stretches them into).
void drawRadio()
{
    for (bool bOn : { false, true }) {
        QImage clImage = blank(24, 24);
        QPainter clPainter(&clImage);
        clPainter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient clFill(0, 3, 0, 21);
        clFill.setColorAt(0.0, QColor(255, 255, 255));
        clFill.setColorAt(1.0, bOn ? QColor(244, 248, 247) : QColor(232, 235, 238));
        clPainter.setBrush(clFill);
        clPainter.setPen(QPen(bOn ? ACCENT : QColor(150, 156, 165), bOn ? 1.5 : 1.0));
        clPainter.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        if (bOn) {
            clPainter.setPen(Qt::NoPen);
            clPainter.setBrush(ACCENT);
            clPainter.drawEllipse(QPointF(12, 12), 4.5, 4.5);
        }
        clPainter.end();
        save(clImage, bOn ? QStringLiteral("radiobutton/on") : QStringLiteral("radiobutton/off"));
    }
}

// Battery icons, 25 x 14 at natural size (the live view draws them 25 px wide, so they are never
// rescaled): white outline with a dark halo and a dark translucent body, so they read on bright and
// dark pictures alike.
void drawBattery(const QString& strName, int iBars, const QColor& clOutline, const QColor& clBar, bool bPlug)
{
    QImage clImage = blank(25, 14);
    QPainter clPainter(&clImage);
    clPainter.setRenderHint(QPainter::Antialiasing);
    const QRectF clBody(1.5, 1.5, 19, 11);
    const QRectF clTip(21.0, 4.5, 2.5, 5);

    // Halo, then the body and the terminal.
    clPainter.setPen(QPen(QColor(0, 0, 0, 120), 3.0));
    clPainter.setBrush(Qt::NoBrush);
    clPainter.drawRoundedRect(clBody, 2.5, 2.5);
    clPainter.drawRoundedRect(clTip, 1.0, 1.0);
    clPainter.setPen(Qt::NoPen);
    clPainter.setBrush(bPlug ? QColor(0, 150, 120, 200) : QColor(0, 0, 0, 130));
    clPainter.drawRoundedRect(clBody, 2.5, 2.5);
    clPainter.setBrush(clOutline);
    clPainter.drawRoundedRect(clTip, 1.0, 1.0);
    clPainter.setPen(QPen(clOutline, 1.2));
    clPainter.setBrush(Qt::NoBrush);
    clPainter.drawRoundedRect(clBody, 2.5, 2.5);

    clPainter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < iBars; ++i)
        clPainter.fillRect(QRect(4 + i * 5, 4, 4, 6), clBar);
    if (iBars == 0 && !bPlug)
        clPainter.fillRect(QRect(4, 4, 2, 6), clBar); // a last red sliver: empty
    if (bPlug) {
        clPainter.setRenderHint(QPainter::Antialiasing);
        QPainterPath clBolt;
        clBolt.moveTo(12.6, 2.6);
        clBolt.lineTo(7.6, 7.6);
        clBolt.lineTo(10.6, 7.6);
        clBolt.lineTo(9.4, 11.4);
        clBolt.lineTo(14.4, 6.4);
        clBolt.lineTo(11.4, 6.4);
        clBolt.closeSubpath();
        clPainter.setPen(Qt::NoPen);
        clPainter.setBrush(QColor(255, 255, 255));
        clPainter.drawPath(clBolt);
    }
    clPainter.end();
    save(clImage, QStringLiteral("img/") + strName);
}

QFont boldFont(qreal rPixelSize)
{
    QFont clFont(QStringLiteral("DejaVu Sans"));
    clFont.setPixelSize(qRound(rPixelSize));
    clFont.setBold(true);
    clFont.setHintingPreference(QFont::PreferFullHinting);
    return clFont;
}

// Recording symbol, 25 x 24: a red dot over "REC" on a dark translucent badge.
void drawRecSymbol()
{
    QImage clImage = blank(25, 24);
    QPainter clPainter(&clImage);
    clPainter.setRenderHint(QPainter::Antialiasing);
    clPainter.setRenderHint(QPainter::TextAntialiasing);
    clPainter.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    clPainter.setBrush(QColor(0, 0, 0, 140));
    clPainter.drawRoundedRect(QRectF(0.5, 0.5, 24, 23), 4, 4);
    QRadialGradient clDot(QPointF(11.2, 5.8), 5.5);
    clDot.setColorAt(0.0, QColor(255, 110, 100));
    clDot.setColorAt(1.0, QColor(225, 30, 30));
    clPainter.setPen(Qt::NoPen);
    clPainter.setBrush(clDot);
    clPainter.drawEllipse(QPointF(12.5, 7.5), 4.5, 4.5);
    clPainter.setFont(boldFont(7));
    clPainter.setPen(QColor(255, 255, 255));
    clPainter.drawText(QRect(0, 13, 25, 9), Qt::AlignCenter, QStringLiteral("REC"));
    clPainter.end();
    save(clImage, QStringLiteral("img/rec_simbol"));
}

// The product mark: a camera lens (teal ring, dark glass with a glint).
void drawLensMark(QPainter& clPainter, const QPointF& clCentre, qreal rRadius, bool bOnTeal)
{
    clPainter.setPen(Qt::NoPen);
    clPainter.setBrush(bOnTeal ? QColor(255, 255, 255) : ACCENT);
    clPainter.drawEllipse(clCentre, rRadius, rRadius);
    QRadialGradient clGlass(clCentre + QPointF(-rRadius * 0.25, -rRadius * 0.25), rRadius * 0.8);
    clGlass.setColorAt(0.0, QColor(70, 82, 96));
    clGlass.setColorAt(1.0, QColor(18, 22, 28));
    clPainter.setBrush(clGlass);
    clPainter.drawEllipse(clCentre, rRadius * 0.68, rRadius * 0.68);
    clPainter.setBrush(bOnTeal ? ACCENT : ACCENT_LIGHT);
    clPainter.drawEllipse(clCentre, rRadius * 0.28, rRadius * 0.28);
    clPainter.setBrush(QColor(255, 255, 255, 190));
    clPainter.drawEllipse(clCentre + QPointF(-rRadius * 0.3, -rRadius * 0.3), rRadius * 0.12, rRadius * 0.12);
}

// The program's icon, drawn on a 256-pixel grid and scaled to iSize. Below 48 pixels the word
// would be an unreadable smudge: the lens mark alone fills the tile instead.
QImage appIcon(int iSize)
{
    QImage clImage = blank(iSize, iSize);
    QPainter clPainter(&clImage);
    clPainter.setRenderHint(QPainter::Antialiasing);
    clPainter.setRenderHint(QPainter::TextAntialiasing);
    clPainter.scale(iSize / 256.0, iSize / 256.0);
    QLinearGradient clBack(0, 8, 0, 248);
    clBack.setColorAt(0.0, QColor(0, 182, 146));
    clBack.setColorAt(1.0, QColor(0, 118, 95));
    clPainter.setPen(Qt::NoPen);
    clPainter.setBrush(clBack);
    clPainter.drawRoundedRect(QRectF(8, 8, 240, 240), 52, 52);
    if (iSize < 48) {
        drawLensMark(clPainter, QPointF(128, 128), 92, true);
        return clImage;
    }
    drawLensMark(clPainter, QPointF(128, 108), 62, true);
    clPainter.setFont(boldFont(46));
    clPainter.setPen(QColor(255, 255, 255));
    clPainter.drawText(QRectF(8, 178, 240, 56), Qt::AlignCenter, QStringLiteral("Vexa"));
    return clImage;
}

void drawAppIcon()
{
    save(appIcon(256), QStringLiteral("img/app_icon"));
}

// Lens mark followed by the word "Vexa", on a transparent background.
void drawWordmark(QImage& clImage, qreal rMarkRadius, qreal rTextSize, const QRectF& clTextRect)
{
    QPainter clPainter(&clImage);
    clPainter.setRenderHint(QPainter::Antialiasing);
    clPainter.setRenderHint(QPainter::TextAntialiasing);
    drawLensMark(clPainter, QPointF(rMarkRadius + 2, clImage.height() / 2.0), rMarkRadius, false);
    QFont clFont = boldFont(rTextSize);
    clFont.setLetterSpacing(QFont::PercentageSpacing, 96);
    clPainter.setFont(clFont);
    clPainter.setPen(INK);
    clPainter.drawText(clTextRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vexa"));
}

void drawLogos()
{
    QImage clLogo = blank(120, 40);
    drawWordmark(clLogo, 15, 26, QRectF(38, 0, 82, 40));
    save(clLogo, QStringLiteral("img/logo"));

    // The update page shows this one scaled to 100 x 100: the mark above the word.
    QImage clTrans = blank(200, 200);
    {
        QPainter clPainter(&clTrans);
        clPainter.setRenderHint(QPainter::Antialiasing);
        clPainter.setRenderHint(QPainter::TextAntialiasing);
        drawLensMark(clPainter, QPointF(100, 78), 62, false);
        clPainter.setFont(boldFont(44));
        clPainter.setPen(INK);
        clPainter.drawText(QRectF(0, 144, 200, 52), Qt::AlignCenter, QStringLiteral("Vexa"));
    }
    save(clTrans, QStringLiteral("img/vexa_trans"));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication clApp(argc, argv);
    const QStringList clArgs = QCoreApplication::arguments();
    // --app-icon <size> <file.png>: the program's icon alone, for the desktop's icon theme.
    if (clArgs.size() == 4 && clArgs.at(1) == QLatin1String("--app-icon")) {
        const int iSize = clArgs.at(2).toInt();
        if (iSize < 16 || iSize > 1024 || !appIcon(iSize).save(clArgs.at(3), "PNG")) {
            std::fprintf(stderr, "cannot write a %s-pixel icon to %s\n", qPrintable(clArgs.at(2)),
                qPrintable(clArgs.at(3)));
            return 1;
        }
        return 0;
    }
    gOutDir = QDir::cleanPath(clArgs.size() > 1 ? clArgs.at(1) : QStringLiteral(KD4_IMAGES_DIR));

    drawButtons();
    drawArrows();
    drawScrollBar();
    drawSlider();
    drawRadio();
    drawBattery(QStringLiteral("batt_0"), 0, QColor(255, 86, 72), QColor(255, 86, 72), false);
    drawBattery(QStringLiteral("batt_1"), 1, QColor(255, 255, 255), QColor(255, 196, 60), false);
    drawBattery(QStringLiteral("batt_2"), 2, QColor(255, 255, 255), QColor(255, 255, 255), false);
    drawBattery(QStringLiteral("batt_3"), 3, QColor(255, 255, 255), QColor(255, 255, 255), false);
    drawBattery(QStringLiteral("batt_ac"), 0, QColor(255, 255, 255), QColor(255, 255, 255), true);
    drawRecSymbol();
    drawAppIcon();
    drawLogos();

    QTextStream(stdout) << "wrote " << gWritten << " images to " << gOutDir << '\n';
    return 0;
}
