// The real kd4tool program as a separate process against the camera simulator: it opens a
// session, reads the settings, fetches frames and listens for notifications by itself, and when
// the system asks it to end (SIGTERM at logout, SIGINT from a terminal) it closes the session with
// the camera before it exits normally. Its options: --help and --version print and end without a
// window, --debug shows the camera's messages on standard error.

#include "config/kd4_config.h"
#include "tools/camsim/CamSim.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

constexpr int WAIT_MS = 30000;

// A private home with the folders the program uses, and the environment that keeps it there and
// on loopback (the camera at strCamera, the update server nowhere).
QProcessEnvironment programEnvironment(const QTemporaryDir& clHome, const QString& strCamera)
{
    const QDir clDir(clHome.path());
    for (const char* pcName : { "config", "data", "cache", "runtime", "locks" })
        clDir.mkpath(QLatin1String(pcName));
    QFile::setPermissions(clDir.filePath(QStringLiteral("runtime")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    clEnv.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), strCamera);
    clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clDir.filePath(QStringLiteral("locks")));
    clEnv.insert(QStringLiteral("HOME"), clHome.path());
    clEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), clDir.filePath(QStringLiteral("config")));
    clEnv.insert(QStringLiteral("XDG_DATA_HOME"), clDir.filePath(QStringLiteral("data")));
    clEnv.insert(QStringLiteral("XDG_CACHE_HOME"), clDir.filePath(QStringLiteral("cache")));
    clEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), clDir.filePath(QStringLiteral("runtime")));
    clEnv.remove(QStringLiteral("QT_LOGGING_RULES"));
    return clEnv;
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void options_printAndEnd_data();
    void options_printAndEnd();
    void quitSignal_closesSessionThenExits_data();
    void quitSignal_closesSessionThenExits();
};

void TestProgram::options_printAndEnd_data()
{
    QTest::addColumn<QStringList>("clArgs");
    QTest::addColumn<bool>("bDisplay"); // false: no display at all, so no window could open
    QTest::addColumn<int>("iExitCode");
    QTest::addColumn<QString>("strOut");
    QTest::addColumn<QString>("strErr"); // a part of it

    const QString strVersion = QStringLiteral("kd4tool ") + QLatin1String(Kd4Config::VERSION_TEXT) + '\n';
    QTest::newRow("--help") << QStringList { "--help" } << false << 0 << QStringLiteral("Usage: kd4tool")
                            << QString();
    QTest::newRow("-h, among Qt's options") << QStringList { "-style", "fusion", "-h" } << false << 0
                                            << QStringLiteral("Usage: kd4tool") << QString();
    QTest::newRow("--version") << QStringList { "--version" } << false << 0 << strVersion << QString();
    QTest::newRow("unknown option") << QStringList { "-platform", "offscreen", "--bogus" } << true << 2
                                    << QString()
                                    << QStringLiteral("Unknown option 'bogus'.\n\nUsage: kd4tool");
}

