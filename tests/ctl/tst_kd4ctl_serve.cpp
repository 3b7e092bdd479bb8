// kd4ctl serve as a separate process against the camera simulator, with the clients people use:
// ffprobe, raw readers of the multipart stream (one of them never reading), headless chromium,
// plain requests with and without the token, a camera that ends its session mid-stream or while
// nobody watches, and seeded random interleavings of all that. One table of scenarios; each row
// ends with SIGTERM and the session closed (258 last), the view finder stopped before it.

#include "ctl/CtlExit.h"
#include "tools/camsim/CamSim.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <random>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int WAIT_MS = 30000;
// How long the server keeps the view finder running after the last viewer has gone.
constexpr int GRACE_MS = 3000;
const QByteArray TOKEN = "s3cret-T0ken";

QString hexSha256(const QByteArray& clData)
{
    return QString::fromLatin1(QCryptographicHash::hash(clData, QCryptographicHash::Sha256).toHex());
}

// The SHA-256 of every frame the simulator served.
QSet<QString> servedFrames(const camsim::CamSim& clSim)
{
    QSet<QString> clHashes;
    for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
        if (clFrame.status == 200)
            clHashes.insert(QString::fromStdString(clFrame.sha256));
    }
    return clHashes;
}

QStringList messageIds(const camsim::CamSim& clSim)
{
    QStringList clIds;
    for (const std::int64_t llId : clSim.msgIds())
        clIds.append(QString::number(llId));
    return clIds;
}

