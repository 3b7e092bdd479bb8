// The update check against real update servers on 127.0.0.1: HTTP, HTTPS, a proxy, slow and
// silent servers, cancelling. Packages here are not ".msi", so nothing is installed and the test
// process keeps running; the installation itself is tested in tst_updater_install.
#include "resources/ClResources.h"
#include "tests/support/ClModalDriver.h"
#include "tests/updater/TestCertificate.h"
#include "tests/updater/TestUpdateServer.h"
#include "tests/updater/UpdaterTestSupport.h"
#include "updater/ClCommunication.h"
#include "updater/ClProgressDialog.h"
#include "updater/ClUpdate.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Kd4Test::ClModalDriver;

namespace {

const char* const DESCRIPTION_PATH = "/kd4update/update_tool.xml";
const QString LATEST = QStringLiteral("The tool has the latest version.");
const QString OBTAIN_FAILED
    = QStringLiteral("Failed to obtain update files. Check the network settings on your computer.\n");
const QString READ_FAILED
    = QStringLiteral("Failed to read update files.\n If this error continues to occur, consult your dealer.");
const QString UPDATE_FAILED = QStringLiteral("Faield to update.");

const QStringList PAGE_ARGS { QStringLiteral("-u"), QStringLiteral("kd4update/update_tool.xml") };

QByteArray payload(char cSeed, int iSize)
{
    QByteArray clData(iSize, '\0');
    for (int iIndex = 0; iIndex < iSize; ++iIndex)
        clData[iIndex] = static_cast<char>(cSeed + iIndex * 7);
    return clData;
}

// Publishes one newer package (version 1.0.6) below strFolder: its description and the file, as
// clFile serves it (its body is the data).
void publishPackage(TestUpdateServer& clServer, const QByteArray& clData, const QString& strName,
    TestUpdateServer::stResource clFile = {}, const QString& strFolder = QStringLiteral("/kd4update/"))
{
    clServer.setResource((strFolder + QStringLiteral("update_tool.xml")).toStdString(),
        UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), strName } }).toStdString());
    clFile.strBody = clData.toStdString();
    clServer.setResource((strFolder + strName).toStdString(), clFile);
}

// Everything one update check reported.
class ClRecorder
{
public:
    explicit ClRecorder(ClUpdate* pclUpdate)
        : clErrors(pclUpdate, &ClDownload::sigError)
        , clSuccesses(pclUpdate, &ClDownload::sigSuccess)
    {
    }

    QStringList texts() const
    {
        QStringList clTexts;
        for (const QList<QVariant>& clArgs : clErrors)
            clTexts.append(clArgs.first().toString());
        return clTexts;
    }
    QStringList shownTexts() const
    {
        QStringList clTexts = texts();
        clTexts.removeAll(QString());
        return clTexts;
    }
    int successCount() const { return clSuccesses.count(); }
    QList<stDataInfo> files(int iIndex = 0) const
    {
        return clSuccesses.at(iIndex).first().value<QList<stDataInfo>>();
    }

    QSignalSpy clErrors;
    QSignalSpy clSuccesses;
};

} // namespace

class TestUpdaterEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void compareVersion_data();
    void compareVersion();

    void check_nothingNewerIsTheLatestVersion_data();
    void check_nothingNewerIsTheLatestVersion();
    void check_downloadsEveryNewerEntryInOrder_data();
    void check_downloadsEveryNewerEntryInOrder();
    void check_sourceUrlWithoutSlashSplitsAtLastSlash();
    void check_serverOverrideWithoutSlash_data();
    void check_serverOverrideWithoutSlash();
    void check_digestMismatchEndsTheCheck_data();
    void check_digestMismatchEndsTheCheck();
    void check_transferErrors_data();
    void check_transferErrors();
    void check_unreadableLocalFiles_data();
    void check_unreadableLocalFiles();
    void check_redirects_data();
    void check_redirects();
    void check_sizeLimit_data();
    void check_sizeLimit();
    void check_filesTogetherWithinLimit_data();
    void check_filesTogetherWithinLimit();

    void timeout_silentServerFails_data();
    void timeout_silentServerFails();
    void timeout_lateAnswerIsNotTakenForData();
    void timeout_slowSteadyServerSucceeds();

    void ssl_trustedCertificateOnly_data();
    void ssl_trustedCertificateOnly();

    void cancel_duringTransferThenStartAgain();

    void proxy_fromNetworkFile_data();
    void proxy_fromNetworkFile();
    void proxy_switchedOffGoesDirectAgain();

private:
    std::unique_ptr<ClUpdate> makeUpdate(const QString& strServerUrl);
    bool waitForEnd(ClUpdate* pclUpdate, int iTimeoutMs = 15000);
    // Starts a check and waits for its end; false when it did not start or did not end.
    bool runCheck(ClUpdate* pclUpdate);
    // Runs one check to its end and compares its outcome: the one file delivered, or the
    // transfer failure shown and nothing delivered.
    void runCheckExpecting(ClUpdate* pclUpdate, bool bSucceeds, const QByteArray& clData);
    void writeProxyNetworkFile(
        const ClUpdate& clUpdate, const QString& strProxyXml, const QString& strSourceUrl);
    // Adds the certificate to the default configuration's CA certificates, which stand for the
    // system's trust store here; init() takes it out again.
    void trust(const TestCertificate& clCert);

    QSslConfiguration clSystemTrust;
};

