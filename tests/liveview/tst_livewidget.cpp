#include "liveview/ClLiveWidget.h"
#include "resources/ClResources.h"
#include "tests/liveview/PaintProbe.h"

#include <QAccessible>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <QtMath>

#include <cmath>

namespace {

const QRgb WHITE = qRgb(255, 255, 255);
// Frames are one dark colour, so the white grid lines stand out and can be measured.
const QRgb DARK = qRgb(16, 16, 16);
const int DARK_GRAY = 16;

const char* const BATTERY_ICONS[]
    = { ":/img/batt_ac", ":/img/batt_0", ":/img/batt_1", ":/img/batt_2", ":/img/batt_3" };

QImage darkFrame(const QSize& clSize)
{
    QImage clImage(clSize, QImage::Format_RGB32);
    clImage.fill(DARK);
    return clImage;
}

QImage scaledIcon(const QString& strPath)
{
    return QImage(strPath).scaledToWidth(25, Qt::FastTransformation);
}

// What the widget shows with nothing but white background and the given icons on it.
QImage whiteWithIcons(const QSize& clSize, const QList<QPair<QPoint, QString>>& clIcons)
{
    QImage clImage(clSize, QImage::Format_RGB32);
    clImage.fill(WHITE);
    QPainter clPainter(&clImage);
    for (const auto& clIcon : clIcons)
        clPainter.drawImage(clIcon.first, scaledIcon(clIcon.second));
    return clImage;
}

QRect recIconRect(int iWidth)
{
    const QImage clIcon = scaledIcon(QStringLiteral(":/img/rec_simbol"));
    return QRect(iWidth - clIcon.width() - 25, 25, clIcon.width(), clIcon.height());
}

QRect ringArea(const QSize& clSize)
{
    // The ring is 26 px across with its corner at (W - 51, H - 51); allow for the pen.
    return QRect(clSize.width() - 54, clSize.height() - 54, 32, 32);
}

bool isReddish(QRgb u)
{
    return qRed(u) > qGreen(u) + 40 && qRed(u) > qBlue(u) + 40;
}

// Scans every picture row that keeps away from the horizontal lines and checks that the bright
// stripes across it sit exactly at the expected x positions.
void checkVerticals(
    const QImage& clShot, const QRect& clPicture, const QList<int>& clXs, const QList<int>& clAvoidYs)
{
    for (int y = clPicture.top(); y <= clPicture.bottom(); ++y) {
        bool bNearHorizontal = false;
        for (int iY : clAvoidYs)
            bNearHorizontal |= qAbs(y - iY) <= 3;
        if (bNearHorizontal)
            continue;
        // Only the picture columns: the white bands beside it are not dark.
        const auto clRuns
            = probe::brightRuns(probe::row(clShot, y).mid(clPicture.left(), clPicture.width()), DARK_GRAY);
        QVERIFY2(clRuns.size() == clXs.size(),
            qPrintable(QStringLiteral("row %1: %2 stripes").arg(y).arg(clRuns.size())));
        for (int i = 0; i < clXs.size(); ++i) {
            const double dX = clRuns[i].dCentre + clPicture.left();
            QVERIFY2(qAbs(dX - clXs[i]) < 0.05,
                qPrintable(QStringLiteral("row %1: stripe at %2, expected %3").arg(y).arg(dX).arg(clXs[i])));
        }
    }
}

void checkHorizontals(
    const QImage& clShot, const QRect& clPicture, const QList<int>& clYs, const QList<int>& clAvoidXs)
{
    const int iTop = clPicture.top();
    for (int x = clPicture.left(); x <= clPicture.right(); ++x) {
        bool bNearVertical = false;
        for (int iX : clAvoidXs)
            bNearVertical |= qAbs(x - iX) <= 3;
        if (bNearVertical)
            continue;
        const auto clRuns
            = probe::brightRuns(probe::column(clShot, x).mid(iTop, clPicture.height()), DARK_GRAY);
        QVERIFY2(clRuns.size() == clYs.size(),
            qPrintable(QStringLiteral("column %1: %2 stripes").arg(x).arg(clRuns.size())));
        for (int i = 0; i < clYs.size(); ++i)
            QVERIFY2(qAbs(clRuns[i].dCentre + iTop - clYs[i]) < 0.05,
                qPrintable(QStringLiteral("column %1: stripe at %2, expected %3")
                               .arg(x)
                               .arg(clRuns[i].dCentre + iTop)
                               .arg(clYs[i])));
    }
}

} // namespace

class TestLiveWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void grid_linesOverFrame_data();
    void grid_linesOverFrame();
    void grid_diagonal_data();
    void grid_diagonal();
    void grid_endpointsFollowFittedPicture_data();
    void grid_endpointsFollowFittedPicture();
    void grid_otherKindsDrawNothing_data();
    void grid_otherKindsDrawNothing();
    void grid_changesOnlyWithNextRepaint();

    void battery_iconFollowsLevelAndAdapter_data();
    void battery_iconFollowsLevelAndAdapter();
    void record_symbolAtTopRight_data();
    void record_symbolAtTopRight();
    void record_notRecordingShowsNeitherSymbolNorNotice();
    void notice_hidesPictureAndGridButNotOverlays();
    void notice_leavingShowsStoredFrameAgain();

    void frame_nullKeepsPrevious();
    void clearView_removesEverything();

    void busyRing_shownWhileAnimating();
    void accessible_describesOverlays();
};

void TestLiveWidget::initTestCase()
{
    ClResources::init();
    for (const char* pszIcon : BATTERY_ICONS)
        QVERIFY2(!QImage(QLatin1String(pszIcon)).isNull(), pszIcon);
    QVERIFY(!QImage(QStringLiteral(":/img/rec_simbol")).isNull());
}

void TestLiveWidget::grid_linesOverFrame_data()
{
    QTest::addColumn<QSize>("clWidget");
    QTest::addColumn<QSize>("clFrame");
    QTest::addColumn<QString>("strGrid");
    QTest::addColumn<QRect>("clPicture");
    QTest::addColumn<QList<int>>("clXs");
    QTest::addColumn<QList<int>>("clYs");

    // 1280 x 720 in 424 x 240 lands at 424 x 238 one pixel down; thirds 141 and 79, the second
    // lines at twice the truncated third.
    QTest::newRow("div9, smallest view")
        << QSize(424, 240) << QSize(1280, 720) << QStringLiteral("grid_div9") << QRect(0, 1, 424, 238)
        << QList<int> { 141, 282 } << QList<int> { 80, 159 };
    QTest::newRow("div4, smallest view") << QSize(424, 240) << QSize(1280, 720) << QStringLiteral("grid_div4")
                                         << QRect(0, 1, 424, 238) << QList<int> { 212 } << QList<int> { 120 };
    // 848 x 477 at top 71: thirds 282 and 159 (twice: 564 and 318, where two thirds would be 565).
    QTest::newRow("div9, largest view")
        << QSize(848, 620) << QSize(1280, 720) << QStringLiteral("grid_div9") << QRect(0, 71, 848, 477)
        << QList<int> { 282, 564 } << QList<int> { 230, 389 };
    // Portrait: 135 x 240 at left 144; thirds 45 and 80.
    QTest::newRow("div9, portrait frame")
        << QSize(424, 240) << QSize(720, 1280) << QStringLiteral("grid_div9") << QRect(144, 0, 135, 240)
        << QList<int> { 189, 234 } << QList<int> { 80, 160 };
    QTest::newRow("div4, portrait frame")
        << QSize(424, 240) << QSize(720, 1280) << QStringLiteral("grid_div4") << QRect(144, 0, 135, 240)
        << QList<int> { 212 } << QList<int> { 120 };
}

void TestLiveWidget::grid_linesOverFrame()
{
    QFETCH(QSize, clWidget);
    QFETCH(QSize, clFrame);
    QFETCH(QString, strGrid);
    QFETCH(QRect, clPicture);
    QFETCH(QList<int>, clXs);
    QFETCH(QList<int>, clYs);

    ClLiveWidget clView;
    clView.resize(clWidget);
    QVERIFY(clView.slotSetImage(darkFrame(clFrame)));
    clView.slotSetGrid(strGrid);
    const QImage clShot = Kd4Test::grab(clView);

    // The picture fills exactly its fitted rectangle; white outside it.
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != WHITE; }), clPicture);
    QCOMPARE(clShot.pixel(clPicture.topLeft() + QPoint(2, 2)), DARK);
    QCOMPARE(clShot.pixel(clPicture.bottomRight() - QPoint(2, 2)), DARK);

    // Verticals over every picture row, horizontals over every picture column.
    checkVerticals(clShot, clPicture, clXs, clYs);
    checkHorizontals(clShot, clPicture, clYs, clXs);
}