qint64 residentKiB(qint64 llPid)
{
    QFile clStatus(QStringLiteral("/proc/%1/status").arg(llPid));
    if (!clStatus.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression clLine(
        QStringLiteral("^VmRSS:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
    return clLine.match(QString::fromLatin1(clStatus.readAll())).captured(1).toLongLong();
}

// One HTTP answer, read until the server closes: status, head and body. Status 0 when the server
// closed without an answer, -1 when it did not close within the time.
struct stAnswer
{
    int iStatus = -1;
    QByteArray clHead;
    QByteArray clBody;
};

stAnswer request(const QString& strHost, quint16 iPort, const QByteArray& clRequest, int iTimeoutMs = WAIT_MS)
{
    stAnswer clAnswer;
    QTcpSocket clSocket;
    clSocket.connectToHost(strHost, iPort);
    if (!clSocket.waitForConnected(iTimeoutMs))
        return clAnswer;
    clSocket.write(clRequest);
    QByteArray clAll;
    QElapsedTimer clClock;
    clClock.start();
    while (clSocket.state() == QAbstractSocket::ConnectedState && clClock.elapsed() < iTimeoutMs) {
        clSocket.waitForReadyRead(200);
        clAll += clSocket.readAll();
    }
    clAll += clSocket.readAll();
    if (clSocket.state() == QAbstractSocket::ConnectedState)
        return clAnswer;
    const int iEnd = clAll.indexOf("\r\n\r\n");
    clAnswer.clHead = clAll.left(iEnd);
    clAnswer.clBody = iEnd < 0 ? QByteArray() : clAll.mid(iEnd + 4);
    clAnswer.iStatus = clAll.startsWith("HTTP/1.1 ") ? clAll.mid(9, 3).toInt() : 0;
    return clAnswer;
}

// A snapshot that is one of the camera's frames, served at clSince or later, or a 503 saying so:
// never an older frame.
bool snapshotIsNew(
    const camsim::CamSim& clSim, const stAnswer& clSnapshot, std::chrono::steady_clock::time_point clSince)
{
    if (clSnapshot.iStatus == 503)
        return clSnapshot.clBody.startsWith("no frame from the camera");
    const QString strHash = hexSha256(clSnapshot.clBody);
    for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
        if (clFrame.status == 200 && QString::fromStdString(clFrame.sha256) == strHash
            && clFrame.received >= clSince)
            return clSnapshot.iStatus == 200;
    }
    return false;
}

QByteArray get(const QByteArray& clTarget, const QByteArray& clHeaders = QByteArray())
{
    return "GET " + clTarget + " HTTP/1.1\r\nHost: kd4\r\n" + clHeaders + "\r\n";
}

// A reader of /live.mjpg as a player reads it: the response's head, then part after part, each
// taken by its Content-Length and checked to be followed by the boundary.
class ClViewer : public QObject
{
public:
    ClViewer(const QString& strHost, quint16 iPort, const QByteArray& clTarget = "/live.mjpg")
    {
        connect(&clSocket, &QTcpSocket::readyRead, this, &ClViewer::read);
        connect(&clSocket, &QTcpSocket::disconnected, this, [this] { bClosed = true; });
        connect(&clSocket, &QTcpSocket::connected, this, [this, clTarget] { clSocket.write(get(clTarget)); });
        clSocket.connectToHost(strHost, iPort);
    }

    int parts() const { return clHashes.size(); }
    QStringList clHashes; // of each part's body, in order
    QByteArray clHead;
    QString strProblem; // the first thing that was not as a stream must be
    bool bClosed = false;
    QTcpSocket clSocket;

private:
    void read()
    {
        clBuffer += clSocket.readAll();
        if (clHead.isEmpty()) {
            const int iEnd = clBuffer.indexOf("\r\n\r\n");
            if (iEnd < 0)
                return;
            clHead = clBuffer.left(iEnd);
            clBuffer.remove(0, iEnd + 4);
            const QRegularExpressionMatch clMatch = QRegularExpression(
                QStringLiteral("\r\nContent-Type: multipart/x-mixed-replace; boundary=(\\S+)"))
                                                        .match(QString::fromLatin1(clHead));
            clBoundary = "--" + clMatch.captured(1).toLatin1() + "\r\n";
            if (!clHead.startsWith("HTTP/1.1 200 ") || !clMatch.hasMatch())
                problem("the answer is no multipart stream: " + clHead);
        }
        while (strProblem.isEmpty()) {
            if (llBodyBytes < 0) {
                const int iEnd = clBuffer.indexOf("\r\n\r\n");
                if (iEnd < 0)
                    return;
                const QByteArray clPartHead = clBuffer.left(iEnd);
                clBuffer.remove(0, iEnd + 4);
                const QRegularExpressionMatch clLength
                    = QRegularExpression(QStringLiteral("\r\nContent-Length: (\\d+)(\r\n|$)"))
                          .match(QString::fromLatin1(clPartHead));
                if (!clPartHead.startsWith(clBoundary + "Content-Type: image/jpeg\r\n")
                    || !clLength.hasMatch())
                    return problem("a part's head is not as it must be: " + clPartHead);
                llBodyBytes = clLength.captured(1).toLongLong();
            }
            // The body and the next boundary line, which ends the part.
            if (clBuffer.size() < llBodyBytes + 2)
                return;
            const QByteArray clBody = clBuffer.left(int(llBodyBytes));
            if (clBuffer.mid(int(llBodyBytes), 2) != "\r\n" || !clBody.startsWith("\xff\xd8"))
                return problem("a part is no JPEG followed by CR LF");
            clHashes.append(hexSha256(clBody));
            clBuffer.remove(0, int(llBodyBytes) + 2);
            llBodyBytes = -1;
        }
    }
    void problem(const QByteArray& clWhat)
    {
        if (strProblem.isEmpty())
            strProblem = QString::fromLatin1(clWhat);
    }

    QByteArray clBuffer;
    QByteArray clBoundary;
    qint64 llBodyBytes = -1;
};

// A viewer that sends its request and then never reads a byte: a plain socket with a small
// receive buffer, beside Qt's event loop.
class ClStalledViewer
{
public:
    ClStalledViewer(const QString& strHost, quint16 iPort)
    {
        iFd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int iSmall = 4096;
        ::setsockopt(iFd, SOL_SOCKET, SO_RCVBUF, &iSmall, sizeof iSmall);
        sockaddr_in clAddress {};
        clAddress.sin_family = AF_INET;
        clAddress.sin_port = htons(iPort);
        ::inet_pton(AF_INET, strHost.toLatin1().constData(), &clAddress.sin_addr);
        const QByteArray clRequest = get("/live.mjpg");
        bConnected = ::connect(iFd, reinterpret_cast<sockaddr*>(&clAddress), sizeof clAddress) == 0
            && ::send(iFd, clRequest.constData(), size_t(clRequest.size()), 0) == clRequest.size();
    }
    ~ClStalledViewer() { close(); }
    void close()
    {
        if (iFd >= 0)
            ::close(iFd);
        iFd = -1;
    }
    bool bConnected = false;

private:
    int iFd = -1;
};

} // namespace

class TestKd4CtlServe : public QObject
{
    Q_OBJECT

private slots:
    void serve_data();
    void serve();

private:
    // One client scenario against the running server; the simulator is the camera it serves.
    void clientFfprobe();
    void clientViewers();
    void clientBrowser();
    void clientToken();
    void clientRequests();
    void clientReconnect();
    void clientInterleavings();
    void checkInvariants(const std::vector<std::unique_ptr<ClViewer>>& clViewers, const QString& strSteps);

    QJsonObject status(const QByteArray& clQuery = QByteArray());

    camsim::CamSim* pclSim = nullptr;
    QProcess* pclServer = nullptr;
    QString strHost;
    quint16 iPort = 0;
    quint32 uSeed = 0;
};

void TestKd4CtlServe::serve_data()
{
    // The server's arguments ("@HOST" the address it listens on); the client scenario (none: the
    // line is refused); the exit code; a fragment of standard error.
    QTest::addColumn<QStringList>("clArgs");
    QTest::addColumn<QString>("strClient");
    QTest::addColumn<int>("iExit");
    QTest::addColumn<QString>("strErr");
    const int SIGTERMED = CtlExit::SIGNALLED + SIGTERM;
    const QStringList LOOPBACK = { "--listen", "127.0.0.1:0" };

    QTest::newRow("ffprobe decodes the camera's frames")
        << LOOPBACK << "ffprobe" << SIGTERMED << "stopped by SIGTERM";
    QTest::newRow("three viewers, one never reading") << LOOPBACK << "viewers" << SIGTERMED << "";
    QTest::newRow("a browser shows the picture") << LOOPBACK << "browser" << SIGTERMED << "";
    QTest::newRow("GET, HEAD, snapshot, not found, not allowed, too large, too slow")
        << LOOPBACK << "requests" << SIGTERMED << "";
    QTest::newRow("the camera ends the session mid-stream, then while nobody watches")
        << LOOPBACK << "reconnect" << SIGTERMED << "opening a new camera session in 1 s";
    // KD4_RANDOM_SEED=<seed> replays the run of that seed alone.
    const QByteArray clSeed = qgetenv("KD4_RANDOM_SEED");
    for (const QByteArray& clOne :
        clSeed.isEmpty() ? QList<QByteArray> { "11", "12", "13" } : QList<QByteArray> { clSeed })
        QTest::newRow("interleavings, seed " + clOne)
            << LOOPBACK << QString::fromLatin1("interleavings:" + clOne) << SIGTERMED << "";
    QTest::newRow("another address with a token")
        << QStringList { "--listen", "127.0.0.2:0", "--token", QString::fromLatin1(TOKEN) } << "token"
        << SIGTERMED << "";
    QTest::newRow("another address without a token") << QStringList { "--listen",
        "127.0.0.2:0" } << "" << int(CtlExit::USAGE) << "kd4ctl: serving on 127.0.0.2 needs --token T";
}

void TestKd4CtlServe::serve()
{
    QFETCH(QStringList, clArgs);
    QFETCH(QString, strClient);
    QFETCH(int, iExit);
    QFETCH(QString, strErr);

    camsim::CamSim clSim;
    QVERIFY(clSim.start());
    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clDir.path());
    clEnv.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), QString::fromStdString(clSim.address()));
    clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    QProcess clServer;
    clServer.setProcessEnvironment(clEnv);
    clServer.start(QStringLiteral(KD4CTL_BINARY), QStringList { QStringLiteral("serve") } + clArgs);
    QVERIFY(clServer.waitForStarted());

    if (!strClient.isEmpty()) {
        // It says where it serves once the session is open.
        QVERIFY(QTest::qWaitFor(
            [&] { return clServer.canReadLine() || clServer.state() != QProcess::Running; }, WAIT_MS));
        const QString strLine = QString::fromUtf8(clServer.readLine());
        const QRegularExpressionMatch clUrl
            = QRegularExpression(QStringLiteral("^serving http://([0-9.]+):(\\d+)/ ")).match(strLine);
        QVERIFY2(clUrl.hasMatch(), qPrintable(strLine + QString::fromUtf8(clServer.readAllStandardError())));
        pclSim = &clSim;
        pclServer = &clServer;
        strHost = clUrl.captured(1);
        iPort = quint16(clUrl.captured(2).toUInt());
        const QMap<QString, void (TestKd4CtlServe::*)()> CLIENTS = {
            { "ffprobe", &TestKd4CtlServe::clientFfprobe },
            { "viewers", &TestKd4CtlServe::clientViewers },
            { "browser", &TestKd4CtlServe::clientBrowser },
            { "token", &TestKd4CtlServe::clientToken },
            { "requests", &TestKd4CtlServe::clientRequests },
            { "reconnect", &TestKd4CtlServe::clientReconnect },
            { "interleavings", &TestKd4CtlServe::clientInterleavings },
        };
        const QString strKind = strClient.section(QLatin1Char(':'), 0, 0);
        uSeed = strClient.section(QLatin1Char(':'), 1).toUInt();
        QVERIFY(CLIENTS.contains(strKind));
        (this->*CLIENTS.value(strKind))();
        ::kill(pid_t(clServer.processId()), SIGTERM);
    }
    QVERIFY(clServer.waitForFinished(WAIT_MS));
    const QString strStandardError = QString::fromUtf8(clServer.readAllStandardError());
    QVERIFY2(clServer.exitStatus() == QProcess::NormalExit && clServer.exitCode() == iExit,
        qPrintable(QStringLiteral("exit %1:\n%2").arg(clServer.exitCode()).arg(strStandardError)));
    QVERIFY2(strStandardError.contains(strErr), qPrintable(strStandardError));

    // Nothing sent for a refused line; else the session closed last, the view finder before it.
    const QStringList clIds = messageIds(clSim);
    if (strClient.isEmpty()) {
        QCOMPARE(clIds, QStringList());
        return;
    }
    QCOMPARE(clIds.value(0), QStringLiteral("257"));
    QCOMPARE(clIds.constLast(), QStringLiteral("258"));
    QVERIFY2(clIds.lastIndexOf(QStringLiteral("259")) < clIds.lastIndexOf(QStringLiteral("260")),
        qPrintable(clIds.join(QLatin1Char(' '))));
    QVERIFY(!clSim.sessionOpen());
}