void TestUpdaterEngine::initTestCase()
{
    UpdaterTest::isolate();
    ClResources::init();
    clSystemTrust = QSslConfiguration::defaultConfiguration();
}

void TestUpdaterEngine::init()
{
    UpdaterTest::clearDataFolder();
    QSslConfiguration::setDefaultConfiguration(clSystemTrust);
}

void TestUpdaterEngine::trust(const TestCertificate& clCert)
{
    const QSslCertificate clTrusted(QByteArray::fromStdString(clCert.pem()), QSsl::Pem);
    QVERIFY(!clTrusted.isNull());
    QSslConfiguration clConfig = QSslConfiguration::defaultConfiguration();
    clConfig.setCaCertificates(clConfig.caCertificates() << clTrusted);
    QSslConfiguration::setDefaultConfiguration(clConfig);
}

std::unique_ptr<ClUpdate> TestUpdaterEngine::makeUpdate(const QString& strServerUrl)
{
    qputenv("KD4TOOL_UPDATE_URL", strServerUrl.toUtf8());
    return std::make_unique<ClUpdate>();
}

void TestUpdaterEngine::runCheckExpecting(ClUpdate* pclUpdate, bool bSucceeds, const QByteArray& clData)
{
    ClRecorder clRecorder(pclUpdate);
    QVERIFY(runCheck(pclUpdate));

    if (bSucceeds) {
        QCOMPARE(clRecorder.shownTexts(), QStringList());
        QCOMPARE(clRecorder.successCount(), 1);
        QCOMPARE(clRecorder.files().size(), 1);
        QCOMPARE(clRecorder.files().first().clData, clData);
    } else {
        QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });
        QCOMPARE(clRecorder.successCount(), 0);
        QVERIFY(!pclUpdate->communication()->isRunning());
    }
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
}

bool TestUpdaterEngine::runCheck(ClUpdate* pclUpdate)
{
    return pclUpdate->requestUpdate(PAGE_ARGS) && waitForEnd(pclUpdate);
}

bool TestUpdaterEngine::waitForEnd(ClUpdate* pclUpdate, int iTimeoutMs)
{
    // Every outcome clears the busy flag and reports in the same call.
    QElapsedTimer clTimer;
    clTimer.start();
    while (pclUpdate->isBusy() && clTimer.elapsed() < iTimeoutMs)
        QTest::qWait(10);
    return !pclUpdate->isBusy();
}

void TestUpdaterEngine::compareVersion_data()
{
    QTest::addColumn<QString>("strA");
    QTest::addColumn<QString>("strB");
    QTest::addColumn<bool>("bNewer");

    QTest::newRow("next patch") << "01.00.006"
                                << "01.00.005" << true;
    QTest::newRow("same") << "01.00.005"
                          << "01.00.005" << false;
    QTest::newRow("same, other zeros") << "1.0.5"
                                       << "01.00.005" << false;
    QTest::newRow("older") << "01.00.004"
                           << "01.00.005" << false;
    QTest::newRow("one more part") << "1.0.5.1"
                                   << "01.00.005" << true;
    QTest::newRow("trailing zero part") << "1.0.0"
                                        << "1.0" << true;
    QTest::newRow("one part less") << "1.0"
                                   << "1.0.0" << false;
    QTest::newRow("numbers, not text") << "1.10"
                                       << "1.9" << true;
    QTest::newRow("major wins") << "2"
                                << "1.99.99" << true;
    QTest::newRow("text reads as 0") << "x.1"
                                     << "0.0" << true;
    QTest::newRow("empty") << ""
                           << "01.00.005" << false;
}

void TestUpdaterEngine::compareVersion()
{
    QFETCH(QString, strA);
    QFETCH(QString, strB);
    QFETCH(bool, bNewer);
    ClDownload clEngine;
    QCOMPARE(clEngine.compareVersion(strA, strB), bNewer);
}

void TestUpdaterEngine::check_nothingNewerIsTheLatestVersion_data()
{
    QTest::addColumn<QByteArray>("clDescription");

    QTest::newRow("same and older") << UpdaterTest::description(
        { { "01.00.005", UpdaterTest::md5Hex("a"), "KD4Tool.zip" },
            { "01.00.004", UpdaterTest::md5Hex("b"), "KD4Tool_old.zip", "file" } });
    QTest::newRow("empty description") << QByteArray();
    QTest::newRow("not XML") << QByteArray("<html><body>It works!</body></html");
    QTest::newRow("no entries") << QByteArray("<update><own/></update>");
    QTest::newRow("entries without digest") << UpdaterTest::description({ { "9.9.9", "", "KD4Tool.zip" } });
}