void TestLiveWidget::grid_diagonal_data()
{
    QTest::addColumn<QSize>("clWidget");
    QTest::addColumn<QSize>("clFrame");
    QTest::addColumn<QRect>("clPicture");
    QTest::newRow("wide frame") << QSize(424, 240) << QSize(1280, 720) << QRect(0, 1, 424, 238);
    QTest::newRow("portrait frame") << QSize(424, 240) << QSize(720, 1280) << QRect(144, 0, 135, 240);
}

void TestLiveWidget::grid_diagonal()
{
    QFETCH(QSize, clWidget);
    QFETCH(QSize, clFrame);
    QFETCH(QRect, clPicture);

    ClLiveWidget clView;
    clView.resize(clWidget);
    QVERIFY(clView.slotSetImage(darkFrame(clFrame)));
    clView.slotSetGrid(QStringLiteral("grid_diagonal"));
    const QImage clShot = Kd4Test::grab(clView);

    // Corner to corner of the picture: (L, T) to (W - L, H - T) and (L, H - T) to (W - L, T).
    const double dL = clPicture.left();
    const double dT = clPicture.top();
    const double dSlope = (clWidget.height() - 2 * dT) / (clWidget.width() - 2 * dL);
    const int iMiddle = clWidget.width() / 2;
    int iChecked = 0;
    for (int x = clPicture.left() + 4; x <= clPicture.right() - 4; ++x) {
        if (qAbs(x - iMiddle) < 12)
            continue; // where the two lines cross
        const double dFalling = dT + (x + 0.5 - dL) * dSlope;
        const double dRising = clWidget.height() - dT - (x + 0.5 - dL) * dSlope;
        const auto clRuns
            = probe::brightRuns(probe::column(clShot, x).mid(clPicture.top(), clPicture.height()), DARK_GRAY);
        QVERIFY2(clRuns.size() == 2,
            qPrintable(QStringLiteral("column %1: %2 stripes").arg(x).arg(clRuns.size())));
        const double dUpper = clRuns[0].dCentre + dT;
        const double dLower = clRuns[1].dCentre + dT;
        QVERIFY2(qAbs(dUpper - qMin(dFalling, dRising)) < 0.3 && qAbs(dLower - qMax(dFalling, dRising)) < 0.3,
            qPrintable(QStringLiteral("column %1: %2 and %3").arg(x).arg(dUpper).arg(dLower)));
        ++iChecked;
    }
    QVERIFY(iChecked > 80);
}

void TestLiveWidget::grid_endpointsFollowFittedPicture_data()
{
    QTest::addColumn<bool>("bFrame");
    QTest::addColumn<QString>("strGrid");
    QTest::addColumn<QList<QLineF>>("clExpected");

    QTest::newRow("div9 over a frame") << true << QStringLiteral("grid_div9")
                                       << QList<QLineF> { QLineF(141, 1, 141, 239), QLineF(282, 1, 282, 239),
                                              QLineF(0, 80, 424, 80), QLineF(0, 159, 424, 159) };
    QTest::newRow("div9 without frame") << false << QStringLiteral("grid_div9")
                                        << QList<QLineF> { QLineF(141, 0, 141, 240), QLineF(282, 0, 282, 240),
                                               QLineF(0, 80, 424, 80), QLineF(0, 160, 424, 160) };
    QTest::newRow("div4 without frame")
        << false << QStringLiteral("grid_div4")
        << QList<QLineF> { QLineF(212, 0, 212, 240), QLineF(0, 120, 424, 120) };
    QTest::newRow("diagonal without frame")
        << false << QStringLiteral("grid_diagonal")
        << QList<QLineF> { QLineF(0, 0, 424, 240), QLineF(0, 240, 424, 0) };
}

// White lines over the white background leave no trace in the pixels, so the lines the widget asks
// for are recorded instead.
void TestLiveWidget::grid_endpointsFollowFittedPicture()
{
    QFETCH(bool, bFrame);
    QFETCH(QString, strGrid);
    QFETCH(QList<QLineF>, clExpected);

    ClLiveWidget clView;
    clView.resize(424, 240);
    if (bFrame)
        QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetGrid(strGrid);

    const auto clLines = probe::record(clView).clLines;
    QCOMPARE(clLines.size(), clExpected.size());
    for (int i = 0; i < clLines.size(); ++i) {
        QCOMPARE(clLines[i].clLine, clExpected[i]);
        QCOMPARE(clLines[i].clPen.widthF(), 3.0);
        QCOMPARE(clLines[i].clPen.color(), QColor(255, 255, 255, 150));
    }
}

