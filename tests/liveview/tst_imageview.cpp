#include "liveview/ClImageView.h"
#include "liveview/ClImageView2.h"
#include "tests/liveview/PaintProbe.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QRgb WHITE = qRgb(255, 255, 255);

QImage solidImage(const QSize& clSize, QRgb uColor)
{
    QImage clImage(clSize, QImage::Format_RGB32);
    clImage.fill(uColor);
    return clImage;
}

// An image whose pixels are all different, so that an unscaled copy can be told from a shifted one.
QImage patternImage(const QSize& clSize)
{
    QImage clImage(clSize, QImage::Format_RGB32);
    for (int y = 0; y < clSize.height(); ++y)
        for (int x = 0; x < clSize.width(); ++x)
            clImage.setPixel(x, y, qRgb(x * 2 % 256, y * 3 % 256, 100 + (x + y) % 100));
    return clImage;
}

std::unique_ptr<ClImageView> makeView(bool bScaled)
{
    if (bScaled)
        return std::make_unique<ClImageView2>();
    return std::make_unique<ClImageView>();
}

} // namespace

class TestImageView : public QObject
{
    Q_OBJECT

private slots:
    void imageView_drawsUnscaledAtOrigin();
    void bothViews_hideImageUntilShowFlagSet_data();
    void bothViews_hideImageUntilShowFlagSet();
    void showFlag_takesEffectAtNextRepaint();
    void bgColor_fillsWhereNoImageIs_data();
    void bgColor_fillsWhereNoImageIs();
    void bgColor_showsInsideParent_data();
    void bgColor_showsInsideParent();
    void imageView2_fitsAndCentres_data();
    void imageView2_fitsAndCentres();
    void nullImage_keepsPreviousAndEmitsError_data();
    void nullImage_keepsPreviousAndEmitsError();
    void imageFromFile();
    void clearImage_leavesBackground_data();
    void clearImage_leavesBackground();
};

void TestImageView::imageView_drawsUnscaledAtOrigin()
{
    ClImageView clView;
    clView.resize(424, 240);
    clView.slotSetShowImg(true);
    const QImage clImage = patternImage(QSize(100, 50));
    QVERIFY(clView.slotSetImage(clImage));

    const QImage clShot = Kd4Test::grab(clView);
    QCOMPARE(clShot.copy(0, 0, 100, 50), clImage);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != WHITE; }), QRect(0, 0, 100, 50));
}

void TestImageView::bothViews_hideImageUntilShowFlagSet_data()
{
    QTest::addColumn<bool>("bScaled");
    QTest::newRow("unscaled") << false;
    QTest::newRow("scaled") << true;
}

void TestImageView::bothViews_hideImageUntilShowFlagSet()
{
    QFETCH(bool, bScaled);
    auto pclView = makeView(bScaled);
    pclView->resize(200, 100);
    QVERIFY(pclView->slotSetImage(solidImage(QSize(50, 50), qRgb(200, 0, 0))));
    const auto isWhite = [](QRgb u) { return u == WHITE; };

    // Not shown after construction.
    QVERIFY(probe::boundingRect(Kd4Test::grab(*pclView), [&](QRgb u) { return !isWhite(u); }).isNull());

    pclView->slotSetShowImg(true);
    QVERIFY(!probe::boundingRect(Kd4Test::grab(*pclView), [&](QRgb u) { return !isWhite(u); }).isNull());

    pclView->slotSetShowImg(false);
    QVERIFY(probe::boundingRect(Kd4Test::grab(*pclView), [&](QRgb u) { return !isWhite(u); }).isNull());
}

void TestImageView::showFlag_takesEffectAtNextRepaint()
{
    ClImageView clView;
    clView.resize(200, 100);
    QVERIFY(Kd4Test::showExposed(&clView));
    QVERIFY(clView.slotSetImage(solidImage(QSize(50, 50), qRgb(200, 0, 0))));
    QCoreApplication::processEvents();

    probe::PaintCounter clCounter;
    clView.installEventFilter(&clCounter);
    clView.slotSetShowImg(true);
    QTest::qWait(50);
    QCOMPARE(clCounter.iPaints, 0);

    // The next image brings the repaint, and with it the picture.
    QVERIFY(clView.slotSetImage(solidImage(QSize(50, 50), qRgb(0, 200, 0))));
    QTRY_VERIFY(clCounter.iPaints > 0);
    QCOMPARE(Kd4Test::grab(clView).pixel(10, 10), qRgb(0, 200, 0));
}

