// The MJPEG live worker, run in a thread of its own as the live controller runs it, with its camera
// commands going through a real request queue to the simulated camera; and its frame decoder, on
// its own.

#include "session/ClJpegFrameDecoder.h"
#include "session/ClMJpegWorker.h"
#include "tests/support/ClLoopbackServer.h"
#include "tests/support/SimSupport.h"

#include <httplib.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Kd4Test;

namespace {

camsim::FrameFault stall(int iCount)
{
    camsim::FrameFault clFault = frameFault(camsim::FrameFault::Kind::Stall, iCount);
    clFault.stallAfterBytes = 100;
    clFault.stallMs = 4000;
    return clFault;
}

camsim::FrameFault chunked(int iCount, int iChunks, int iPauseMs)
{
    camsim::FrameFault clFault = frameFault(camsim::FrameFault::Kind::Chunked, iCount);
    clFault.chunks = iChunks;
    clFault.chunkPauseMs = iPauseMs;
    return clFault;
}

int stopLiveCount(const camsim::CamSim& clSim)
{
    return clSim.messageCount(260);
}

// A small HTTP server standing in for a camera that sends far too much for one frame.
class OversizeServer
{
public:
    // Sent at about 64 MB/s, so a worker that gives up takes a few seconds' margin over a loaded
    // machine's scheduling, while one that does not would take in all of it.
    static constexpr std::size_t BODY_BYTES = 256u * 1024u * 1024u;

    OversizeServer()
    {
        clServer.server().Get("/sized.jpg", [this](const httplib::Request&, httplib::Response& clRes) {
            ++iRequests;
            clRes.set_content_provider(BODY_BYTES, "image/jpeg",
                [this](std::size_t iOffset, std::size_t iLength, httplib::DataSink& clSink) {
                    return writeBlock(iOffset, iLength, clSink);
                });
        });
        clServer.server().Get("/chunked.jpg", [this](const httplib::Request&, httplib::Response& clRes) {
            ++iRequests;
            clRes.set_chunked_content_provider(
                "image/jpeg", [this](std::size_t iOffset, httplib::DataSink& clSink) {
                    if (iOffset >= BODY_BYTES) {
                        clSink.done();
                        return true;
                    }
                    return writeBlock(iOffset, BODY_BYTES - iOffset, clSink);
                });
        });
        clServer.start();
    }

    QString url(const char* pPath) const { return clServer.url(QLatin1String(pPath)); }

    std::atomic<std::size_t> iSent { 0 };
    std::atomic<int> iRequests { 0 };

private:
    bool writeBlock(std::size_t iOffset, std::size_t iLength, httplib::DataSink& clSink)
    {
        static const std::string clBlock(64 * 1024, '\xAB');
        const std::size_t iBytes = std::min(iLength, clBlock.size());
        (void)iOffset;
        if (!clSink.write(clBlock.data(), iBytes))
            return false;
        iSent += iBytes;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }

    ClLoopbackServer clServer;
};

// Serves one fixed body as "/frame.jpg", counting the requests.
class FixedFrameServer
{
public:
    explicit FixedFrameServer(const QByteArray& clBody)
        : strBody(clBody.toStdString())
    {
        clServer.server().Get("/frame.jpg", [this](const httplib::Request&, httplib::Response& clRes) {
            ++iRequests;
            clRes.set_content(strBody, "image/jpeg");
        });
        clServer.start();
    }

    QString url() const { return clServer.url(QStringLiteral("/frame.jpg")); }