void TestUpdaterEngine::check_nothingNewerIsTheLatestVersion()
{
    QFETCH(QByteArray, clDescription);

    TestUpdateServer clServer;
    QVERIFY(clServer.isRunning());
    clServer.setResource(DESCRIPTION_PATH, clDescription.toStdString());

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    QCOMPARE(pclUpdate->communication()->inactivityLimit(), 60000);
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(pclUpdate->requestUpdate(PAGE_ARGS));
    QVERIFY(pclUpdate->isBusy());
    QVERIFY(waitForEnd(pclUpdate.get()));

    QCOMPARE(clRecorder.shownTexts(), QStringList { LATEST });
    QCOMPARE(clRecorder.successCount(), 1);
    QVERIFY(clRecorder.files().isEmpty());
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
    QCOMPARE(clServer.requests(), QStringList { QString::fromLatin1(DESCRIPTION_PATH) });
}

void TestUpdaterEngine::check_downloadsEveryNewerEntryInOrder_data()
{
    QTest::addColumn<QStringList>("clVersions");
    QTest::addColumn<QStringList>("clExpected");

    QTest::newRow("one newer") << QStringList { "01.00.006" } << QStringList { "f0.zip" };
    QTest::newRow("1.0.5.1 is newer") << QStringList { "1.0.5.1" } << QStringList { "f0.zip" };
    QTest::newRow("two newer around an older")
        << QStringList { "01.00.007", "01.00.004", "1.0.5.1" } << QStringList { "f0.zip", "f2.zip" };
}

void TestUpdaterEngine::check_downloadsEveryNewerEntryInOrder()
{
    QFETCH(QStringList, clVersions);
    QFETCH(QStringList, clExpected);

    TestUpdateServer clServer;
    QList<UpdaterTest::stEntry> clEntries;
    QMap<QString, QByteArray> clFiles;
    for (int iIndex = 0; iIndex < clVersions.size(); ++iIndex) {
        const QString strName = QStringLiteral("f%1.zip").arg(iIndex);
        const QByteArray clData = payload(static_cast<char>('a' + iIndex), 50000 + iIndex);
        clFiles.insert(strName, clData);
        clServer.setResource("/kd4update/" + strName.toStdString(), clData.toStdString());
        clEntries.append({ clVersions.at(iIndex), UpdaterTest::md5Hex(clData), strName,
            iIndex == 0 ? QStringLiteral("app") : QStringLiteral("file") });
    }
    clServer.setResource(DESCRIPTION_PATH, UpdaterTest::description(clEntries).toStdString());

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    ClRecorder clRecorder(pclUpdate.get());
    QSignalSpy clCount(pclUpdate.get(), &ClUpdate::sigTotalCountProgress);
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(clCount.count(), 1);
    QCOMPARE(clCount.first().first().toInt(), clExpected.size());
    QCOMPARE(clRecorder.successCount(), 1);
    const QList<stDataInfo> clResult = clRecorder.files();
    QCOMPARE(clResult.size(), clExpected.size());
    QStringList clRequested { QString::fromLatin1(DESCRIPTION_PATH) };
    for (int iIndex = 0; iIndex < clExpected.size(); ++iIndex) {
        QCOMPARE(clResult.at(iIndex).strFileName, clExpected.at(iIndex));
        QCOMPARE(clResult.at(iIndex).clData, clFiles.value(clExpected.at(iIndex)));
        clRequested.append(QStringLiteral("/kd4update/") + clExpected.at(iIndex));
    }
    QCOMPARE(clServer.requests(), clRequested);
    QCOMPARE(pclUpdate->progressDialog()->fileBar()->maximum(), clExpected.size());
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
}

void TestUpdaterEngine::check_sourceUrlWithoutSlashSplitsAtLastSlash()
{
    TestUpdateServer clServer;
    const QByteArray clData = payload('z', 1000);
    publishPackage(clServer, clData, QStringLiteral("pkg.zip"), {}, QStringLiteral("/toolkd4update/"));

    // The engine joins the file's source URL and the description path as they are.
    auto pclUpdate = makeUpdate(clServer.baseUrl());
    writeProxyNetworkFile(
        *pclUpdate, QStringLiteral("<use>false</use>"), clServer.baseUrl() + QStringLiteral("tool"));
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(
        clServer.requests(), (QStringList { "/toolkd4update/update_tool.xml", "/toolkd4update/pkg.zip" }));
    QCOMPARE(clRecorder.files().size(), 1);
}

void TestUpdaterEngine::check_serverOverrideWithoutSlash_data()
{
    QTest::addColumn<QString>("strFolder");
    QTest::newRow("host and port") << QString();
    QTest::newRow("a folder") << QStringLiteral("tool");
}

void TestUpdaterEngine::check_serverOverrideWithoutSlash()
{
    QFETCH(QString, strFolder);

    TestUpdateServer clServer;
    const QString strPrefix = strFolder.isEmpty() ? QString() : QLatin1Char('/') + strFolder;
    const QByteArray clData = payload('y', 1000);
    publishPackage(
        clServer, clData, QStringLiteral("pkg.zip"), {}, strPrefix + QStringLiteral("/kd4update/"));

    // "http://127.0.0.1:PORT" or "http://127.0.0.1:PORT/tool": the server's folder all the same.
    QString strUrl = clServer.baseUrl();
    strUrl.chop(1);
    strUrl += strPrefix;
    auto pclUpdate = makeUpdate(strUrl);
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(clServer.requests(),
        (QStringList { strPrefix + "/kd4update/update_tool.xml", strPrefix + "/kd4update/pkg.zip" }));
    QCOMPARE(clRecorder.files().size(), 1);
}