void TestImageView::bgColor_fillsWhereNoImageIs_data()
{
    QTest::addColumn<bool>("bScaled");
    QTest::newRow("unscaled") << false;
    QTest::newRow("scaled") << true;
}

void TestImageView::bgColor_fillsWhereNoImageIs()
{
    QFETCH(bool, bScaled);
    auto pclView = makeView(bScaled);
    pclView->resize(200, 100);
    pclView->slotSetShowImg(true);
    QVERIFY(pclView->slotSetImage(solidImage(QSize(50, 100), qRgb(200, 0, 0))));

    QCOMPARE(Kd4Test::grab(*pclView).pixel(199, 99), WHITE);
    pclView->slotSetBgColor(QColor(0, 0, 255));
    const QImage clShot = Kd4Test::grab(*pclView);
    QCOMPARE(clShot.pixel(199, 99), qRgb(0, 0, 255));
    QCOMPARE(clShot.pixel(0, 0), bScaled ? qRgb(0, 0, 255) : qRgb(200, 0, 0));
}

void TestImageView::bgColor_showsInsideParent_data()
{
    QTest::addColumn<bool>("bScaled");
    QTest::newRow("unscaled") << false;
    QTest::newRow("scaled") << true;
}

void TestImageView::bgColor_showsInsideParent()
{
    // Placed in a window, as on the main page: the view itself must paint its colour, or the
    // window's own background shows through.
    QFETCH(bool, bScaled);
    QWidget clWindow;
    clWindow.resize(300, 200);
    QPalette clWindowPalette;
    clWindowPalette.setColor(QPalette::Window, QColor(0, 200, 0));
    clWindow.setPalette(clWindowPalette);
    auto pclView = makeView(bScaled);
    pclView->setParent(&clWindow);
    pclView->setGeometry(50, 50, 200, 100);

    const QImage clWhite = Kd4Test::grab(clWindow);
    QCOMPARE(clWhite.pixel(60, 60), WHITE);
    QCOMPARE(clWhite.pixel(10, 10), qRgb(0, 200, 0));
    pclView->slotSetBgColor(QColor(0, 0, 255));
    const QImage clBlue = Kd4Test::grab(clWindow);
    QCOMPARE(
        probe::boundingRect(clBlue, [](QRgb u) { return u == qRgb(0, 0, 255); }), QRect(50, 50, 200, 100));
}

void TestImageView::imageView2_fitsAndCentres_data()
{
    QTest::addColumn<QSize>("clWidget");
    QTest::addColumn<QSize>("clImage");
    QTest::addColumn<QRect>("clExpected");

    // 424 * 720 / 1280 = 238.5, truncated: one white row above, one below.
    QTest::newRow("16:9 frame in the smallest live view")
        << QSize(424, 240) << QSize(1280, 720) << QRect(0, 1, 424, 238);
    // 240 * 100 / 201 = 119.4 -> 119 wide, 305 px of band: 152 left, 153 right.
    QTest::newRow("portrait, odd band") << QSize(424, 240) << QSize(100, 201) << QRect(152, 0, 119, 240);
    QTest::newRow("portrait, even band") << QSize(424, 240) << QSize(120, 240) << QRect(152, 0, 120, 240);
    QTest::newRow("small image grows") << QSize(400, 300) << QSize(40, 30) << QRect(0, 0, 400, 300);
    // 300 * 100 / 200 = 150 high, 250 px of band: 125 above and below.
    QTest::newRow("wide image in a tall widget")
        << QSize(300, 400) << QSize(200, 100) << QRect(0, 125, 300, 150);
    QTest::newRow("tall image, odd band") << QSize(301, 100) << QSize(100, 100) << QRect(100, 0, 100, 100);
}