void TestLiveWidget::grid_otherKindsDrawNothing_data()
{
    QTest::addColumn<QString>("strGrid");
    QTest::newRow("grid_none") << QStringLiteral("grid_none");
    QTest::newRow("empty") << QString();
    QTest::newRow("unknown") << QStringLiteral("grid_div16");
    QTest::newRow("wrong case") << QStringLiteral("GRID_DIV9");
}

void TestLiveWidget::grid_otherKindsDrawNothing()
{
    QFETCH(QString, strGrid);
    ClLiveWidget clView;
    clView.resize(424, 240);
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetGrid(strGrid);

    const QImage clShot = Kd4Test::grab(clView);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != DARK && u != WHITE; }), QRect());
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u == DARK; }), QRect(0, 1, 424, 238));
    QVERIFY(probe::record(clView).clLines.isEmpty());
}

void TestLiveWidget::grid_changesOnlyWithNextRepaint()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    QVERIFY(Kd4Test::showExposed(&clView));
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    QScreen* pclScreen = clView.windowHandle()->screen();
    QTRY_COMPARE(pclScreen->grabWindow(clView.winId()).toImage().pixel(212, 60), DARK);

    probe::PaintCounter clCounter;
    clView.installEventFilter(&clCounter);
    clView.slotSetGrid(QStringLiteral("grid_div4"));
    QTest::qWait(100);
    QCOMPARE(clCounter.iPaints, 0);
    QCOMPARE(pclScreen->grabWindow(clView.winId()).toImage().pixel(212, 60), DARK);

    // The next frame repaints, and the grid comes with it.
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    QTRY_VERIFY(pclScreen->grabWindow(clView.winId()).toImage().pixel(212, 60) != DARK);
    QVERIFY(clCounter.iPaints > 0);
}

void TestLiveWidget::battery_iconFollowsLevelAndAdapter_data()
{
    QTest::addColumn<int>("iLevel");
    QTest::addColumn<bool>("bAdapter");
    QTest::addColumn<QString>("strIcon");

    QTest::newRow("30") << 30 << false << QStringLiteral(":/img/batt_1");
    QTest::newRow("31") << 31 << false << QStringLiteral(":/img/batt_2");
    QTest::newRow("60") << 60 << false << QStringLiteral(":/img/batt_2");
    QTest::newRow("61") << 61 << false << QStringLiteral(":/img/batt_3");
    QTest::newRow("100") << 100 << false << QStringLiteral(":/img/batt_3");
    QTest::newRow("1") << 1 << false << QStringLiteral(":/img/batt_1");
    QTest::newRow("0") << 0 << false << QStringLiteral(":/img/batt_0");
    QTest::newRow("-5") << -5 << false << QStringLiteral(":/img/batt_0");
    QTest::newRow("adapter, 0") << 0 << true << QStringLiteral(":/img/batt_ac");
    QTest::newRow("adapter, 100") << 100 << true << QStringLiteral(":/img/batt_ac");
}

void TestLiveWidget::battery_iconFollowsLevelAndAdapter()
{
    QFETCH(int, iLevel);
    QFETCH(bool, bAdapter);
    QFETCH(QString, strIcon);

    // The icons must differ from each other where they are drawn, or this proves nothing.
    for (const char* pszA : BATTERY_ICONS)
        for (const char* pszB : BATTERY_ICONS)
            if (qstrcmp(pszA, pszB) != 0)
                QVERIFY2(scaledIcon(QLatin1String(pszA)) != scaledIcon(QLatin1String(pszB)), pszA);

    ClLiveWidget clView;
    clView.resize(424, 240);
    clView.slotSetBattLv(iLevel, bAdapter);
    const QImage clShot = Kd4Test::grab(clView);

    // The whole widget is white except for the icon, 25 px wide at (25, 25).
    const QImage clExpected = whiteWithIcons(clView.size(), { { QPoint(25, 25), strIcon } });
    QCOMPARE(probe::maxDifference(clShot, clExpected), 0);
    for (const char* pszOther : BATTERY_ICONS) {
        if (strIcon != QLatin1String(pszOther))
            QVERIFY(probe::maxDifference(clShot,
                        whiteWithIcons(clView.size(), { { QPoint(25, 25), QLatin1String(pszOther) } }))
                > 0);
    }
}