    std::atomic<int> iRequests { 0 };

private:
    std::string strBody;
    ClLoopbackServer clServer;
};

// A small, valid JPEG whose frame header (SOF) claims iWidth x iHeight pixels.
QByteArray jpegClaiming(int iWidth, int iHeight)
{
    QImage clImage(16, 16, QImage::Format_RGB32);
    clImage.fill(Qt::darkCyan);
    QByteArray clJpeg;
    QBuffer clBuffer(&clJpeg);
    clBuffer.open(QIODevice::WriteOnly);
    if (!clImage.save(&clBuffer, "JPG"))
        return QByteArray();
    // Walk the marker segments after SOI up to the frame header: FF Cn, length, precision, height, width.
    int i = 2;
    while (i + 9 < clJpeg.size() && static_cast<uchar>(clJpeg.at(i)) == 0xFF) {
        const uchar cMarker = static_cast<uchar>(clJpeg.at(i + 1));
        if (cMarker >= 0xC0 && cMarker <= 0xC2) {
            clJpeg[i + 5] = char(iHeight >> 8);
            clJpeg[i + 6] = char(iHeight & 0xFF);
            clJpeg[i + 7] = char(iWidth >> 8);
            clJpeg[i + 8] = char(iWidth & 0xFF);
            return clJpeg;
        }
        i += 2 + ((static_cast<uchar>(clJpeg.at(i + 2)) << 8) | static_cast<uchar>(clJpeg.at(i + 3)));
    }
    return QByteArray();
}

// A frame whose left half is red and right half blue, as the camera would send it.
QByteArray twoColourJpeg(const QSize& clSize, QColor clLeft = Qt::red, QColor clRight = Qt::blue)
{
    QImage clImage(clSize, QImage::Format_RGB32);
    clImage.fill(clRight);
    QPainter(&clImage).fillRect(QRect(0, 0, clSize.width() / 2, clSize.height()), clLeft);
    QByteArray clJpeg;
    QBuffer clBuffer(&clJpeg);
    clBuffer.open(QIODevice::WriteOnly);
    clImage.save(&clBuffer, "JPG", 90);
    return clJpeg;
}

bool showsTwoColours(const QImage& clImage, QColor clLeft = Qt::red, QColor clRight = Qt::blue)
{
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40
            && qAbs(a.blue() - b.blue()) < 40;
    };
    const int iY = clImage.height() / 2;
    return near(clImage.pixelColor(clImage.width() / 4, iY), clLeft)
        && near(clImage.pixelColor(clImage.width() * 3 / 4, iY), clRight);
}

} // namespace

class TestMJpegWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frames_arriveAsImages();
    void frameStore_keepsTheBodiesOfTheLastGoodFrames();
    void slowChunkedFrame_isNotTimedOut();
    void goodFrame_resetsRetryCount();
    void thirdFailureInARow_endsStream_data();
    void thirdFailureInARow_endsStream();
    void otherNetworkError_endsStreamAtOnce();
    void stopInFlight_emitsFrameThenSendsStopLive();
    void forcedStopIdle_sendsNothing();
    void forcedStopInFlight_abortsAndSendsStopLive();
    void refusedStartLive_stillFetchesItsUrl();
    void refusedStartLive_withoutUrl_reportsBoth();
    void oversizeFrame_endsStream_data();
    void oversizeFrame_endsStream();
    void hugeClaimedSize_givesNullImages();
    void decodeFrame_atShownSize_data();
    void decodeFrame_atShownSize();
    void decodeFrame_reusesOnlyAnUnheldBuffer();
    void decodeNext_takesTheFrameBeforeLast();
    void restartAfterStop_streamsAgain();
    void escapeThenQuit_leavesNothingBehind();

private:
    void startLive();
    // Feeds the worker an answer as the queue would, in the worker's thread.
    void answerWorker(const ZK_CMD& clAnswer);
    int count(const QString& strEvent) const { return clEvents.count(strEvent); }
    QStringList errors() const;

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4Cgi> pclCgi;
    QThread clLiveThread;
    ClMJpegWorker* pclWorker = nullptr;
    QMetaObject::Connection clResponseConnection;
    // "image", "null image", "error:<text>", "finished", in the order they arrived.
    QStringList clEvents;
    QList<QImage> clImages;
};