void TestImageView::imageView2_fitsAndCentres()
{
    QFETCH(QSize, clWidget);
    QFETCH(QSize, clImage);
    QFETCH(QRect, clExpected);

    ClImageView2 clView;
    clView.resize(clWidget);
    clView.slotSetShowImg(true);
    QVERIFY(clView.slotSetImage(solidImage(clImage, qRgb(30, 60, 90))));

    const QImage clShot = Kd4Test::grab(clView);
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u != WHITE; }), clExpected);
    // The whole fitted rectangle is picture, not only its outline.
    QCOMPARE(probe::boundingRect(clShot, [](QRgb u) { return u == qRgb(30, 60, 90); }), clExpected);

    // Bands: equal, or the left / top one smaller by one pixel.
    const int iLeft = clExpected.left();
    const int iRight = clWidget.width() - clExpected.right() - 1;
    const int iTop = clExpected.top();
    const int iBottom = clWidget.height() - clExpected.bottom() - 1;
    QVERIFY(iRight - iLeft == 0 || iRight - iLeft == 1);
    QVERIFY(iBottom - iTop == 0 || iBottom - iTop == 1);
}

void TestImageView::nullImage_keepsPreviousAndEmitsError_data()
{
    QTest::addColumn<bool>("bScaled");
    QTest::newRow("unscaled") << false;
    QTest::newRow("scaled") << true;
}

void TestImageView::nullImage_keepsPreviousAndEmitsError()
{
    QFETCH(bool, bScaled);
    auto pclView = makeView(bScaled);
    pclView->resize(100, 100);
    pclView->slotSetShowImg(true);
    QSignalSpy clErrors(pclView.get(), &ClImageView::sigError);

    QVERIFY(pclView->slotSetImage(solidImage(QSize(100, 100), qRgb(10, 120, 10))));
    QCOMPARE(clErrors.count(), 0);

    QVERIFY(!pclView->slotSetImage(QImage()));
    QCOMPARE(clErrors.count(), 1);
    QCOMPARE(Kd4Test::grab(*pclView).pixel(50, 50), qRgb(10, 120, 10));

    QVERIFY(!pclView->slotSetImage(QStringLiteral("/nonexistent/frame.jpg")));
    QCOMPARE(clErrors.count(), 2);
    QCOMPARE(Kd4Test::grab(*pclView).pixel(50, 50), qRgb(10, 120, 10));
}

void TestImageView::imageFromFile()
{
    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    const QString strPng = clDir.filePath(QStringLiteral("frame.png"));
    QVERIFY(solidImage(QSize(40, 20), qRgb(0, 90, 180)).save(strPng));
    // A file whose contents are no image at all, whatever its name says.
    const QString strBroken = clDir.filePath(QStringLiteral("broken.jpg"));
    {
        QFile clFile(strBroken);
        QVERIFY(clFile.open(QIODevice::WriteOnly));
        clFile.write("not a picture");
    }

    ClImageView clView;
    clView.resize(100, 100);
    clView.slotSetShowImg(true);
    QSignalSpy clErrors(&clView, &ClImageView::sigError);

    QVERIFY(clView.slotSetImage(strPng));
    QCOMPARE(probe::boundingRect(Kd4Test::grab(clView), [](QRgb u) { return u == qRgb(0, 90, 180); }),
        QRect(0, 0, 40, 20));

    QVERIFY(!clView.slotSetImage(strBroken));
    QCOMPARE(clErrors.count(), 1);
    QCOMPARE(Kd4Test::grab(clView).pixel(5, 5), qRgb(0, 90, 180));
}

void TestImageView::clearImage_leavesBackground_data()
{
    QTest::addColumn<bool>("bScaled");
    QTest::newRow("unscaled") << false;
    QTest::newRow("scaled") << true;
}

void TestImageView::clearImage_leavesBackground()
{
    QFETCH(bool, bScaled);
    auto pclView = makeView(bScaled);
    pclView->resize(100, 100);
    pclView->slotSetShowImg(true);
    QSignalSpy clErrors(pclView.get(), &ClImageView::sigError);
    QVERIFY(pclView->slotSetImage(solidImage(QSize(100, 100), qRgb(10, 120, 10))));

    pclView->slotClearImage();
    QVERIFY(probe::boundingRect(Kd4Test::grab(*pclView), [](QRgb u) { return u != WHITE; }).isNull());
    QCOMPARE(clErrors.count(), 0);
}

QTEST_MAIN(TestImageView)
#include "tst_imageview.moc"