QJsonObject TestKd4CtlServe::status(const QByteArray& clQuery)
{
    return QJsonDocument::fromJson(request(strHost, iPort, get("/status.json" + clQuery)).clBody).object();
}

void TestKd4CtlServe::clientFfprobe()
{
    const QString strUrl = QStringLiteral("http://%1:%2/live.mjpg").arg(strHost).arg(iPort);
    QProcess clProbe;
    clProbe.start(QStringLiteral("ffprobe"),
        { "-v", "error", "-f", "mpjpeg", "-count_frames", "-read_intervals", "%+#30", "-select_streams",
            "v:0", "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", strUrl });
    QVERIFY2(clProbe.waitForFinished(WAIT_MS * 2), "ffprobe did not end");
    const QByteArray clErrors = clProbe.readAllStandardError();
    QVERIFY2(clProbe.exitCode() == 0 && clErrors.isEmpty(), clErrors.constData());
    QCOMPARE(clProbe.readAllStandardOutput().trimmed(), QByteArray("30"));

    // The parts are the camera's frames, byte for byte.
    ClViewer clViewer(strHost, iPort);
    QVERIFY(
        QTest::qWaitFor([&] { return clViewer.parts() >= 10 || !clViewer.strProblem.isEmpty(); }, WAIT_MS));
    QVERIFY2(clViewer.strProblem.isEmpty(), qPrintable(clViewer.strProblem));
    const QSet<QString> clServed = servedFrames(*pclSim);
    for (const QString& strHash : qAsConst(clViewer.clHashes))
        QVERIFY2(clServed.contains(strHash), qPrintable(strHash));
}