void TestLiveWidget::record_symbolAtTopRight_data()
{
    QTest::addColumn<QSize>("clWidget");
    QTest::newRow("424 x 240") << QSize(424, 240);
    QTest::newRow("601 x 333") << QSize(601, 333);
    QTest::newRow("848 x 620") << QSize(848, 620);
}

void TestLiveWidget::record_symbolAtTopRight()
{
    QFETCH(QSize, clWidget);
    ClLiveWidget clView;
    clView.resize(clWidget);
    clView.slotSetRecordState(true, false);

    const QRect clRect = recIconRect(clWidget.width());
    QCOMPARE(clRect.right(), clWidget.width() - 26); // 25 px clear to the right edge
    const QImage clExpected
        = whiteWithIcons(clWidget, { { clRect.topLeft(), QStringLiteral(":/img/rec_simbol") } });
    QCOMPARE(probe::maxDifference(Kd4Test::grab(clView), clExpected), 0);
}

void TestLiveWidget::record_notRecordingShowsNeitherSymbolNorNotice()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    const auto isWhite = [](QRgb u) { return u == WHITE; };

    clView.slotSetRecordState(false, true);
    QVERIFY(probe::boundingRect(Kd4Test::grab(clView), [&](QRgb u) { return !isWhite(u); }).isNull());

    // Leaving the high-speed state also takes the notice and the symbol away.
    clView.slotSetRecordState(true, true);
    QVERIFY(!probe::boundingRect(Kd4Test::grab(clView), isReddish).isNull());
    clView.slotSetRecordState(false, true);
    QVERIFY(probe::boundingRect(Kd4Test::grab(clView), [&](QRgb u) { return !isWhite(u); }).isNull());
}

void TestLiveWidget::notice_hidesPictureAndGridButNotOverlays()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetGrid(QStringLiteral("grid_div9"));
    clView.slotSetBattLv(50, false);
    clView.slotSetVisibleIndicator(true);
    clView.slotSetRecordState(true, true);
    const QImage clShot = Kd4Test::grab(clView);

    // The icons are drawn as usual.
    const QRect clBatt(QPoint(25, 25), scaledIcon(QStringLiteral(":/img/batt_2")).size());
    const QRect clRec = recIconRect(424);
    const QImage clIcons = whiteWithIcons(clView.size(),
        { { clBatt.topLeft(), QStringLiteral(":/img/batt_2") },
            { clRec.topLeft(), QStringLiteral(":/img/rec_simbol") } });
    QCOMPARE(probe::maxDifference(clShot.copy(clBatt), clIcons.copy(clBatt)), 0);
    QCOMPARE(probe::maxDifference(clShot.copy(clRec), clIcons.copy(clRec)), 0);

    // So is the busy ring: not white, not red.
    const QRect clRing = ringArea(clView.size());
    QVERIFY(!probe::boundingRect(clShot.copy(clRing), [](QRgb u) {
        return u != WHITE && !isReddish(u);
    }).isNull());

    // Nothing is drawn but the two icons (and the ring and text): no picture, and no grid either,
    // which over white would not show in the pixels.
    const probe::Recording clRecorded = probe::record(clView);
    QVERIFY(clRecorded.clLines.isEmpty());
    QCOMPARE(clRecorded.clImages, (QList<QRectF> { QRectF(clBatt), QRectF(clRec) }));

    // Everywhere else only white and the red notice.
    for (int y = 0; y < clShot.height(); ++y)
        for (int x = 0; x < clShot.width(); ++x) {
            const QPoint clPoint(x, y);
            if (clBatt.contains(clPoint) || clRec.contains(clPoint) || clRing.contains(clPoint))
                continue;
            const QRgb u = clShot.pixel(clPoint);
            // Antialiased red text blends with white: red stays full, green and blue equal.
            QVERIFY2(u == WHITE || (qRed(u) == 255 && qGreen(u) == qBlue(u)),
                qPrintable(QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(u, 8, 16)));
        }

    // The notice is two lines of red text, each centred, the pair in the middle of the widget.
    QImage clNotice = clShot;
    {
        QPainter clMask(&clNotice); // keep the icons' own colours out of the text's measure
        for (const QRect& clRect : { clBatt, clRec, clRing })
            clMask.fillRect(clRect, Qt::white);
    }
    const QRect clText
        = probe::boundingRect(clNotice, [](QRgb u) { return qRed(u) == 255 && qGreen(u) < 160; });
    QVERIFY(!clText.isNull());
    QList<QPair<int, int>> clBands; // rows holding text, as (first, last)
    for (int y = clText.top(); y <= clText.bottom(); ++y) {
        bool bInk = false;
        for (int x = clText.left(); x <= clText.right() && !bInk; ++x)
            bInk = qRed(clNotice.pixel(x, y)) == 255 && qGreen(clNotice.pixel(x, y)) < 160;
        if (bInk && (clBands.isEmpty() || clBands.last().second != y - 1))
            clBands.append(qMakePair(y, y));
        else if (bInk)
            clBands.last().second = y;
    }
    QCOMPARE(clBands.size(), 2);
    const int iLineHeight = QFontMetrics(clView.font()).height();
    for (const auto& clBand : clBands) {
        const QRect clLine
            = probe::boundingRect(clNotice.copy(0, clBand.first, 424, clBand.second - clBand.first + 1),
                [](QRgb u) { return qRed(u) == 255 && qGreen(u) < 160; });
        const int iLeft = clLine.left();
        const int iRight = 424 - 1 - clLine.right();
        QVERIFY2(
            qAbs(iLeft - iRight) <= 4, qPrintable(QStringLiteral("bands %1 and %2").arg(iLeft).arg(iRight)));
    }
    const int iAbove = clText.top();
    const int iBelow = 240 - 1 - clText.bottom();
    QVERIFY2(qAbs(iAbove - iBelow) <= iLineHeight / 2,
        qPrintable(QStringLiteral("above %1, below %2").arg(iAbove).arg(iBelow)));
}

