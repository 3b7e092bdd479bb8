// The live picture's budget per frame: decoding one camera JPEG, painting it with every overlay,
// and the frame rate and memory of the whole fetch loop against the simulator delivering frames as
// fast as loopback allows.
#include "camera/ClCommands.h"
#include "camera/ClCurlLibrary.h"
#include "camera/ClKD4Cgi.h"
#include "liveview/ClLiveWidget.h"
#include "resources/ClResources.h"
#include "session/ClJpegFrameDecoder.h"
#include "session/ClMJpegWorker.h"
#include "shell/GridKind.h"

#include "tools/camsim/CamSim.h"

#include <QtTest>

#include <sys/resource.h>

namespace {

long peakResidentKiB()
{
    rusage clUsage {};
    getrusage(RUSAGE_SELF, &clUsage);
    return clUsage.ru_maxrss;
}

QByteArray cameraFrame(int iWidth, int iHeight)
{
    QImage clImage(iWidth, iHeight, QImage::Format_RGB32);
    for (int y = 0; y < iHeight; ++y)
        for (int x = 0; x < iWidth; ++x)
            clImage.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255));
    QByteArray clJpeg;
    QBuffer clBuffer(&clJpeg);
    clBuffer.open(QIODevice::WriteOnly);
    clImage.save(&clBuffer, "JPG", 85);
    return clJpeg;
}

} // namespace

class BenchLiveView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ClResources::init();
        QVERIFY(ClCurlLibrary::load());
    }

    void decodeFrame_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("bQtReader");
        QTest::addColumn<QSize>("shown");
        // Qt's own reader, the measure the live decoder is held against.
        QTest::newRow("640x360") << QSize(640, 360) << true << QSize();
        QTest::newRow("1280x720") << QSize(1280, 720) << true << QSize();
        // The live decoder as the stream uses it, into a buffer that nobody else holds.
        QTest::newRow("decoder 1280x720") << QSize(1280, 720) << false << QSize();
        QTest::newRow("decoder 1920x1080 shown at 848x477") << QSize(1920, 1080) << false << QSize(848, 477);
    }

    void decodeFrame()
    {
        QFETCH(QSize, size);
        QFETCH(bool, bQtReader);
        QFETCH(QSize, shown);
        const QByteArray clJpeg = cameraFrame(size.width(), size.height());
        QImage clBuffer;
        QBENCHMARK
        {
            if (bQtReader) {
                QVERIFY(!QImage::fromData(clJpeg).isNull());
            } else {
                clBuffer = ClJpegFrameDecoder::decodeFrame(clJpeg, shown, &clBuffer);
                QVERIFY(!clBuffer.isNull());
            }
        }
    }

    void paintFrame_data()
    {
        QTest::addColumn<QSize>("widget");
        QTest::newRow("424x240") << QSize(424, 240);
        QTest::newRow("848x480") << QSize(848, 480);
    }

    void paintFrame()
    {
        QFETCH(QSize, widget);
        ClLiveWidget clView;
        clView.resize(widget);
        clView.slotSetImage(QImage::fromData(cameraFrame(1280, 720)));
        clView.slotSetGrid(GridKind::DIV9);
        clView.slotSetBattLv(45, false);
        clView.slotSetRecordState(true, false);
        clView.slotSetVisibleIndicator(true);
        QImage clTarget(widget, QImage::Format_ARGB32_Premultiplied);
        QBENCHMARK
        {
            clView.render(&clTarget);
        }
    }

    // Frames per second and memory of the real fetch loop; the simulator is not paced.
    void fetchLoop()
    {
        camsim::CamSim clSim;
        clSim.setFrameRate(0);
        QVERIFY(clSim.start());

        ClKD4Cgi clCgi(QString::fromStdString(clSim.address()));
        QThread clThread;
        auto* pclWorker = new ClMJpegWorker(clCgi.getAddress());
        connect(pclWorker, &AbstLiveWorker::sigCgiRequest, &clCgi, &ClKD4Cgi::slotRequest);
        connect(&clCgi, &ClKD4Cgi::sigResponse, pclWorker, &AbstLiveWorker::slotCgiResponse);
        int iFrames = 0;
        connect(pclWorker, &AbstLiveWorker::sigImage, this, [&iFrames](const QImage& clImg) {
            if (!clImg.isNull())
                ++iFrames;
        });
        pclWorker->moveToThread(&clThread);
        clThread.start();

        ZK_CMD clStart;
        clStart.insert(ZkKey::CMD, QVariant::fromValue(CMD_START_SESSION));
        clCgi.slotRequest(clStart);
        QVERIFY(clSim.waitForMessage(260));
        QMetaObject::invokeMethod(pclWorker, &AbstLiveWorker::slotStartLive, Qt::QueuedConnection);
        QVERIFY(clSim.waitForFrames(5, 5000));

        const long lBefore = peakResidentKiB();
        const int iFirst = iFrames;
        QElapsedTimer clClock;
        clClock.start();
        QTest::qWait(3000);
        const double dSeconds = clClock.elapsed() / 1000.0;
        const int iCounted = iFrames - iFirst;
        qInfo("fetch loop: %.1f frames/s (%d frames of %dx%d in %.1f s), peak RSS %ld KiB (+%ld KiB while "
              "streaming)",
            iCounted / dSeconds, iCounted, 640, 360, dSeconds, peakResidentKiB(),
            peakResidentKiB() - lBefore);
        QVERIFY(iCounted > 0);

        pclWorker->slotStopForce();
        clThread.quit();
        clThread.wait();
        delete pclWorker;
    }
};

QTEST_MAIN(BenchLiveView)
#include "bench_liveview.moc"
