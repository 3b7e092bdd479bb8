// The real kd4tool program as a separate process against the camera simulator: it opens a
// session, reads the settings, fetches frames and listens for notifications by itself, and when
// the system asks it to end (SIGTERM at logout, SIGINT from a terminal) it closes the session with
// the camera before it exits normally.

#include "tools/camsim/CamSim.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

constexpr int WAIT_MS = 30000;

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void quitSignal_closesSessionThenExits_data();
    void quitSignal_closesSessionThenExits();
};

void TestProgram::quitSignal_closesSessionThenExits_data()
{
    QTest::addColumn<int>("iSignal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestProgram::quitSignal_closesSessionThenExits()
{
    QFETCH(int, iSignal);
    camsim::CamSim clSim;
    QVERIFY(clSim.start());

    QTemporaryDir clHome;
    QVERIFY(clHome.isValid());
    const QDir clDir(clHome.path());
    for (const char* pcName : { "config", "data", "cache", "runtime", "locks" })
        QVERIFY(clDir.mkpath(QLatin1String(pcName)));
    QFile::setPermissions(clDir.filePath(QStringLiteral("runtime")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    clEnv.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), QString::fromStdString(clSim.address()));
    clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clDir.filePath(QStringLiteral("locks")));
    clEnv.insert(QStringLiteral("HOME"), clHome.path());
    clEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), clDir.filePath(QStringLiteral("config")));
    clEnv.insert(QStringLiteral("XDG_DATA_HOME"), clDir.filePath(QStringLiteral("data")));
    clEnv.insert(QStringLiteral("XDG_CACHE_HOME"), clDir.filePath(QStringLiteral("cache")));
    clEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), clDir.filePath(QStringLiteral("runtime")));

    QProcess clProgram;
    clProgram.setProcessEnvironment(clEnv);
    clProgram.setProcessChannelMode(QProcess::ForwardedChannels);
    clProgram.start(QStringLiteral(KD4TOOL_BINARY), QStringList());
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
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