void TestLiveWidget::notice_leavingShowsStoredFrameAgain()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetRecordState(true, true);
    QCOMPARE(Kd4Test::grab(clView).pixel(212, 200), WHITE);

    // Still recording, no longer at high speed: the stored frame is back, the notice gone, and
    // only the recording symbol remains on top of the picture.
    clView.slotSetRecordState(true, false);
    const QImage clShot = Kd4Test::grab(clView);
    const QRect clRec = recIconRect(424);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u == DARK; }), QRect(0, 1, 424, 238));
    QVERIFY(clRec.contains(
        probe::boundingRect(clShot.copy(0, 1, 424, 238), [](QRgb u) { return u != DARK; }).translated(0, 1)));
}

void TestLiveWidget::frame_nullKeepsPrevious()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    QSignalSpy clErrors(&clView, &ClImageView::sigError);
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetGrid(QStringLiteral("grid_div9"));

    QVERIFY(!clView.slotSetImage(QImage()));
    QCOMPARE(clErrors.count(), 1);
    const QImage clShot = Kd4Test::grab(clView);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u == DARK; }), QRect(0, 1, 424, 238));
    checkVerticals(clShot, QRect(0, 1, 424, 238), { 141, 282 }, { 80, 159 });
}

void TestLiveWidget::clearView_removesEverything()
{
    ClLiveWidget clView;
    clView.resize(424, 240);
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    clView.slotSetGrid(QStringLiteral("grid_div9"));
    clView.slotSetBattLv(80, false);
    clView.slotSetRecordState(true, true);

    clView.clearView();
    QVERIFY(probe::boundingRect(Kd4Test::grab(clView), [](QRgb u) { return u != WHITE; }).isNull());
    QVERIFY(probe::record(clView).clLines.isEmpty());

    // The grid kind is gone too: the next frame comes without grid, icons or notice.
    QVERIFY(clView.slotSetImage(darkFrame(QSize(1280, 720))));
    const QImage clShot = Kd4Test::grab(clView);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != WHITE; }), QRect(0, 1, 424, 238));
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != DARK; }), QRect(0, 0, 424, 240));
    QCOMPARE(probe::boundingRect(clShot.copy(0, 1, 424, 238), [](QRgb u) { return u != DARK; }), QRect());
}