void TestUpdaterEngine::check_digestMismatchEndsTheCheck_data()
{
    QTest::addColumn<bool>("bUpperCaseFirst");
    QTest::addColumn<bool>("bWrongSecond");

    QTest::newRow("digest written in upper case") << true << false;
    QTest::newRow("second file differs") << false << true;
}

void TestUpdaterEngine::check_digestMismatchEndsTheCheck()
{
    QFETCH(bool, bUpperCaseFirst);
    QFETCH(bool, bWrongSecond);

    TestUpdateServer clServer;
    const QByteArray clFirst = payload('a', 4000);
    const QByteArray clSecond = payload('b', 4000);
    QString strFirstHash = UpdaterTest::md5Hex(clFirst);
    if (bUpperCaseFirst)
        strFirstHash = strFirstHash.toUpper();
    const QString strSecondHash = UpdaterTest::md5Hex(bWrongSecond ? QByteArray("other") : clSecond);
    clServer.setResource("/kd4update/a.zip", clFirst.toStdString());
    clServer.setResource("/kd4update/b.zip", clSecond.toStdString());
    clServer.setResource(DESCRIPTION_PATH,
        UpdaterTest::description(
            { { "1.0.6", strFirstHash, "a.zip" }, { "1.0.7", strSecondHash, "b.zip", "file" } })
            .toStdString());

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.texts(), QStringList { UPDATE_FAILED });
    QCOMPARE(clRecorder.successCount(), 0);
    // Nothing more is fetched, and the dialog does not wait for a Cancel.
    QCOMPARE(clServer.requests().size(), bWrongSecond ? 3 : 2);
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
    QVERIFY(pclUpdate->isStopped());
}

void TestUpdaterEngine::check_transferErrors_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::newRow("description missing (404)") << "description404";
    QTest::newRow("file missing (404)") << "file404";
    QTest::newRow("server error (500)") << "file500";
    QTest::newRow("connection refused") << "refused";
    QTest::newRow("server asks for a login") << "login";
}

void TestUpdaterEngine::check_transferErrors()
{
    QFETCH(QString, strCase);

    TestUpdateServer clServer;
    const QByteArray clData = payload('q', 3000);
    if (strCase != QLatin1String("description404"))
        clServer.setResource(DESCRIPTION_PATH,
            UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "q.zip" } }).toStdString());
    TestUpdateServer::stResource clFile;
    clFile.strBody = clData.toStdString();
    if (strCase == QLatin1String("file500"))
        clFile.iStatus = 500;
    if (strCase == QLatin1String("login"))
        clFile.iStatus = 401;
    if (strCase != QLatin1String("file404"))
        clServer.setResource("/kd4update/q.zip", clFile);

    const QString strUrl = strCase == QLatin1String("refused")
        ? QStringLiteral("http://127.0.0.1:%1/").arg(Kd4Test::ClLoopbackServer::closedPort())
        : clServer.baseUrl();
    auto pclUpdate = makeUpdate(strUrl);
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });
    QCOMPARE(clRecorder.successCount(), 0);
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
}

void TestUpdaterEngine::check_unreadableLocalFiles_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::newRow("network file not XML") << "garbage";
    QTest::newRow("network file removed") << "removed";
    QTest::newRow("network file empty") << "empty";
    QTest::newRow("unreadable local description copy") << "localcopy";
}

void TestUpdaterEngine::check_unreadableLocalFiles()
{
    QFETCH(QString, strCase);

    TestUpdateServer clServer;
    clServer.setResource(DESCRIPTION_PATH, UpdaterTest::description({}).toStdString());
    auto pclUpdate = makeUpdate(clServer.baseUrl());
    const QString strNetworkFile = pclUpdate->networkXmlPath();
    QVERIFY(QFile::exists(strNetworkFile));

    QTemporaryDir clWorkDir;
    const QString strOldCurrent = QDir::currentPath();
    if (strCase == QLatin1String("garbage"))
        QVERIFY(UpdaterTest::writeFile(strNetworkFile, "proxy=on"));
    else if (strCase == QLatin1String("removed"))
        QVERIFY(QFile::remove(strNetworkFile));
    else if (strCase == QLatin1String("empty"))
        QVERIFY(UpdaterTest::writeFile(strNetworkFile, ""));
    else {
        QVERIFY(
            UpdaterTest::writeFile(clWorkDir.filePath(QStringLiteral("update_tool.xml")), "<update><own>"));
        QVERIFY(QDir::setCurrent(clWorkDir.path()));
    }

    ClRecorder clRecorder(pclUpdate.get());
    const bool bStarted = pclUpdate->requestUpdate(PAGE_ARGS);
    QDir::setCurrent(strOldCurrent);
    QVERIFY(!bStarted);
    QVERIFY(!pclUpdate->isBusy());
    QCOMPARE(clRecorder.texts(), QStringList { READ_FAILED });
    QVERIFY(clServer.requests().isEmpty());
}

