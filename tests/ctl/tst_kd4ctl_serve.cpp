// kd4ctl serve as a separate process against the camera simulator, with the clients people use:
// ffprobe, raw readers of the multipart stream (one of them never reading), headless chromium,
// plain requests with and without the token, and a camera that ends its session mid-stream. One
// table of scenarios; each row ends with SIGTERM and the session closed (258 last), the view
// finder stopped before it.

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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int WAIT_MS = 30000;
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

    QJsonObject status(const QByteArray& clQuery = QByteArray());

    camsim::CamSim* pclSim = nullptr;
    QProcess* pclServer = nullptr;
    QString strHost;
    quint16 iPort = 0;
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
    QTest::newRow("the camera ends the session mid-stream")
        << LOOPBACK << "reconnect" << SIGTERMED << "opening a new camera session in 1 s";
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
        };
        QVERIFY(CLIENTS.contains(strClient));
        (this->*CLIENTS.value(strClient))();
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
    pclSim->endSession();
    QTRY_COMPARE_WITH_TIMEOUT(
        status().value(QStringLiteral("state")).toString(), QStringLiteral("reconnecting"), WAIT_MS);
    const int iBefore = clViewer.parts();
    QVERIFY(QTest::qWaitFor([&] { return clViewer.parts() >= iBefore + 10; }, WAIT_MS));
    QVERIFY2(clViewer.strProblem.isEmpty() && !clViewer.bClosed, qPrintable(clViewer.strProblem));
    const QJsonObject clStatus = status();
    QCOMPARE(clStatus.value(QStringLiteral("state")).toString(), QStringLiteral("connected"));
    QVERIFY2(clStatus.value(QStringLiteral("last_error")).toString().contains(QStringLiteral("no frames")),
        qPrintable(clStatus.value(QStringLiteral("last_error")).toString()));
    QCOMPARE(pclSim->messageCount(257), 2);
}

QTEST_GUILESS_MAIN(TestKd4CtlServe)
#include "tst_kd4ctl_serve.moc"