void TestLiveWidget::busyRing_shownWhileAnimating()
{
    // Mid grey, so that both the white and the black end of the ring show.
    const QRgb uGrey = qRgb(128, 128, 128);
    QImage clFrame(500, 300, QImage::Format_RGB32);
    clFrame.fill(uGrey);
    ClLiveWidget clView;
    clView.resize(500, 300);
    QVERIFY(clView.slotSetImage(clFrame));
    const QPointF clCentre(500 - 38, 300 - 38);
    const auto isGrey = [&](QRgb u) { return u == uGrey; };
    const auto pixelAt = [&](const QImage& clShot, double dRadius, int iDeg) {
        const double dRad = qDegreesToRadians(double(iDeg));
        // Painter coordinates to the pixel that holds them.
        return clShot.pixel(int(std::floor(clCentre.x() + dRadius * std::cos(dRad))),
            int(std::floor(clCentre.y() + dRadius * std::sin(dRad))));
    };

    QVERIFY(probe::boundingRect(Kd4Test::grab(clView), [&](QRgb u) { return !isGrey(u); }).isNull());

    clView.slotSetVisibleIndicator(true);
    const QImage clShot = Kd4Test::grab(clView);
    // A ring 26 px across (13 px radius about the centre), pen included at most 30, and nothing else.
    const QRect clDrawn = probe::boundingRect(clShot, [&](QRgb u) { return !isGrey(u); });
    QVERIFY(!clDrawn.isNull());
    QVERIFY2(
        clDrawn.width() >= 26 && clDrawn.width() <= 30 && clDrawn.height() >= 26 && clDrawn.height() <= 30,
        qPrintable(QStringLiteral("%1 x %2").arg(clDrawn.width()).arg(clDrawn.height())));
    QVERIFY(qAbs(clDrawn.x() + clDrawn.width() / 2.0 - clCentre.x()) <= 1.0);
    QVERIFY(qAbs(clDrawn.y() + clDrawn.height() / 2.0 - clCentre.y()) <= 1.0);
    // On the circle it is drawn, inside and outside it the picture shows through (no fill).
    int iOnRing = 0;
    for (int iDeg = 0; iDeg < 360; iDeg += 10) {
        iOnRing += isGrey(pixelAt(clShot, 13.0, iDeg)) ? 0 : 1;
        QVERIFY(isGrey(pixelAt(clShot, 7.0, iDeg)));
        QVERIFY(isGrey(pixelAt(clShot, 19.0, iDeg)));
    }
    QVERIFY2(iOnRing >= 34, qPrintable(QString::number(iOnRing)));
    QCOMPARE(clShot.pixel(clCentre.toPoint()), uGrey);
    // Its colours run from white to black.
    QVERIFY(!probe::boundingRect(clShot, [](QRgb u) { return probe::gray(u) > 200; }).isNull());
    QVERIFY(!probe::boundingRect(clShot, [](QRgb u) { return probe::gray(u) < 60; }).isNull());

    // The gradient turns with the animation.
    const QRect clRing = ringArea(clView.size());
    QTRY_VERIFY_WITH_TIMEOUT(
        probe::maxDifference(Kd4Test::grab(clView).copy(clRing), clShot.copy(clRing)) > 40, 5000);

    clView.slotSetVisibleIndicator(false);
    QVERIFY(probe::boundingRect(Kd4Test::grab(clView), [&](QRgb u) { return !isGrey(u); }).isNull());
}

// A screen reader hears what the overlays show.
void TestLiveWidget::accessible_describesOverlays()
{
    ClLiveWidget clView;
    QAccessibleInterface* pclAccessible = QAccessible::queryAccessibleInterface(&clView);
    QVERIFY(pclAccessible);
    QCOMPARE(pclAccessible->text(QAccessible::Name), QStringLiteral("Live picture"));
    QCOMPARE(pclAccessible->text(QAccessible::Description), QString());
    const struct
    {
        qint32 lBattery;
        bool bAc, bRecording, bHighSpeed;
        const char* pDescription;
    } aSteps[] = {
        { 80, false, false, false, "Battery 80 %" },
        { 20, false, true, false, "Battery 20 %, Recording" },
        { 20, true, true, true, "Mains adapter, Recording at high speed, no live picture" },
        { 140, false, false, false, "Battery 100 %" },
    };
    for (const auto& clStep : aSteps) {
        clView.slotSetBattLv(clStep.lBattery, clStep.bAc);
        clView.slotSetRecordState(clStep.bRecording, clStep.bHighSpeed);
        QCOMPARE(pclAccessible->text(QAccessible::Description), QString::fromUtf8(clStep.pDescription));
    }
    clView.clearView();
    QCOMPARE(pclAccessible->text(QAccessible::Description), QString());
}

QTEST_MAIN(TestLiveWidget)
#include "tst_livewidget.moc"