void TestUpdaterEngine::check_redirects_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::addColumn<bool>("bSucceeds");
    QTest::newRow("description moved (301)") << "moved" << true;
    QTest::newRow("file found elsewhere (302)") << "fileFound" << true;
    QTest::newRow("redirect loop") << "loop" << false;
    QTest::newRow("redirect without a target") << "noTarget" << false;
    QTest::newRow("redirect to a missing file") << "toMissing" << false;
    QTest::newRow("description answered 500") << "description500" << false;
}

void TestUpdaterEngine::check_redirects()
{
    QFETCH(QString, strCase);
    QFETCH(bool, bSucceeds);

    TestUpdateServer clServer;
    const QByteArray clData = payload('r', 5000);
    const std::string strDescription
        = UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "r.zip" } }).toStdString();
    const std::string strBase = clServer.baseUrl().toStdString();
    const auto redirect = [&](int iStatus, const std::string& strTarget) {
        TestUpdateServer::stResource clMoved;
        clMoved.iStatus = iStatus;
        // A body of its own, which must not be taken for the file.
        clMoved.strBody = "<html><body>Moved</body></html>";
        clMoved.strLocation = strTarget.empty() ? std::string() : strBase + strTarget;
        return clMoved;
    };

    clServer.setResource("/kd4update/r.zip", clData.toStdString());
    if (strCase == QLatin1String("moved")) {
        clServer.setResource(DESCRIPTION_PATH, redirect(301, "new/update_tool.xml"));
        clServer.setResource("/new/update_tool.xml", strDescription);
    } else if (strCase == QLatin1String("fileFound")) {
        clServer.setResource(DESCRIPTION_PATH, strDescription);
        clServer.setResource("/kd4update/r.zip", redirect(302, "files/r.zip"));
        clServer.setResource("/files/r.zip", clData.toStdString());
    } else if (strCase == QLatin1String("loop")) {
        clServer.setResource(DESCRIPTION_PATH, redirect(302, "a.xml"));
        clServer.setResource("/a.xml", redirect(302, "kd4update/update_tool.xml"));
    } else if (strCase == QLatin1String("noTarget")) {
        clServer.setResource(DESCRIPTION_PATH, redirect(301, std::string()));
    } else if (strCase == QLatin1String("toMissing")) {
        clServer.setResource(DESCRIPTION_PATH, redirect(301, "gone/update_tool.xml"));
    } else {
        TestUpdateServer::stResource clBroken;
        clBroken.iStatus = 500;
        clBroken.strBody = strDescription;
        clServer.setResource(DESCRIPTION_PATH, clBroken);
    }

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    runCheckExpecting(pclUpdate.get(), bSucceeds, clData);
}

void TestUpdaterEngine::check_sizeLimit_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::addColumn<bool>("bSucceeds");
    QTest::newRow("file of exactly the limit") << "atLimit" << true;
    QTest::newRow("file announced over the limit") << "announced" << false;
    QTest::newRow("file streamed without end") << "endless" << false;
    QTest::newRow("description streamed without end") << "endlessDescription" << false;
}

void TestUpdaterEngine::check_sizeLimit()
{
    QFETCH(QString, strCase);
    QFETCH(bool, bSucceeds);
    const int iLimit = 100000;

    TestUpdateServer clServer;
    const QByteArray clData = payload('m', strCase == QLatin1String("atLimit") ? iLimit : 3 * iLimit);
    TestUpdateServer::stResource clDescription;
    clDescription.strBody
        = UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "m.zip" } }).toStdString();
    clDescription.bEndless = strCase == QLatin1String("endlessDescription");
    clServer.setResource(DESCRIPTION_PATH, clDescription);
    TestUpdateServer::stResource clFile;
    clFile.strBody = clData.toStdString();
    if (strCase == QLatin1String("announced")) {
        // The length is announced, then the server falls silent: only the announcement can end it.
        clFile.uChunkSize = 1000;
        clFile.bStallAfterFirstChunk = true;
    }
    clFile.bEndless = strCase == QLatin1String("endless");
    clServer.setResource("/kd4update/m.zip", clFile);

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    QCOMPARE(pclUpdate->communication()->sizeLimit(), ClCommunication::DEFAULT_SIZE_LIMIT);
    pclUpdate->communication()->setSizeLimit(iLimit);
    runCheckExpecting(pclUpdate.get(), bSucceeds, clData);
}

void TestUpdaterEngine::check_filesTogetherWithinLimit_data()
{
    QTest::addColumn<int>("iFiles");
    QTest::addColumn<bool>("bSucceeds");
    QTest::newRow("two files fit") << 2 << true;
    QTest::newRow("the third passes the limit") << 3 << false;
}

// Every newer file is held until the check ends: together they may take no more than one transfer.
void TestUpdaterEngine::check_filesTogetherWithinLimit()
{
    QFETCH(int, iFiles);
    QFETCH(bool, bSucceeds);
    const int iLimit = 100000;

    TestUpdateServer clServer;
    QList<UpdaterTest::stEntry> clEntries;
    for (int i = 0; i < iFiles; ++i) {
        const QByteArray clData = payload(char('a' + i), iLimit * 2 / 5);
        const QString strName = QStringLiteral("f%1.zip").arg(i);
        clEntries.append({ QStringLiteral("1.0.6"), UpdaterTest::md5Hex(clData), strName });
        clServer.setResource("/kd4update/" + strName.toStdString(), clData.toStdString());
    }
    clServer.setResource(DESCRIPTION_PATH, UpdaterTest::description(clEntries).toStdString());

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    pclUpdate->communication()->setSizeLimit(iLimit);
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clRecorder.successCount(), bSucceeds ? 1 : 0);
    if (bSucceeds)
        QCOMPARE(clRecorder.files().size(), iFiles);
    QCOMPARE(clRecorder.shownTexts(), bSucceeds ? QStringList() : QStringList { OBTAIN_FAILED });
    QCOMPARE(int(clServer.requests().size()), iFiles + 1);
}

