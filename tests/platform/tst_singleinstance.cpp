// The single-instance guard, in-process and against real copies of kd4tool: a second copy shows
// the refusal and ends with -1; after the first copy dies (even by SIGKILL) a new one starts.

#include "app/ClAppCheck.h"
#include "resources/ClResources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <signal.h>
#include <unistd.h>

namespace {

const QString INSTANCE_NAME = QStringLiteral("VexaAPPforPC");

// The lock file's record names the holder ("<uid> <pid>"); reading it takes no lock.
QByteArray lockRecord(const QString& strLockDir)
{
    QFile clFile(strLockDir + QLatin1Char('/') + INSTANCE_NAME + QStringLiteral(".lock"));
    if (!clFile.open(QIODevice::ReadOnly))
        return QByteArray();
    return clFile.readAll();
}

QString translatedRefusal(const QString& strCatalogue)
{
    QTranslator clTranslator;
    if (!clTranslator.load(strCatalogue))
        return QString();
    QCoreApplication::installTranslator(&clTranslator);
    const QString strText = QObject::tr("%1 is already running").arg(QObject::tr("KD4Tool"));
    QCoreApplication::removeTranslator(&clTranslator);
    return strText;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkInstance_succeedsAndStaysSucceeded();
    void checkInstance_lockDirMissingFails();
    void checkInstance_plantedLinkIsNotFollowed();
    void secondCopy_refusedWhileFirstRuns_data();
    void secondCopy_refusedWhileFirstRuns();
    void killedCopy_releasesTheName();
    void unusableLockDir_refusedAsUnableToInitialize();
    void otherUsersCopy_refusedAsAnotherUser();

private:
    std::unique_ptr<QTemporaryDir> pclLockDir;
    QList<QProcess*> clRunning;

    QProcessEnvironment environment(const QString& strLocale = QStringLiteral("en_US.UTF-8")) const;
    // Starts a copy and waits until it holds the name.
    QProcess* startHolder(const QStringList& clWrapper = QStringList());
    // Runs a copy to its end; returns (exit code, stderr).
    QPair<int, QString> runSecondCopy(const QProcessEnvironment& clEnv);
};

void TestSingleInstance::initTestCase()
{
    ClResources::init();
    QVERIFY2(QFile::exists(QStringLiteral(KD4TOOL_BINARY)), KD4TOOL_BINARY);
    // Copies must never reach a real camera or server.
    QVERIFY(qEnvironmentVariable("KD4TOOL_CAMERA_ADDRESS").startsWith(QLatin1String("127.")));
    QVERIFY(qEnvironmentVariable("KD4TOOL_UPDATE_URL").contains(QLatin1String("127.0.0.1")));
}

void TestSingleInstance::init()
{
    pclLockDir = std::make_unique<QTemporaryDir>();
    QVERIFY(pclLockDir->isValid());
    QFile::setPermissions(pclLockDir->path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::WriteOther
            | QFile::ExeOther | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup);
    qputenv("KD4TOOL_LOCK_DIR", QFile::encodeName(pclLockDir->path()));
}

void TestSingleInstance::cleanup()
{
    for (QProcess* pclProcess : qAsConst(clRunning)) {
        if (pclProcess->state() != QProcess::NotRunning) {
            pclProcess->kill();
            pclProcess->waitForFinished(5000);
        }
        delete pclProcess;
    }
    clRunning.clear();
    pclLockDir.reset();
}

QProcessEnvironment TestSingleInstance::environment(const QString& strLocale) const
{
    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), pclLockDir->path());
    clEnv.insert(QStringLiteral("KD4TOOL_AUTOACCEPT_DIALOGS"), QStringLiteral("1"));
    clEnv.insert(QStringLiteral("LC_ALL"), strLocale);
    clEnv.insert(QStringLiteral("LANG"), strLocale);
    return clEnv;
}