void TestMJpegWorker::init()
{
    // The decoder's cases need neither a camera nor a worker.
    if (QByteArray(QTest::currentTestFunction()).startsWith("decode"))
        return;
    pclSim = startSim();
    QVERIFY(pclSim);
    pclCgi = std::make_unique<ClKD4Cgi>(address(*pclSim));
    QVERIFY(openSession(*pclCgi, *pclSim));
    clEvents.clear();
    clImages.clear();

    // Created here and moved to a live thread of its own, as the live controller does.
    pclWorker = new ClMJpegWorker(address(*pclSim));
    connect(pclWorker, &AbstLiveWorker::sigCgiRequest, pclCgi.get(), &ClKD4Cgi::slotRequest);
    // As the live controller does: answers reach the worker only while its thread runs.
    clResponseConnection = connect(pclCgi.get(), &ClKD4Cgi::sigResponse, this, [this](ZK_CMD clAnswer) {
        if (clLiveThread.isRunning())
            answerWorker(clAnswer);
    });
    connect(pclWorker, &AbstLiveWorker::sigImage, this, [this](QImage clImg) {
        clEvents << (clImg.isNull() ? QStringLiteral("null image") : QStringLiteral("image"));
        clImages << clImg;
    });
    connect(pclWorker, &AbstLiveWorker::sigError, this,
        [this](QString strErr) { clEvents << QStringLiteral("error:") + strErr; });
    connect(pclWorker, &AbstLiveWorker::sigLiveFinished, this,
        [this] { clEvents << QStringLiteral("finished"); });
    pclWorker->moveToThread(&clLiveThread);
    clLiveThread.start();
}

void TestMJpegWorker::cleanup()
{
    if (pclWorker)
        pclWorker->slotStopForce();
    clLiveThread.quit();
    clLiveThread.wait();
    delete pclWorker;
    pclWorker = nullptr;
    pclCgi.reset();
    pclSim.reset();
}

void TestMJpegWorker::startLive()
{
    QMetaObject::invokeMethod(pclWorker, &ClMJpegWorker::slotStartLive, Qt::QueuedConnection);
}

void TestMJpegWorker::answerWorker(const ZK_CMD& clAnswer)
{
    QMetaObject::invokeMethod(
        pclWorker, [this, clAnswer] { pclWorker->slotCgiResponse(clAnswer); }, Qt::QueuedConnection);
}

QStringList TestMJpegWorker::errors() const
{
    QStringList clErrors;
    for (const QString& strEvent : clEvents) {
        if (strEvent.startsWith(QLatin1String("error:")))
            clErrors << strEvent;
    }
    return clErrors;
}

void TestMJpegWorker::frames_arriveAsImages()
{
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 3, 10000);
    for (const QImage& clImg : qAsConst(clImages))
        QCOMPARE(clImg.size(), QSize(640, 360));
    QVERIFY(errors().isEmpty());
    QCOMPARE(messageLog(*pclSim),
        QStringList({ "260", "3", "260", "2 stream_while_record=on", "259 =none_force" }));
    QVERIFY(pclSim->frameRequests().size() >= 3);
}

// Each image leads back to the camera's bytes it was decoded from, for the last few frames that
// decoded; frames that do not decode push none of them out, as the view goes on showing the last
// good one.
void TestMJpegWorker::frameStore_keepsTheBodiesOfTheLastGoodFrames()
{
    const int iKept = ClLiveFrameStore::KEPT_FRAMES;
    const int iGood = iKept + 2;
    pclSim->addFrameFault(frameFault(camsim::FrameFault::Kind::None, iGood));
    pclSim->addFrameFault(frameFault(camsim::FrameFault::Kind::BrokenJpeg, -1));
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(count(QStringLiteral("null image")) > iKept, 10000);
    QCOMPARE(count(QStringLiteral("image")), iGood);

    const ClLiveFrameStore& clStore = pclWorker->frameStore();
    for (int i = 0; i < iGood; ++i) {
        const QImage& clImage = clImages.at(i);
        const QByteArray clBody = clStore.body(ClJpegFrameDecoder::frameSerial(clImage));
        if (i < iGood - iKept) {
            QVERIFY2(clBody.isEmpty(), qPrintable(QString::number(i)));
            continue;
        }
        QVERIFY2(isServedFrame(*pclSim, clBody), qPrintable(QString::number(i)));
        QCOMPARE(ClJpegFrameDecoder::decodeFrame(clBody, ClJpegFrameDecoder::shownSize()), clImage);
    }
}