void TestProgram::options_printAndEnd()
{
    QFETCH(QStringList, clArgs);
    QFETCH(bool, bDisplay);
    QFETCH(int, iExitCode);
    QFETCH(QString, strOut);
    QFETCH(QString, strErr);

    QTemporaryDir clHome;
    QVERIFY(clHome.isValid());
    QProcessEnvironment clEnv = programEnvironment(clHome, QStringLiteral("127.0.0.1:9"));
    if (!bDisplay) {
        for (const char* pcName : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" })
            clEnv.remove(QLatin1String(pcName));
    }
    QProcess clProgram;
    clProgram.setProcessEnvironment(clEnv);
    clProgram.start(QStringLiteral(KD4TOOL_BINARY), clArgs);
    QVERIFY(clProgram.waitForFinished(WAIT_MS));
    const QString strGotOut = QString::fromLocal8Bit(clProgram.readAllStandardOutput());
    const QString strGotErr = QString::fromLocal8Bit(clProgram.readAllStandardError());
    QCOMPARE(clProgram.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clProgram.exitCode(), iExitCode);
    if (strOut.endsWith(QLatin1Char('\n')))
        QCOMPARE(strGotOut, strOut);
    else
        QVERIFY2(
            strOut.isEmpty() ? strGotOut.isEmpty() : strGotOut.startsWith(strOut), qPrintable(strGotOut));
    QVERIFY2(strErr.isEmpty() ? !strGotErr.contains(QLatin1String("kd4tool")) : strGotErr.contains(strErr),
        qPrintable(strGotErr));
    // Nothing was started: no lock taken.
    QVERIFY(QDir(clHome.path() + QStringLiteral("/locks")).isEmpty());
}

void TestProgram::quitSignal_closesSessionThenExits_data()
{
    QTest::addColumn<int>("iSignal");
    QTest::addColumn<bool>("bDebug");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false;
    QTest::newRow("SIGINT, with --debug") << int(SIGINT) << true;
}

void TestProgram::quitSignal_closesSessionThenExits()
{
    QFETCH(int, iSignal);
    QFETCH(bool, bDebug);
    camsim::CamSim clSim;
    QVERIFY(clSim.start());

    QTemporaryDir clHome;
    QVERIFY(clHome.isValid());
    const QString strErrFile = clHome.filePath(QStringLiteral("stderr.txt"));

    QProcess clProgram;
    clProgram.setProcessEnvironment(programEnvironment(clHome, QString::fromStdString(clSim.address())));
    clProgram.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    clProgram.setStandardErrorFile(strErrFile);
    clProgram.start(QStringLiteral(KD4TOOL_BINARY), bDebug ? QStringList { "--debug" } : QStringList());
    QVERIFY(clProgram.waitForStarted());

    // Everything a session does, without anyone touching the window.
    QVERIFY(clSim.waitForMessage(257, 1, WAIT_MS));
    QVERIFY(clSim.waitForMessage(3, 1, WAIT_MS));
    QVERIFY(clSim.waitForMessage(259, 1, WAIT_MS));
    QVERIFY(clSim.waitForFrames(5, WAIT_MS));
    QVERIFY(clSim.waitForMessage(4097, 1, WAIT_MS));
    QCOMPARE(clSim.messageCount(258), 0);
    QCOMPARE(clProgram.state(), QProcess::Running);

    ::kill(pid_t(clProgram.processId()), iSignal);
    QVERIFY(clProgram.waitForFinished(WAIT_MS));
    QCOMPARE(clProgram.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clProgram.exitCode(), 0);
    QCOMPARE(clSim.messageCount(258), 1);
    QVERIFY(!clSim.sessionOpen());
    // The live stream was stopped before the session was closed.
    const auto clLog = clSim.messages();
    int iStop = -1;
    int iLastLiveStop = -1;
    for (int i = 0; i < int(clLog.size()); ++i) {
        if (clLog[i].msgId == 258)
            iStop = i;
        else if (clLog[i].msgId == 260 && iStop < 0)
            iLastLiveStop = i;
    }
    QVERIFY(iLastLiveStop >= 0 && iLastLiveStop < iStop);

    // --debug shows what went to the camera; without it nothing of the kind is written.
    QFile clErr(strErrFile);
    QVERIFY(clErr.open(QIODevice::ReadOnly));
    const QString strErr = QString::fromUtf8(clErr.readAll());
    if (bDebug) {
        QVERIFY2(
            strErr.contains(QRegularExpression(QStringLiteral("kd4\\.camera: sent \\{.*\"msg_id\":257"))),
            qPrintable(strErr.left(2000)));
        QVERIFY(strErr.contains(QLatin1String("kd4.camera: received 200 {")));
    } else {
        QVERIFY2(!strErr.contains(QLatin1String("kd4.")), qPrintable(strErr.left(2000)));
    }
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