void TestUpdaterEngine::timeout_silentServerFails_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::newRow("description never answered") << "description";
    QTest::newRow("file stalls after its first bytes") << "file";
    QTest::newRow("https server silent after the handshake") << "https";
}

void TestUpdaterEngine::timeout_silentServerFails()
{
    QFETCH(QString, strCase);

    TestCertificate clCert("localhost", true, -1, 30);
    QVERIFY(clCert.isValid());
    // A certificate the system trusts: the server passes the handshake and then falls silent.
    if (strCase == QLatin1String("https"))
        trust(clCert);
    std::unique_ptr<TestUpdateServer> pclServer = strCase == QLatin1String("https")
        ? std::make_unique<TestUpdateServer>(clCert.certificate(), clCert.key())
        : std::make_unique<TestUpdateServer>();
    QVERIFY(pclServer->isRunning());

    const QByteArray clData = payload('s', 200000);
    TestUpdateServer::stResource clDescription;
    clDescription.strBody
        = UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "s.zip" } }).toStdString();
    if (strCase != QLatin1String("file"))
        clDescription.iDelayMs = 60 * 60 * 1000;
    pclServer->setResource(DESCRIPTION_PATH, clDescription);
    TestUpdateServer::stResource clFile;
    clFile.strBody = clData.toStdString();
    clFile.uChunkSize = 1000;
    clFile.bStallAfterFirstChunk = true;
    pclServer->setResource("/kd4update/s.zip", clFile);

    auto pclUpdate = makeUpdate(pclServer->baseUrl());
    pclUpdate->communication()->setInactivityLimit(400);
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });
    QCOMPARE(clRecorder.successCount(), 0);
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
    QVERIFY(!pclUpdate->communication()->isRunning());
}

void TestUpdaterEngine::timeout_lateAnswerIsNotTakenForData()
{
    TestUpdateServer clServer;
    const QByteArray clData = payload('l', 1000);
    TestUpdateServer::stResource clDescription;
    clDescription.strBody
        = UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "l.zip" } }).toStdString();
    clDescription.iDelayMs = 1200;
    clServer.setResource(DESCRIPTION_PATH, clDescription);
    clServer.setResource("/kd4update/l.zip", clData.toStdString());

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    pclUpdate->communication()->setInactivityLimit(300);
    ClRecorder clRecorder(pclUpdate.get());
    QSignalSpy clVersionsChecked(pclUpdate.get(), &ClUpdate::sigTotalCountProgress);
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });

    // The server answers after the failure was reported: that answer must change nothing.
    QTest::qWait(2000);
    QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });
    QCOMPARE(clRecorder.successCount(), 0);
    QCOMPARE(clVersionsChecked.count(), 0);
    QCOMPARE(clServer.requests(), QStringList { QString::fromLatin1(DESCRIPTION_PATH) });
    QVERIFY(!pclUpdate->progressDialog()->isVisible());
}

void TestUpdaterEngine::timeout_slowSteadyServerSucceeds()
{
    TestUpdateServer clServer;
    const QByteArray clData = payload('w', 8 * 4096);
    TestUpdateServer::stResource clFile;
    clFile.uChunkSize = 4096;
    clFile.iChunkDelayMs = 200;
    publishPackage(clServer, clData, QStringLiteral("w.zip"), clFile);

    // Altogether the file takes longer than the limit, but no pause comes near it.
    auto pclUpdate = makeUpdate(clServer.baseUrl());
    pclUpdate->communication()->setInactivityLimit(1000);
    ClRecorder clRecorder(pclUpdate.get());
    QElapsedTimer clElapsed;
    clElapsed.start();
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(clRecorder.successCount(), 1);
    QCOMPARE(clRecorder.files().first().clData, clData);
    QVERIFY(clElapsed.elapsed() > 1000);
}

void TestUpdaterEngine::ssl_trustedCertificateOnly_data()
{
    QTest::addColumn<QString>("strCommonName");
    QTest::addColumn<bool>("bIpAltName");
    QTest::addColumn<int>("iNotBeforeDays");
    QTest::addColumn<int>("iNotAfterDays");
    QTest::addColumn<bool>("bTrusted");
    QTest::addColumn<QString>("strRefusedFor"); // empty: the check succeeds

    const QString strSelfSigned = QStringLiteral("The certificate is self-signed, and untrusted");
    const QString strMismatch
        = QStringLiteral("The host name did not match any of the valid hosts for this certificate");
    QTest::newRow("self-signed") << "127.0.0.1" << true << -1 << 30 << false << strSelfSigned;
    QTest::newRow("self-signed, host name mismatch")
        << "localhost" << false << -1 << 30 << false << strMismatch;
    QTest::newRow("trusted, for 127.0.0.1") << "127.0.0.1" << true << -1 << 30 << true << QString();
    QTest::newRow("trusted, host name mismatch") << "localhost" << false << -1 << 30 << true << strMismatch;
    QTest::newRow("expired") << "127.0.0.1" << true << -30 << -1 << false << "The certificate has expired";
    QTest::newRow("not yet valid") << "127.0.0.1" << true << 2 << 30 << false
                                   << "The certificate is not yet valid";
}