void TestMJpegWorker::slowChunkedFrame_isNotTimedOut()
{
    // 1.2 s for the whole frame, never more than 0.4 s without data. Every later frame is noise, so
    // a first image that decodes can only be the slow one.
    pclSim->addFrameFault(chunked(1, 4, 400));
    pclSim->addFrameFault(frameFault(camsim::FrameFault::Kind::BrokenJpeg, -1));
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(!clEvents.isEmpty(), 10000);
    QCOMPARE(clEvents.first(), QStringLiteral("image"));
    const auto clFrames = pclSim->frameRequests();
    QVERIFY(clFrames.size() >= 2);
    QVERIFY(clFrames.at(1).timeMs - clFrames.at(0).timeMs >= 1150);
    QVERIFY(errors().isEmpty());
    // Undecodable frames come through as null images; they do not end the stream.
    QTRY_VERIFY(count(QStringLiteral("null image")) >= 2);
    QVERIFY(errors().isEmpty());
}

void TestMJpegWorker::goodFrame_resetsRetryCount()
{
    pclSim->addFrameFault(stall(2));
    pclSim->addFrameFault(frameFault(camsim::FrameFault::Kind::None, 1));
    pclSim->addFrameFault(stall(2));
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 2, 15000);
    QVERIFY2(errors().isEmpty(), qPrintable(errors().join(QLatin1Char(';'))));
    const auto clFrames = pclSim->frameRequests();
    QVERIFY(clFrames.size() >= 6);
    // A time-out comes one second after the last data, the retry half a second after that.
    QVERIFY(clFrames.at(1).timeMs - clFrames.at(0).timeMs >= 1400);
    QVERIFY(clFrames.at(2).timeMs - clFrames.at(1).timeMs >= 1400);
    // The good frame is followed at once by the next request.
    QVERIFY(clFrames.at(3).timeMs - clFrames.at(2).timeMs < 1000);
}

void TestMJpegWorker::thirdFailureInARow_endsStream_data()
{
    QTest::addColumn<bool>("bStall");
    QTest::addColumn<QString>("strText");
    QTest::newRow("404") << false << "Not Found";
    QTest::newRow("time-out") << true << "cancel";
}

void TestMJpegWorker::thirdFailureInARow_endsStream()
{
    QFETCH(bool, bStall);
    QFETCH(QString, strText);
    pclSim->addFrameFault(bStall ? stall(3) : frameFault(camsim::FrameFault::Kind::NotFound, 3));
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(!errors().isEmpty(), 15000);
    QCOMPARE(errors().size(), 1);
    QVERIFY2(errors().first().contains(strText, Qt::CaseInsensitive), qPrintable(errors().first()));
    QCOMPARE(clImages.size(), 0);
    QTest::qWait(1200);
    QCOMPARE(int(pclSim->frameRequests().size()), 3);
    // An error ends the stream without the stop-live command.
    QCOMPARE(stopLiveCount(*pclSim), 2);
    QCOMPARE(count(QStringLiteral("finished")), 0);
}

void TestMJpegWorker::otherNetworkError_endsStreamAtOnce()
{
    disconnect(clResponseConnection);
    startLive();
    QVERIFY(pclSim->waitForMessage(259));
    const int iPort = ClLoopbackServer::closedPort();
    QVERIFY(iPort > 0);
    ZK_CMD clAnswer
        = command(CMD_START_LIVE, QStringLiteral("http://127.0.0.1:%1/mjpeg/amba.jpg").arg(iPort));
    clAnswer.insert(ZkKey::ERROR, 0);
    answerWorker(clAnswer);
    QTRY_COMPARE(errors().size(), 1);
    QTest::qWait(800);
    QCOMPARE(clEvents, errors());
    // Only the start-live command's own two; no stop-live command after an error.
    QCOMPARE(stopLiveCount(*pclSim), 2);
}