void TestKd4CtlServe::clientViewers()
{
    // Frames large enough that keeping a few too many would show in the server's memory.
    pclSim->setFrameSize(1280, 720);
    ClViewer clFirst(strHost, iPort);
    ClViewer clSecond(strHost, iPort);
    ClStalledViewer clStalled(strHost, iPort);
    QVERIFY(clStalled.bConnected);
    QVERIFY(QTest::qWaitFor([&] { return clFirst.parts() >= 15 && clSecond.parts() >= 15; }, WAIT_MS));
    // By now the stalled viewer's socket buffers are full.
    QTest::qWait(2000);
    QCOMPARE(status().value(QStringLiteral("viewers")).toInt(), 3);

    const qint64 llPid = pclServer->processId();
    const qint64 llRssBefore = residentKiB(llPid);
    const auto llServedBefore = pclSim->framesServed();
    const int iFirstBefore = clFirst.parts();
    const int iSecondBefore = clSecond.parts();
    QTest::qWait(10000);
    const double dServed = double(pclSim->framesServed() - llServedBefore);
    const qint64 llRssAfter = residentKiB(llPid);
    for (const ClViewer* pclViewer : { &clFirst, &clSecond }) {
        QVERIFY2(pclViewer->strProblem.isEmpty(), qPrintable(pclViewer->strProblem));
        const int iGot = pclViewer->parts() - (pclViewer == &clFirst ? iFirstBefore : iSecondBefore);
        QVERIFY2(iGot >= 0.9 * dServed, qPrintable(QStringLiteral("%1 of %2 frames").arg(iGot).arg(dServed)));
    }
    QVERIFY2(llRssAfter - llRssBefore < 4096,
        qPrintable(QStringLiteral("VmRSS %1 kB -> %2 kB").arg(llRssBefore).arg(llRssAfter)));

    // The view finder stops once the grace after the last viewer has passed.
    const int i260 = pclSim->messageCount(260);
    clFirst.clSocket.abort();
    clSecond.clSocket.abort();
    clStalled.close();
    QElapsedTimer clGone;
    clGone.start();
    QVERIFY(pclSim->waitForMessage(260, i260 + 1, 15000));
    QVERIFY2(clGone.elapsed() >= 2500, qPrintable(QString::number(clGone.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(status().value(QStringLiteral("viewers")).toInt(), 0, WAIT_MS);
}

void TestKd4CtlServe::clientBrowser()
{
    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    const QString strShot = clDir.filePath(QStringLiteral("shot.png"));
    QProcess clBrowser;
    clBrowser.start(QStringLiteral("chromium"),
        { "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + clDir.filePath("profile"),
            "--screenshot=" + strShot, "--window-size=640,480",
            QStringLiteral("http://%1:%2/").arg(strHost).arg(iPort) });
    QVERIFY2(clBrowser.waitForFinished(WAIT_MS * 2), "chromium did not end");
    QImage clShot(strShot);
    QVERIFY2(!clShot.isNull(), clBrowser.readAllStandardError().right(2000).constData());

    // The picture fills the top of the page (640x360): the colour bars of the simulator's frame,
    // and the many colours of a JPEG picture, not a blank area.
    const QColor BARS[7] = { QColor(191, 191, 191), QColor(191, 191, 0), QColor(0, 191, 191),
        QColor(0, 191, 0), QColor(191, 0, 191), QColor(191, 0, 0), QColor(0, 0, 191) };
    int iBars = 0;
    for (int i = 0; i < 7; ++i) {
        const QColor clPixel = clShot.pixelColor(640 * (2 * i + 1) / 14, 150);
        iBars += qAbs(clPixel.red() - BARS[i].red()) + qAbs(clPixel.green() - BARS[i].green())
                + qAbs(clPixel.blue() - BARS[i].blue())
            < 60;
    }
    QSet<QRgb> clColours;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 640; ++x)
            clColours.insert(clShot.pixel(x, y));
    }
    QVERIFY2(iBars >= 5 && clColours.size() >= 100,
        qPrintable(QStringLiteral("%1 bars, %2 colours").arg(iBars).arg(clColours.size())));
}

void TestKd4CtlServe::clientToken()
{
    // Each request: the target, its headers, the status expected.
    const QList<std::tuple<QByteArray, QByteArray, int>> REQUESTS = {
        { "/status.json", "", 401 },
        { "/live.mjpg", "", 401 },
        { "/status.json?token=s3cret-T0keN", "", 401 },
        { "/status.json", "Authorization: Bearer s3cret-T0ke\r\n", 401 },
        { "/status.json?token=" + TOKEN, "", 200 },
        { "/status.json", "Authorization: Bearer " + TOKEN + "\r\n", 200 },
        { "/", "X-KD4-Token: " + TOKEN + "\r\n", 200 },
    };
    for (const auto& clRequest : REQUESTS) {
        const stAnswer clAnswer
            = request(strHost, iPort, get(std::get<0>(clRequest), std::get<1>(clRequest)));
        QVERIFY2(clAnswer.iStatus == std::get<2>(clRequest),
            qPrintable(std::get<0>(clRequest) + ' ' + std::get<1>(clRequest) + clAnswer.clHead));
    }
    // The page carries the token along to the picture and the status.
    const QByteArray clPage = request(strHost, iPort, get("/?token=" + TOKEN)).clBody;
    QVERIFY2(clPage.contains("<img id=\"live\" src=\"live.mjpg?token=" + TOKEN + "\"")
            && clPage.contains("status.json?token=" + TOKEN),
        clPage.constData());
    ClViewer clViewer(strHost, iPort, "/live.mjpg?token=" + TOKEN);
    QVERIFY(
        QTest::qWaitFor([&] { return clViewer.parts() >= 3 || !clViewer.strProblem.isEmpty(); }, WAIT_MS));
    QVERIFY2(clViewer.strProblem.isEmpty(), qPrintable(clViewer.strProblem));
}

void TestKd4CtlServe::clientRequests()
{
    // Each request, the status expected (0: closed without an answer), and whether a body comes.
    const QByteArray HUGE_HEADER = "X-Filler: " + QByteArray(16 * 1024, 'x') + "\r\n";
    const QList<std::tuple<QByteArray, int, bool>> REQUESTS = {
        { get("/nope"), 404, true },
        { "POST /status.json HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405, true },
        { "HEAD /status.json HTTP/1.1\r\n\r\n", 200, false },
        { "HEAD /live.mjpg HTTP/1.1\r\n\r\n", 200, false },
        { "hello\r\n\r\n", 400, true },
        { get("/", HUGE_HEADER), 431, true },
        // The rest of the request never comes.
        { "GET /status.json HTTP/1.1\r\nHost: kd4\r\n", 408, true },
    };
    for (const auto& clRequest : REQUESTS) {
        const stAnswer clAnswer = request(strHost, iPort, std::get<0>(clRequest));
        QVERIFY2(
            clAnswer.iStatus == std::get<1>(clRequest) && clAnswer.clBody.isEmpty() != std::get<2>(clRequest),
            qPrintable(std::get<0>(clRequest).left(60) + " -> " + clAnswer.clHead));
    }
    QVERIFY(status().value(QStringLiteral("view_finder")) == false);

    // A snapshot with nobody watching starts the view finder for it: one of the camera's frames.
    const stAnswer clSnapshot = request(strHost, iPort, get("/snapshot.jpg"));
    QVERIFY2(clSnapshot.iStatus == 200 && clSnapshot.clHead.contains("\r\nContent-Type: image/jpeg\r\n"),
        clSnapshot.clHead.constData());
    QVERIFY(servedFrames(*pclSim).contains(hexSha256(clSnapshot.clBody)));
    // And stops it again after the grace.
    QVERIFY(pclSim->waitFor(
        [this] { return !pclSim->viewFinderRunning() && pclSim->msgIds().back() == 260; }, WAIT_MS));
}

void TestKd4CtlServe::clientReconnect()
{
    ClViewer clViewer(strHost, iPort);
    QVERIFY(QTest::qWaitFor([&] { return clViewer.parts() >= 10; }, WAIT_MS));
    const auto clEnded = std::chrono::steady_clock::now();
    pclSim->endSession();
    QTRY_COMPARE_WITH_TIMEOUT(
        status().value(QStringLiteral("state")).toString(), QStringLiteral("reconnecting"), WAIT_MS);
    // Not the last frame from before: the next one, or a word that there is none.
    QVERIFY(snapshotIsNew(*pclSim, request(strHost, iPort, get("/snapshot.jpg")), clEnded));
    const int iBefore = clViewer.parts();
    QVERIFY(QTest::qWaitFor([&] { return clViewer.parts() >= iBefore + 10; }, WAIT_MS));
    QVERIFY2(clViewer.strProblem.isEmpty() && !clViewer.bClosed, qPrintable(clViewer.strProblem));
    const QJsonObject clStatus = status();
    QCOMPARE(clStatus.value(QStringLiteral("state")).toString(), QStringLiteral("connected"));
    QVERIFY2(clStatus.value(QStringLiteral("last_error")).toString().contains(QStringLiteral("no frames")),
        qPrintable(clStatus.value(QStringLiteral("last_error")).toString()));
    QCOMPARE(pclSim->messageCount(257), 2);

    // With nobody watching, a camera that forgets the session is found out all the same.
    clViewer.clSocket.abort();
    QVERIFY(pclSim->waitFor([this] { return !pclSim->viewFinderRunning(); }, GRACE_MS + 5000));
    pclSim->endSession();
    QTRY_COMPARE_WITH_TIMEOUT(
        status().value(QStringLiteral("state")).toString(), QStringLiteral("reconnecting"), 25000);
    QTRY_COMPARE_WITH_TIMEOUT(
        status().value(QStringLiteral("state")).toString(), QStringLiteral("connected"), WAIT_MS);
    QCOMPARE(pclSim->messageCount(257), 3);
}

// Viewers come and go, snapshots are taken, and the camera ends its session (and may refuse the
// next one), answers frame requests with 404s or a stall, or refuses to start its view finder, in
// an order drawn from the seed. After every step:
//   (a) every open viewer's stream is well formed, still open, and each part one of the camera's
//       frames;
//   (b) the status counts the open viewers;
//   (c) while anyone watches, each viewer gets new frames within 35 s, and the state is connected
//       (a fault of each kind is pending at most: at most four losses in a row, each after a pause
//       twice as long as the one before, 1 + 2 + 4 + 8 s, three stalled frames, 4.5 s, the
//       commands, and room for a loaded machine);
//   (d) with nobody watching, the camera's view finder is stopped within the grace and 5 s more;
//   (e) a snapshot is one of the camera's frames, served less than 2 s before, or 503: never an
//       old frame.
void TestKd4CtlServe::clientInterleavings()
{
    constexpr int STEPS = 12;
    std::mt19937 clRandom(uSeed);
    const auto pick
        = [&clRandom](int iCount) { return std::uniform_int_distribution<int>(0, iCount - 1)(clRandom); };
    std::vector<std::unique_ptr<ClViewer>> clViewers;
    QString strSteps = QStringLiteral("seed %1:").arg(uSeed);
    for (int iStep = 0; iStep < STEPS; ++iStep) {
        const int iWhat = pick(7);
        if (iWhat <= 1 && clViewers.size() < 4) {
            clViewers.push_back(std::make_unique<ClViewer>(strHost, iPort));
            strSteps += QStringLiteral(" viewer+");
        } else if (iWhat <= 2 && !clViewers.empty()) {
            clViewers.erase(clViewers.begin() + pick(int(clViewers.size())));
            strSteps += QStringLiteral(" viewer-");
        } else if (iWhat == 3) {
            strSteps += QStringLiteral(" snapshot");
            const auto clSince = std::chrono::steady_clock::now() - std::chrono::seconds(2);
            const stAnswer clSnapshot = request(strHost, iPort, get("/snapshot.jpg"));
            QVERIFY2(snapshotIsNew(*pclSim, clSnapshot, clSince),
                qPrintable(strSteps + QStringLiteral(": ") + QString::fromLatin1(clSnapshot.clHead)));
        } else if (iWhat == 4) {
            pclSim->endSession();
            strSteps += QStringLiteral(" session-ended");
            if (pick(2) == 0) {
                pclSim->setFault(257, camsim::Fault::withRval(-4, 1));
                strSteps += QStringLiteral("+next-session-refused");
            }
        } else if (iWhat == 5) {
            camsim::FrameFault clFault;
            clFault.kind
                = pick(2) == 0 ? camsim::FrameFault::Kind::NotFound : camsim::FrameFault::Kind::Stall;
            clFault.stallMs = 1500;
            clFault.count = 1 + pick(3);
            pclSim->setFrameFault(clFault);
            strSteps += QStringLiteral(" frames-%1x%2")
                            .arg(QString::fromStdString(camsim::frameFaultName(clFault.kind)))
                            .arg(clFault.count);
        } else {
            pclSim->setFault(259, camsim::Fault::withRval(-14, 1));
            strSteps += QStringLiteral(" view-finder-refused");
        }
        checkInvariants(clViewers, strSteps);
        if (QTest::currentTestFailed()) {
            qInfo(
                "%s\nkd4ctl said:\n%s", qPrintable(strSteps), pclServer->readAllStandardError().constData());
            return;
        }
    }
}

void TestKd4CtlServe::checkInvariants(
    const std::vector<std::unique_ptr<ClViewer>>& clViewers, const QString& strSteps)
{
    const auto streamsSound = [&] {
        const QSet<QString> clServed = servedFrames(*pclSim);
        for (const auto& pclViewer : clViewers) {
            QVERIFY2(pclViewer->strProblem.isEmpty() && !pclViewer->bClosed,
                qPrintable(strSteps + QStringLiteral(": ") + pclViewer->strProblem));
            for (const QString& strHash : qAsConst(pclViewer->clHashes))
                QVERIFY2(
                    clServed.contains(strHash), qPrintable(strSteps + QStringLiteral(": a part no frame")));
        }
    };
    streamsSound();
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY2_WITH_TIMEOUT(status().value(QStringLiteral("viewers")).toInt() == int(clViewers.size()),
        qPrintable(strSteps), 5000);
    if (clViewers.empty()) {
        QTRY_VERIFY2_WITH_TIMEOUT(!pclSim->viewFinderRunning(), qPrintable(strSteps), GRACE_MS + 5000);
        return;
    }
    std::vector<int> clBefore;
    for (const auto& pclViewer : clViewers)
        clBefore.push_back(pclViewer->parts());
    QTRY_VERIFY2_WITH_TIMEOUT(
        [&] {
            for (std::size_t i = 0; i < clViewers.size(); ++i) {
                if (clViewers[i]->parts() < clBefore[i] + 2)
                    return false;
            }
            return true;
        }(),
        qPrintable(strSteps + QStringLiteral(": frames stopped")), 35000);
    QCOMPARE(status().value(QStringLiteral("state")).toString(), QStringLiteral("connected"));
    streamsSound();
}

QTEST_GUILESS_MAIN(TestKd4CtlServe)
#include "tst_kd4ctl_serve.moc"