void TestUpdaterEngine::ssl_trustedCertificateOnly()
{
    QFETCH(QString, strCommonName);
    QFETCH(bool, bIpAltName);
    QFETCH(int, iNotBeforeDays);
    QFETCH(int, iNotAfterDays);
    QFETCH(bool, bTrusted);
    QFETCH(QString, strRefusedFor);

    TestCertificate clCert(strCommonName.toStdString(), bIpAltName, iNotBeforeDays, iNotAfterDays);
    QVERIFY(clCert.isValid());
    if (bTrusted)
        trust(clCert);
    TestUpdateServer clServer(clCert.certificate(), clCert.key());
    QVERIFY(clServer.isRunning());
    const QByteArray clData = payload('t', 70000);
    publishPackage(clServer, clData, QStringLiteral("t.zip"));

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    ClRecorder clRecorder(pclUpdate.get());
    // The user reads only that the files could not be obtained; the certificate's problem goes to
    // the log for support.
    if (!strRefusedFor.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(strRefusedFor)));
    QVERIFY(runCheck(pclUpdate.get()));

    if (strRefusedFor.isEmpty()) {
        QCOMPARE(clRecorder.shownTexts(), QStringList());
        QCOMPARE(clRecorder.successCount(), 1);
        QCOMPARE(clRecorder.files().first().clData, clData);
    } else {
        QCOMPARE(clRecorder.texts(), QStringList { OBTAIN_FAILED });
        QCOMPARE(clRecorder.successCount(), 0);
        QVERIFY(clServer.requests().isEmpty());
    }
    // A second report of the same failure (the handshake's own error) must not show again.
    QTest::qWait(200);
    QCOMPARE(clRecorder.shownTexts().size(), strRefusedFor.isEmpty() ? 0 : 1);
}

void TestUpdaterEngine::cancel_duringTransferThenStartAgain()
{
    TestUpdateServer clServer;
    const QByteArray clData = payload('c', 100 * 2048);
    clServer.setResource(DESCRIPTION_PATH,
        UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "c.zip" } }).toStdString());
    TestUpdateServer::stResource clSlow;
    clSlow.strBody = clData.toStdString();
    clSlow.uChunkSize = 2048;
    clSlow.iChunkDelayMs = 100;
    clServer.setResource("/kd4update/c.zip", clSlow);

    auto pclUpdate = makeUpdate(clServer.baseUrl());
    ClRecorder clRecorder(pclUpdate.get());
    ClProgressDialog* pclDialog = pclUpdate->progressDialog();
    QVERIFY(pclUpdate->requestUpdate(PAGE_ARGS));
    QTRY_VERIFY_WITH_TIMEOUT(pclDialog->isVisible() && pclDialog->byteBar()->value() > 0, 10000);
    QVERIFY(pclDialog->isModal());
    QPushButton* pclCancel = pclDialog->findChild<QPushButton*>();
    QVERIFY(pclCancel);

    // Cancel, then "Cancel" in the confirmation: the download goes on.
    {
        ClModalDriver clCloser(ClModalDriver::Reject);
        clCloser.leaveOpen<ClProgressDialog>();
        QTest::mouseClick(pclCancel, Qt::LeftButton);
        QCOMPARE(clCloser.clMessages, QStringList { "Do you want to quit will not be updated?" });
    }
    const int iValue = pclDialog->byteBar()->value();
    QTRY_VERIFY_WITH_TIMEOUT(pclDialog->byteBar()->value() > iValue, 5000);
    QVERIFY(pclUpdate->isBusy());
    QVERIFY(pclDialog->isVisible());

    // Cancel and OK: the transfer stops, nothing is shown.
    {
        ClModalDriver clCloser(ClModalDriver::Accept);
        clCloser.leaveOpen<ClProgressDialog>();
        QTest::mouseClick(pclCancel, Qt::LeftButton);
        QCOMPARE(clCloser.clMessages.size(), 1);
    }
    QVERIFY(!pclUpdate->isBusy());
    QVERIFY(!pclDialog->isVisible());
    QCOMPARE(clRecorder.texts(), QStringList { QString() });
    QCOMPARE(clRecorder.successCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(clServer.abandonedAnswers(), 1, 5000);

    // The next check starts from scratch and works.
    clSlow.uChunkSize = 0;
    clServer.setResource("/kd4update/c.zip", clSlow);
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(clRecorder.successCount(), 1);
    QCOMPARE(clRecorder.files().size(), 1);
    QCOMPARE(clRecorder.files().first().clData, clData);
}