QProcess* TestSingleInstance::startHolder(const QStringList& clWrapper)
{
    auto* pclProcess = new QProcess;
    clRunning.append(pclProcess);
    pclProcess->setProcessEnvironment(environment());
    pclProcess->setProcessChannelMode(QProcess::ForwardedChannels);
    if (clWrapper.isEmpty()) {
        pclProcess->start(QStringLiteral(KD4TOOL_BINARY), QStringList());
    } else {
        pclProcess->start(clWrapper.first(), clWrapper.mid(1) + QStringList(QStringLiteral(KD4TOOL_BINARY)));
    }
    if (!pclProcess->waitForStarted(10000))
        return nullptr;
    const QByteArray clPid = QByteArray::number(pclProcess->processId());
    // The record ends with the holder's pid once it has the name.
    const auto holds = [&] { return lockRecord(pclLockDir->path()).trimmed().endsWith(' ' + clPid); };
    QElapsedTimer clTimer;
    clTimer.start();
    while (!holds() && pclProcess->state() == QProcess::Running && clTimer.elapsed() < 20000)
        QTest::qWait(50);
    return holds() ? pclProcess : nullptr;
}

QPair<int, QString> TestSingleInstance::runSecondCopy(const QProcessEnvironment& clEnv)
{
    QProcess clSecond;
    clSecond.setProcessEnvironment(clEnv);
    clSecond.start(QStringLiteral(KD4TOOL_BINARY), QStringList());
    if (!clSecond.waitForFinished(30000)) {
        clSecond.kill();
        clSecond.waitForFinished();
        return { -1000, QStringLiteral("did not end") };
    }
    return { clSecond.exitStatus() == QProcess::NormalExit ? clSecond.exitCode() : -2000,
        QString::fromUtf8(clSecond.readAllStandardError()) };
}

void TestSingleInstance::checkInstance_succeedsAndStaysSucceeded()
{
    ClAppCheck clGuard(INSTANCE_NAME);
    QCOMPARE(clGuard.checkInstance(QStringLiteral("kd4-test-a")), int(ClAppCheck::OnlyInstance));
    QCOMPARE(clGuard.checkInstance(QStringLiteral("kd4-test-a")), int(ClAppCheck::OnlyInstance));
    // Once held, the guard does not ask again, whatever the name.
    QCOMPARE(clGuard.checkInstance(QStringLiteral("kd4-test-b")), int(ClAppCheck::OnlyInstance));
    QVERIFY(lockRecord(pclLockDir->path()).isEmpty()); // "kd4-test-b" was never taken

    // A second guard for the same name in this process is refused like a second copy.
    ClAppCheck clOther(INSTANCE_NAME);
    QCOMPARE(clOther.checkInstance(QStringLiteral("kd4-test-a")), int(ClAppCheck::AlreadyRunning));
}

void TestSingleInstance::checkInstance_lockDirMissingFails()
{
    qputenv("KD4TOOL_LOCK_DIR", QFile::encodeName(pclLockDir->path() + QStringLiteral("/missing")));
    ClAppCheck clGuard(INSTANCE_NAME);
    QCOMPARE(clGuard.checkInstance(INSTANCE_NAME), int(ClAppCheck::CheckFailed));
    // Nothing is held after a failure: the next try asks the system again.
    qputenv("KD4TOOL_LOCK_DIR", QFile::encodeName(pclLockDir->path()));
    QCOMPARE(clGuard.checkInstance(QStringLiteral("kd4-test-c")), int(ClAppCheck::OnlyInstance));
}

// The lock folder is shared by all users: a link planted under the lock's name must not make the
// guard write its record into (and trim) the file the link points to.
void TestSingleInstance::checkInstance_plantedLinkIsNotFollowed()
{
    QTemporaryDir clOther;
    QVERIFY(clOther.isValid());
    const QString strVictim = clOther.filePath(QStringLiteral("victim.txt"));
    const QByteArray clContent("a file of someone else's that must stay as it is\n");
    {
        QFile clFile(strVictim);
        QVERIFY(clFile.open(QIODevice::WriteOnly));
        QCOMPARE(clFile.write(clContent), qint64(clContent.size()));
    }
    QVERIFY(QFile::link(strVictim, pclLockDir->filePath(INSTANCE_NAME + QStringLiteral(".lock"))));

    ClAppCheck clGuard(INSTANCE_NAME);
    QCOMPARE(clGuard.checkInstance(INSTANCE_NAME), int(ClAppCheck::CheckFailed));
    QFile clFile(strVictim);
    QVERIFY(clFile.open(QIODevice::ReadOnly));
    QCOMPARE(clFile.readAll(), clContent);
}