void TestMJpegWorker::stopInFlight_emitsFrameThenSendsStopLive()
{
    pclSim->setFrameFault(chunked(-1, 3, 300));
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 1, 10000);
    // A request is on its way (each takes 0.6 s) when the stop comes.
    const int iFramesBefore = int(pclSim->frameRequests().size());
    QVERIFY(pclSim->waitFor([&] { return int(pclSim->frameRequests().size()) > iFramesBefore; }, 5000));
    QMetaObject::invokeMethod(pclWorker, &ClMJpegWorker::slotStopLive, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(count(QStringLiteral("finished")) == 1, 10000);
    // Every frame requested was delivered, the one in flight included; then the stream stopped.
    const auto clFrames = pclSim->frameRequests();
    QCOMPARE(clImages.size(), int(clFrames.size()));
    QCOMPARE(clEvents.last(), QStringLiteral("finished"));
    QCOMPARE(clEvents.at(clEvents.size() - 2), QStringLiteral("image"));
    QCOMPARE(messageLog(*pclSim).last(), QStringLiteral("260"));
    // The stop-live command went out after the last frame had been served in full.
    QVERIFY(pclSim->messages().back().timeMs >= clFrames.back().timeMs + 550);
    QTest::qWait(500);
    QCOMPARE(pclSim->frameRequests().size(), clFrames.size());
    QVERIFY(errors().isEmpty());
}

void TestMJpegWorker::forcedStopIdle_sendsNothing()
{
    pclWorker->slotStopForce();
    QTest::qWait(500);
    QVERIFY(messageLog(*pclSim).isEmpty());
    QVERIFY(clEvents.isEmpty());
}

void TestMJpegWorker::forcedStopInFlight_abortsAndSendsStopLive()
{
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 1, 10000);
    // From now on every frame hangs after its first bytes.
    pclSim->setFrameFault(stall(-1));
    QVERIFY(pclSim->waitFor(
        [this] {
            return !pclSim->frameRequests().empty() && pclSim->frameRequests().back().fault == "stall";
        },
        5000));
    QTest::qWait(100);
    const int iImages = clImages.size();
    pclWorker->slotStopForce(); // from this thread, as the live controller calls it
    QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("finished")), 1, 5000);
    QCOMPARE(stopLiveCount(*pclSim), 3);
    QCOMPARE(clImages.size(), iImages);
    QVERIFY(errors().isEmpty());
    QTest::qWait(300);
    QCOMPARE(pclSim->frameRequests().back().fault, std::string("stall"));
}

void TestMJpegWorker::refusedStartLive_stillFetchesItsUrl()
{
    // The worker's own start-live goes to the camera, whose live view then runs; the answer the
    // worker gets says it failed but still names the frame URL.
    disconnect(clResponseConnection);
    startLive();
    QVERIFY(pclSim->waitForMessage(259));
    QTRY_VERIFY(pclSim->viewFinderRunning());
    ZK_CMD clAnswer
        = command(CMD_START_LIVE, QStringLiteral("http://%1/mjpeg/amba.jpg").arg(address(*pclSim)));
    clAnswer.insert(ZkKey::ERROR, -4);
    answerWorker(clAnswer);
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 2, 10000);
    QCOMPARE(clEvents.first(), QStringLiteral("error:-4"));
    QCOMPARE(errors().size(), 1);
}

void TestMJpegWorker::refusedStartLive_withoutUrl_reportsBoth()
{
    pclSim->setFault(259, camsim::Fault::withRval(-4, 1));
    startLive();
    QTRY_COMPARE_WITH_TIMEOUT(errors().size(), 2, 10000);
    QCOMPARE(errors().first(), QStringLiteral("error:-4"));
    QTest::qWait(300);
    QCOMPARE(clEvents, errors());
    QVERIFY(pclSim->frameRequests().empty());
}

void TestMJpegWorker::oversizeFrame_endsStream_data()
{
    QTest::addColumn<QString>("strPath");
    QTest::newRow("announced length") << "/sized.jpg";
    QTest::newRow("chunked, no length") << "/chunked.jpg";
}

void TestMJpegWorker::oversizeFrame_endsStream()
{
    QFETCH(QString, strPath);
    OversizeServer clServer;
    // The worker starts as usual; its answer names the oversize source.
    disconnect(clResponseConnection);
    startLive();
    QVERIFY(pclSim->waitForMessage(259));
    ZK_CMD clAnswer = command(CMD_START_LIVE, clServer.url(strPath.toLatin1().constData()));
    clAnswer.insert(ZkKey::ERROR, 0);
    answerWorker(clAnswer);
    QTRY_COMPARE_WITH_TIMEOUT(errors().size(), 1, 20000);
    QVERIFY2(errors().first().contains(QLatin1String("16 MiB")), qPrintable(errors().first()));
    QCOMPARE(clImages.size(), 0);
    QTest::qWait(300);
    QCOMPARE(clServer.iRequests.load(), 1);
    // The reply was given up long before the server had sent it all.
    QVERIFY(clServer.iSent.load() < OversizeServer::BODY_BYTES);
}