void TestUpdaterEngine::writeProxyNetworkFile(
    const ClUpdate& clUpdate, const QString& strProxyXml, const QString& strSourceUrl)
{
    QVERIFY(UpdaterTest::writeFile(clUpdate.networkXmlPath(),
        QStringLiteral("<settings>\n <proxysetting>%1</proxysetting>\n"
                       " <sourceurl>%2</sourceurl>\n <autoupdate>false</autoupdate>\n"
                       "</settings>\n")
            .arg(strProxyXml, strSourceUrl)
            .toUtf8()));
}

void TestUpdaterEngine::proxy_fromNetworkFile_data()
{
    QTest::addColumn<QString>("strProxyXml");
    QTest::addColumn<bool>("bViaProxy");
    QTest::addColumn<QString>("strLogin");

    const QString strLogin
        = QStringLiteral("<authorization><use>true</use><user>anna</user>"
                         "<password type=\"base64\">czNjcjN0OnB3</password></authorization>");
    QTest::newRow("proxy with Base64 password")
        << QStringLiteral("<use>true</use><ip>127.0.0.1</ip><port>%1</port><type>3</type>") + strLogin << true
        << "anna:s3cr3t:pw";
    QTest::newRow("use as a digit") << QStringLiteral(
        "<use>1</use><ip>127.0.0.1</ip><port>%1</port><type>3</type>")
                                    << true << QString();
    QTest::newRow("use false") << QStringLiteral(
        "<use>false</use><ip>127.0.0.1</ip><port>%1</port><type>3</type>")
                               << false << QString();
    QTest::newRow("use, then an empty port")
        << QStringLiteral("<use>true</use><ip>127.0.0.1</ip><port></port><type>3</type>") << false
        << QString();
    QTest::newRow("empty type, then use")
        << QStringLiteral("<ip>127.0.0.1</ip><port>%1</port><type></type><use>true</use>") << true
        << QString();
}

void TestUpdaterEngine::proxy_fromNetworkFile()
{
    QFETCH(QString, strProxyXml);
    QFETCH(bool, bViaProxy);
    QFETCH(QString, strLogin);

    const QByteArray clData = payload('p', 20000);
    const std::string strDescription
        = UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "p.zip" } }).toStdString();
    TestUpdateServer clOrigin;
    TestUpdateServer clProxy;
    for (TestUpdateServer* pclServer : { &clOrigin, &clProxy }) {
        pclServer->setResource(DESCRIPTION_PATH, strDescription);
        pclServer->setResource("/kd4update/p.zip", clData.toStdString());
    }
    clProxy.setRequireProxyLogin(!strLogin.isEmpty());

    auto pclUpdate = makeUpdate(clOrigin.baseUrl());
    if (strProxyXml.contains(QLatin1String("%1")))
        strProxyXml = strProxyXml.arg(clProxy.port());
    writeProxyNetworkFile(*pclUpdate, strProxyXml, clOrigin.baseUrl());
    ClRecorder clRecorder(pclUpdate.get());
    QVERIFY(runCheck(pclUpdate.get()));

    QCOMPARE(clRecorder.shownTexts(), QStringList());
    QCOMPARE(clRecorder.successCount(), 1);
    QCOMPARE(clRecorder.files().first().clData, clData);
    const QString strOrigin = clOrigin.baseUrl();
    if (bViaProxy) {
        QVERIFY(clOrigin.requests().isEmpty());
        // A proxy is asked for the whole URL.
        QStringList clTargets = clProxy.requests();
        clTargets.removeDuplicates(); // the first attempt may be turned away for the login
        QCOMPARE(clTargets,
            (QStringList { strOrigin + "kd4update/update_tool.xml", strOrigin + "kd4update/p.zip" }));
        if (!strLogin.isEmpty()) {
            QVERIFY(!clProxy.proxyLogins().isEmpty());
            QCOMPARE(clProxy.proxyLogins().first(), strLogin);
        }
    } else {
        QVERIFY(clProxy.requests().isEmpty());
        QCOMPARE(clOrigin.requests(), (QStringList { "/kd4update/update_tool.xml", "/kd4update/p.zip" }));
    }
}

void TestUpdaterEngine::proxy_switchedOffGoesDirectAgain()
{
    TestUpdateServer clOrigin;
    TestUpdateServer clProxy;
    for (TestUpdateServer* pclServer : { &clOrigin, &clProxy })
        pclServer->setResource(DESCRIPTION_PATH, UpdaterTest::description({}).toStdString());

    auto pclUpdate = makeUpdate(clOrigin.baseUrl());
    writeProxyNetworkFile(*pclUpdate,
        QStringLiteral("<use>true</use><ip>127.0.0.1</ip><port>%1</port><type>3</type>").arg(clProxy.port()),
        clOrigin.baseUrl());
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clProxy.requests().size(), 1);

    // The user switches the proxy off in the file: the next check must not use it any more.
    writeProxyNetworkFile(*pclUpdate, QStringLiteral("<use>false</use>"), clOrigin.baseUrl());
    QVERIFY(runCheck(pclUpdate.get()));
    QCOMPARE(clProxy.requests().size(), 1);
    QCOMPARE(clOrigin.requests().size(), 1);
}

QTEST_MAIN(TestUpdaterEngine)
#include "tst_updater_engine.moc"