void TestSingleInstance::secondCopy_refusedWhileFirstRuns_data()
{
    QTest::addColumn<QString>("strLocale");
    QTest::addColumn<QString>("strExpected");
    QTest::newRow("English system") << "en_US.UTF-8"
                                    << "Vexa APP for PC is already running.";
    QTest::newRow("German system uses English") << "de_DE.UTF-8"
                                                << "Vexa APP for PC is already running.";
    QTest::newRow("Japanese system") << "ja_JP.UTF-8" << translatedRefusal(QStringLiteral(":/lang/ja"));
}

void TestSingleInstance::secondCopy_refusedWhileFirstRuns()
{
    QFETCH(QString, strLocale);
    QFETCH(QString, strExpected);
    QVERIFY(!strExpected.isEmpty());

    QProcess* pclFirst = startHolder();
    QVERIFY(pclFirst);

    const QPair<int, QString> clResult = runSecondCopy(environment(strLocale));
    QVERIFY2(clResult.second.contains(strExpected), qPrintable(clResult.second));
    QCOMPARE(clResult.first, 255); // exit code -1
    // The first copy is unaffected.
    QCOMPARE(pclFirst->state(), QProcess::Running);

    // This process is refused too while the first copy runs.
    ClAppCheck clGuard(INSTANCE_NAME);
    QCOMPARE(clGuard.checkInstance(INSTANCE_NAME), int(ClAppCheck::AlreadyRunning));
}

void TestSingleInstance::killedCopy_releasesTheName()
{
    QProcess* pclFirst = startHolder();
    QVERIFY(pclFirst);
    ::kill(static_cast<pid_t>(pclFirst->processId()), SIGKILL);
    QVERIFY(pclFirst->waitForFinished(10000));
    QCOMPARE(pclFirst->exitStatus(), QProcess::CrashExit);

    // A new copy takes the name the dead one held, and is itself guarded.
    QProcess* pclSecond = startHolder();
    QVERIFY(pclSecond);
    const QPair<int, QString> clResult = runSecondCopy(environment());
    QCOMPARE(clResult.first, 255);
    QVERIFY2(clResult.second.contains(QStringLiteral("is already running.")), qPrintable(clResult.second));

    pclSecond->terminate();
    QVERIFY(pclSecond->waitForFinished(10000));
    // Now the name is free for this process.
    ClAppCheck clGuard(INSTANCE_NAME);
    QCOMPARE(clGuard.checkInstance(INSTANCE_NAME), int(ClAppCheck::OnlyInstance));
    // ... and a copy started now is refused by this process's hold.
    QCOMPARE(runSecondCopy(environment()).first, 255);
}

void TestSingleInstance::unusableLockDir_refusedAsUnableToInitialize()
{
    QProcessEnvironment clEnv = environment();
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), pclLockDir->path() + QStringLiteral("/missing"));
    const QPair<int, QString> clResult = runSecondCopy(clEnv);
    QVERIFY2(clResult.second.contains(QStringLiteral("Vexa APP for PC is unable to be opened.")),
        qPrintable(clResult.second));
    QCOMPARE(clResult.first, 255);
}

void TestSingleInstance::otherUsersCopy_refusedAsAnotherUser()
{
    if (::geteuid() != 0)
        QSKIP("needs root to run the first copy as another user");
    const QString strSetpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (strSetpriv.isEmpty())
        QSKIP("setpriv is not installed");
    // The first copy runs as "nobody"; the binary must be reachable for it.
    if (::access(KD4TOOL_BINARY, X_OK) != 0)
        QSKIP("kd4tool is not executable");
    QProcess* pclFirst = startHolder({ strSetpriv, QStringLiteral("--reuid=65534"),
        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups") });
    if (!pclFirst)
        QSKIP("could not run a copy as another user here (binary not reachable for nobody?)");
    QVERIFY(lockRecord(pclLockDir->path()).startsWith("65534 "));

    const QPair<int, QString> clResult = runSecondCopy(environment());
    QVERIFY2(clResult.second.contains(QStringLiteral(
                 "Vexa APP for PC is unable to start because it is already opened by another user.")),
        qPrintable(clResult.second));
    QCOMPARE(clResult.first, 255);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