// A frame of a few hundred bytes whose header claims 20000 x 20000 pixels is not decoded (that would
// take 1.6 GB before failing): it comes through as a null image, like any body that does not decode,
// and the stream goes on.
void TestMJpegWorker::hugeClaimedSize_givesNullImages()
{
    const QByteArray clSmall = jpegClaiming(16, 16);
    QVERIFY(!QImage::fromData(clSmall).isNull()); // the frame itself is sound
    const QByteArray clHuge = jpegClaiming(20000, 20000);
    QVERIFY(!clHuge.isEmpty());
    FixedFrameServer clServer(clHuge);

    disconnect(clResponseConnection);
    startLive();
    QVERIFY(pclSim->waitForMessage(259));
    ZK_CMD clAnswer = command(CMD_START_LIVE, clServer.url());
    clAnswer.insert(ZkKey::ERROR, 0);
    answerWorker(clAnswer);
    QTRY_VERIFY_WITH_TIMEOUT(clEvents.size() >= 3, 10000);
    QCOMPARE(clEvents.mid(0, 3), QStringList({ "null image", "null image", "null image" }));
    QVERIFY(errors().isEmpty());
}

// A frame shown at half its size or less is decoded smaller, by an exact factor, so its aspect
// ratio (and with it the fitted rectangle and the grid) stays exactly as it was.
void TestMJpegWorker::decodeFrame_atShownSize_data()
{
    QTest::addColumn<QSize>("clFrame");
    QTest::addColumn<QSize>("clShown");
    QTest::addColumn<QSize>("clDecoded");
    QTest::newRow("no view size") << QSize(1280, 720) << QSize() << QSize(1280, 720);
    QTest::newRow("shown larger than half") << QSize(1280, 720) << QSize(848, 480) << QSize(1280, 720);
    QTest::newRow("half") << QSize(1280, 720) << QSize(640, 360) << QSize(640, 360);
    QTest::newRow("1080p in the window") << QSize(1920, 1080) << QSize(848, 480) << QSize(960, 540);
    QTest::newRow("a quarter") << QSize(1920, 1080) << QSize(424, 240) << QSize(480, 270);
    QTest::newRow("an eighth") << QSize(1920, 1080) << QSize(200, 100) << QSize(240, 135);
    QTest::newRow("inexact quarter skipped") << QSize(1000, 750) << QSize(300, 200) << QSize(500, 375);
}

void TestMJpegWorker::decodeFrame_atShownSize()
{
    QFETCH(QSize, clFrame);
    QFETCH(QSize, clShown);
    QFETCH(QSize, clDecoded);
    const QImage clImage = ClJpegFrameDecoder::decodeFrame(twoColourJpeg(clFrame), clShown);
    QCOMPARE(clImage.size(), clDecoded);
    QVERIFY(showsTwoColours(clImage));
}

// The worker decodes into the buffer of the frame before last, but only once nobody (the live
// view) holds that frame any more: a frame still shown never changes under it.
void TestMJpegWorker::decodeFrame_reusesOnlyAnUnheldBuffer()
{
    const QSize clSize(640, 360);
    QImage clBuffer;
    QImage clShown = ClJpegFrameDecoder::decodeFrame(twoColourJpeg(clSize), QSize(), &clBuffer);
    clBuffer = clShown; // the worker keeps it as its buffer, the view shows it
    const uchar* pShownBits = clShown.constBits();
    const QImage clNext
        = ClJpegFrameDecoder::decodeFrame(twoColourJpeg(clSize, Qt::green, Qt::yellow), QSize(), &clBuffer);
    QVERIFY(showsTwoColours(clShown));
    QVERIFY(showsTwoColours(clNext, Qt::green, Qt::yellow));
    QVERIFY(clNext.constBits() != pShownBits);

    clBuffer = clShown;
    clShown = QImage(); // the view moved on: the buffer's memory is free for the next frame
    const QImage clReused
        = ClJpegFrameDecoder::decodeFrame(twoColourJpeg(clSize, Qt::green, Qt::yellow), QSize(), &clBuffer);
    QCOMPARE(clReused.constBits(), pShownBits);
    QVERIFY(showsTwoColours(clReused, Qt::green, Qt::yellow));
}

// A stream's frames take turns in two buffers: the next frame goes into the memory of the frame
// before last once the view has let go of it, never into a frame still shown, and the trace text
// set on the way costs no copy.
void TestMJpegWorker::decodeNext_takesTheFrameBeforeLast()
{
    const QSize clSize(640, 360);
    const QString strServed = QStringLiteral("1234");
    ClJpegFrameDecoder clDecoder;
    QImage clFirst = clDecoder.decodeNext(twoColourJpeg(clSize), strServed);
    const uchar* pFirstBits = clFirst.constBits();
    const QImage clSecond = clDecoder.decodeNext(twoColourJpeg(clSize, Qt::green, Qt::yellow), strServed);
    clFirst = QImage(); // the view moved on to the second frame
    // Memory freed just now goes to this image, not to the third frame.
    const QImage clOther(clSize, QImage::Format_RGB32);
    const QImage clThird = clDecoder.decodeNext(twoColourJpeg(clSize), strServed);
    QCOMPARE(clThird.constBits(), pFirstBits);
    QVERIFY(showsTwoColours(clThird));
    QCOMPARE(clThird.text(QStringLiteral("kd4-served-us")), strServed);
    // The second frame is still shown: the fourth gets memory of its own.
    const QImage clFourth = clDecoder.decodeNext(twoColourJpeg(clSize, Qt::blue, Qt::red), strServed);
    QVERIFY(clFourth.constBits() != clSecond.constBits());
    QVERIFY(showsTwoColours(clSecond, Qt::green, Qt::yellow));
    QVERIFY(showsTwoColours(clFourth, Qt::blue, Qt::red));
}

void TestMJpegWorker::restartAfterStop_streamsAgain()
{
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 1, 10000);
    QMetaObject::invokeMethod(pclWorker, &ClMJpegWorker::slotStopLive, Qt::QueuedConnection);
    QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("finished")), 1, 10000);
    // The live controller quits the thread after a stop and starts it again later.
    clLiveThread.quit();
    QVERIFY(clLiveThread.wait(5000));
    clLiveThread.start();
    const int iImages = clImages.size();
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= iImages + 2, 10000);
    QVERIFY(errors().isEmpty());
}

// The live controller's emergency stop: a forced stop from this thread, then the live thread is told
// to quit at once, possibly before it got to the request in flight. The next start must not be
// disturbed by anything left over from the old stream.
void TestMJpegWorker::escapeThenQuit_leavesNothingBehind()
{
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= 1, 10000);
    pclSim->setFrameFault(stall(-1));
    QVERIFY(pclSim->waitFor([this] { return pclSim->frameRequests().back().fault == "stall"; }, 5000));
    pclWorker->slotStopForce();
    clLiveThread.quit();
    QVERIFY(clLiveThread.wait(5000));
    QTest::qWait(1500); // longer than the frame time-out: a leftover timer would have fired by now

    pclSim->clearFaults();
    pclSim->clearLog();
    const QStringList clBefore = clEvents;
    const int iImages = clImages.size();
    clLiveThread.start();
    startLive();
    QTRY_VERIFY_WITH_TIMEOUT(clImages.size() >= iImages + 3, 10000);
    // Only the new start's messages and its frames: no stop-live command, error or end from before.
    QCOMPARE(messageLog(*pclSim),
        QStringList({ "260", "3", "260", "2 stream_while_record=on", "259 =none_force" }));
    for (const QString& strEvent : clEvents.mid(clBefore.size()))
        QCOMPARE(strEvent, QStringLiteral("image"));
}

QTEST_MAIN(TestMJpegWorker)
#include "tst_mjpegworker.moc"
