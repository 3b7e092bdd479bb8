// From the update page to the installer: the network settings file kept in order at start, a
// whole update against a local update server ending in the desktop's software installer (xdg-open)
// and the tool's exit, and the failures that must neither report success nor end the tool.
// The page asks before it downloads; the modal driver says yes.
#include "platform/ClPlatform.h"
#include "resources/ClResources.h"
#include "tests/support/ClModalDriver.h"
#include "tests/updater/TestUpdateServer.h"
#include "tests/updater/UpdaterTestSupport.h"
#include "updater/ClProgressDialog.h"
#include "updater/ClUpdate.h"
#include "updater/ClUpdateServer.h"
#include "updater/ClUpdateWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

using Kd4Test::ClModalDriver;

namespace {

// The Linux description, and the folder its packages are fetched from.
const std::string DESCRIPTION_PATH = "/kd4update/linux/update_tool.xml";
const std::string FOLDER = "/kd4update/linux/";
// What an English-speaking user reads (the catalogue mends the source text's spelling).
const QString UPDATE_FAILED = QStringLiteral("Failed to update.");
const QString PACKAGE = QStringLiteral("kd4tool_01.00.006_amd64.deb");
const int NOT_ENDED = 7;

// The page's question before a download, for the version found.
QString question(const QString& strVersion)
{
    return QStringLiteral("Version %1 is available (this is 01.00.005).\n"
                          "Do you want to download and install it now?")
        .arg(strVersion);
}

// What the user reads when the installer could not open the package saved at this path.
QString notOpened(const QString& strPath)
{
    return QStringLiteral("The installer could not open the downloaded package.\nIt has been saved as:\n")
        + strPath;
}

// "network.xml" after a source other than ours was put back: the proxy part as given.
QByteArray keptProxyXml(const QByteArray& clProxyPart)
{
    return "<settings>\n <proxysetting>\n" + clProxyPart
        + " </proxysetting>\n <sourceurl>http://127.0.0.1:9/</sourceurl>\n"
          " <autoupdate>false</autoupdate>\n</settings>\n";
}

QByteArray package(char cSeed, int iSize)
{
    QByteArray clData(iSize, '\0');
    for (int iIndex = 0; iIndex < iSize; ++iIndex)
        clData[iIndex] = static_cast<char>(cSeed ^ (iIndex * 13));
    return clData;
}

} // namespace

class TestUpdaterInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void networkFile_createdWithDefaultsWhenMissing();
    void networkFile_rewrittenUnlessSourceIsOurServer_data();
    void networkFile_rewrittenUnlessSourceIsOurServer();

    void install_endToEndStartsInstallerAndExits();
    void install_packageOfAnotherSystemIsNotInstalled();
    void install_failuresKeepTheToolRunning_data();
    void install_failuresKeepTheToolRunning();
    void packageName_plainFileNamesOnly_data();
    void packageName_plainFileNamesOnly();

private:
    // Clicks "Tool version upgrade" and runs the application's event loop until the tool exits,
    // or until a short while after the check has reported (then NOT_ENDED comes back).
    int runUpdateFromPage(ClUpdateWidget* pclPage);
    QString installerLog() const { return clInstallerDir.filePath(QStringLiteral("xdg-open.args")); }
    QString failingInstallerLog() const
    {
        return clFailingInstallerDir.filePath(QStringLiteral("xdg-open.args"));
    }
    void putInstallerOnPath();

    QTemporaryDir clInstallerDir;
    // An opener that finds nothing to open the package with (it ends with status 3).
    QTemporaryDir clFailingInstallerDir;
    QByteArray clOldPath;
    QTranslator clEnglish;
};

void TestUpdaterInstall::initTestCase()
{
    UpdaterTest::isolate();
    ClResources::init();
    clOldPath = qgetenv("PATH");
    QVERIFY(clInstallerDir.isValid());
    QCOMPARE(ClPlatform::updateDescriptionPath().toStdString(), DESCRIPTION_PATH.substr(1));
    QVERIFY(clEnglish.load(QStringLiteral(":/en/update")));
    QCoreApplication::installTranslator(&clEnglish);

    // The desktop's opener's stand-ins record how they were started.
    QVERIFY(clFailingInstallerDir.isValid());
    for (const auto& clScript : { qMakePair(&clInstallerDir, 0), qMakePair(&clFailingInstallerDir, 3) }) {
        const QString strScript = clScript.first->filePath(QStringLiteral("xdg-open"));
        QVERIFY(UpdaterTest::writeFile(strScript,
            QStringLiteral("#!/bin/sh\n"
                           "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"%1.tmp\"\n"
                           "mv \"%1.tmp\" \"%1\"\n"
                           "exit %2\n")
                .arg(clScript.first->filePath(QStringLiteral("xdg-open.args")))
                .arg(clScript.second)
                .toUtf8()));
        QVERIFY(QFile::setPermissions(strScript,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    }
}

void TestUpdaterInstall::init()
{
    UpdaterTest::clearDataFolder();
    QFile::remove(installerLog());
    QFile::remove(failingInstallerLog());
    putInstallerOnPath();
}

void TestUpdaterInstall::cleanup()
{
    qputenv("PATH", clOldPath);
}

void TestUpdaterInstall::putInstallerOnPath()
{
    qputenv("PATH", QFile::encodeName(clInstallerDir.path()) + ':' + clOldPath);
}

int TestUpdaterInstall::runUpdateFromPage(ClUpdateWidget* pclPage)
{
    QTimer clAfterReport;
    clAfterReport.setSingleShot(true);
    connect(&clAfterReport, &QTimer::timeout, [] { QCoreApplication::exit(NOT_ENDED); });
    QTimer clSafety;
    clSafety.setSingleShot(true);
    connect(&clSafety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    const QMetaObject::Connection clReported
        = connect(pclPage->updateController(), &ClDownload::sigError, &clAfterReport, [&clAfterReport] {
              if (!clAfterReport.isActive())
                  clAfterReport.start(500);
          });

    QTimer::singleShot(
        0, pclPage, [pclPage] { QTest::mouseClick(pclPage->upgradeButton(), Qt::LeftButton); });
    clSafety.start(30000);
    const int iResult = QCoreApplication::exec();
    disconnect(clReported);
    return iResult;
}

void TestUpdaterInstall::networkFile_createdWithDefaultsWhenMissing()
{
    qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    ClUpdate clUpdate;
    QCOMPARE(clUpdate.networkXmlPath(), ClUpdate::dataFolder() + QStringLiteral("network.xml"));
    QVERIFY(clUpdate.networkXmlPath().endsWith(QLatin1String("/Tavik/VexaAPPforPC/network.xml")));
    QCOMPARE(UpdaterTest::readFile(clUpdate.networkXmlPath()),
        UpdaterTest::defaultNetworkXml("http://127.0.0.1:9/"));
    QVERIFY(UpdaterTest::isOwnerOnly(clUpdate.networkXmlPath()));

    // Without the override the built-in server is the source.
    UpdaterTest::clearDataFolder();
    qunsetenv("KD4TOOL_UPDATE_URL");
    const QString strBuiltIn = ClUpdateServer::url();
    ClUpdate clBuiltIn;
    qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    QCOMPARE(strBuiltIn, QStringLiteral("http://update.tavik.example/"));
    QCOMPARE(UpdaterTest::readFile(clBuiltIn.networkXmlPath()), UpdaterTest::defaultNetworkXml(strBuiltIn));
}

void TestUpdaterInstall::networkFile_rewrittenUnlessSourceIsOurServer_data()
{
    QTest::addColumn<QByteArray>("clExisting");
    QTest::addColumn<QByteArray>("clExpected"); // empty: kept as it is

    const QByteArray clProxy
        = "<settings>\n <proxysetting>\n  <use>true</use>\n  <ip>127.0.0.5</ip>\n"
          "  <port>8080</port>\n </proxysetting>\n <sourceurl>%1</sourceurl>\n</settings>\n";
    // The source goes back to our server; the way there (proxy, login) is the user's and stays.
    const QByteArray clProxyKept = keptProxyXml("  <use>true</use>\n  <ip>127.0.0.5</ip>\n"
                                                "  <port>8080</port>\n  <type>3</type>\n"
                                                "  <authorization>\n   <use>false</use>\n"
                                                "  </authorization>\n");
    const QByteArray clLogin
        = "<settings><proxysetting><use>true</use><ip>proxy.example</ip><port>3129</port>"
          "<type>1</type><authorization><use>true</use><user>anna</user>"
          "<password type=\"base64\">czNjcjN0OnB3</password></authorization>"
          "</proxysetting><sourceurl>http://mirror.example/</sourceurl></settings>";
    const QByteArray clLoginKept = keptProxyXml("  <use>true</use>\n  <ip>proxy.example</ip>\n"
                                                "  <port>3129</port>\n  <type>1</type>\n"
                                                "  <authorization>\n   <use>true</use>\n"
                                                "   <user>anna</user>\n"
                                                "   <password type=\"base64\">czNjcjN0OnB3</password>\n"
                                                "  </authorization>\n");
    const QByteArray clDefault = UpdaterTest::defaultNetworkXml(QStringLiteral("http://127.0.0.1:9/"));
    QTest::newRow("our server, with a proxy")
        << QByteArray(clProxy).replace("%1", "http://127.0.0.1:9/") << QByteArray();
    QTest::newRow("another server") << QByteArray(clProxy).replace("%1", "http://mirror.example/")
                                    << clProxyKept;
    QTest::newRow("another server, proxy with its login") << clLogin << clLoginKept;
    QTest::newRow("our server without the slash")
        << QByteArray(clProxy).replace("%1", "http://127.0.0.1:9") << clProxyKept;
    QTest::newRow("no source") << QByteArray("<settings><autoupdate>true</autoupdate></settings>")
                               << clDefault;
    QTest::newRow("not XML") << QByteArray("sourceurl=http://127.0.0.1:9/") << clDefault;
}

void TestUpdaterInstall::networkFile_rewrittenUnlessSourceIsOurServer()
{
    QFETCH(QByteArray, clExisting);
    QFETCH(QByteArray, clExpected);

    qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    const QString strPath = ClUpdate::dataFolder() + QStringLiteral("network.xml");
    QVERIFY(UpdaterTest::writeFile(strPath, clExisting));
    ClUpdate clUpdate;
    QCOMPARE(UpdaterTest::readFile(strPath), clExpected.isEmpty() ? clExisting : clExpected);
    // It may hold a proxy password, also when it was kept.
    QVERIFY(UpdaterTest::isOwnerOnly(strPath));
}

void TestUpdaterInstall::install_endToEndStartsInstallerAndExits()
{
    const QByteArray clFirst = package('m', 300000);
    const QByteArray clSecond = package('n', 1000);
    TestUpdateServer clServer;
    QVERIFY(clServer.isRunning());
    clServer.setResource(DESCRIPTION_PATH,
        UpdaterTest::description({
                                     { "01.00.006", UpdaterTest::md5Hex(clFirst), PACKAGE },
                                     { "01.00.005", UpdaterTest::md5Hex("old"), "kd4tool_105.deb", "file" },
                                     { "1.0.5.1", UpdaterTest::md5Hex(clSecond), "kd4tool_1051.deb", "file" },
                                 })
            .toStdString());
    clServer.setResource(FOLDER + PACKAGE.toStdString(), clFirst.toStdString());
    clServer.setResource(FOLDER + "kd4tool_1051.deb", clSecond.toStdString());
    qputenv("KD4TOOL_UPDATE_URL", clServer.baseUrl().toUtf8());

    ClUpdateWidget clPage;
    ClModalDriver clCloser;
    clCloser.leaveOpen<ClProgressDialog>();
    QSignalSpy clErrors(clPage.updateController(), &ClDownload::sigError);
    QCOMPARE(runUpdateFromPage(&clPage), 0);

    // Both newer packages were fetched and verified; the first one is handed to the installer.
    const QString strFolder = QString::fromStdString(FOLDER);
    QCOMPARE(clServer.requests(),
        (QStringList {
            QString::fromStdString(DESCRIPTION_PATH), strFolder + PACKAGE, strFolder + "kd4tool_1051.deb" }));
    const QString strPackage = ClUpdate::dataFolder() + PACKAGE;
    QCOMPARE(UpdaterTest::readFile(strPackage), clFirst);
    QVERIFY(!QFile::exists(ClUpdate::dataFolder() + QStringLiteral("kd4tool_1051.deb")));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(installerLog()), 10000);
    QCOMPARE(
        QString::fromUtf8(UpdaterTest::readFile(installerLog())).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        QStringList { strPackage });
    QCOMPARE(clCloser.clMessages, QStringList { question(QStringLiteral("01.00.006")) });
    QCOMPARE(clErrors.count(), 1);
    QCOMPARE(clErrors.first().first().toString(), QString());
}

// Only a Debian package is handed over: another first file is dropped without a word.
void TestUpdaterInstall::install_packageOfAnotherSystemIsNotInstalled()
{
    const QByteArray clData = package('v', 2000);
    TestUpdateServer clServer;
    clServer.setResource(DESCRIPTION_PATH,
        UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), "KD4Tool.msi" } }).toStdString());
    clServer.setResource(FOLDER + "KD4Tool.msi", clData.toStdString());
    qputenv("KD4TOOL_UPDATE_URL", clServer.baseUrl().toUtf8());

    ClUpdateWidget clPage;
    ClModalDriver clCloser;
    clCloser.leaveOpen<ClProgressDialog>();
    QCOMPARE(runUpdateFromPage(&clPage), NOT_ENDED);
    QCOMPARE(clServer.requests().size(), 2);
    QCOMPARE(clCloser.clMessages, QStringList { question(QStringLiteral("1.0.6")) });
    QVERIFY(!QFile::exists(ClUpdate::dataFolder() + QStringLiteral("KD4Tool.msi")));
    QVERIFY(!QFile::exists(installerLog()));
    QVERIFY(clPage.isEnabled());
}

void TestUpdaterInstall::install_failuresKeepTheToolRunning_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::addColumn<QString>("strFileName");

    QTest::newRow("package path taken by a folder") << "folder"
                                                    << "kd4tool.deb";
    QTest::newRow("data folder cannot be created") << "nofolder"
                                                   << "kd4tool.deb";
    QTest::newRow("installer missing") << "noinstaller"
                                       << "kd4tool.deb";
    QTest::newRow("installer cannot open the package") << "notopened"
                                                       << "kd4tool.deb";
    QTest::newRow("name climbs out") << "hostile"
                                     << "../kd4tool.deb";
    QTest::newRow("name climbs out, Windows style") << "hostile"
                                                    << "..\\..\\kd4tool.deb";
    QTest::newRow("absolute name") << "absolute"
                                   << "kd4tool.deb";
    QTest::newRow("name in a sub-folder") << "hostile"
                                          << "sub/kd4tool.deb";
    QTest::newRow("drive-relative name") << "hostile"
                                         << "C:kd4tool.deb";
    QTest::newRow("device name") << "hostile"
                                 << "CON.deb";
}

void TestUpdaterInstall::install_failuresKeepTheToolRunning()
{
    QFETCH(QString, strCase);
    QFETCH(QString, strFileName);

    QTemporaryDir clElsewhere;
    if (strCase == QLatin1String("absolute"))
        strFileName = clElsewhere.filePath(strFileName);

    const QByteArray clData = package('h', 5000);
    TestUpdateServer clServer;
    clServer.setServeByFileName(true);
    clServer.setResource(DESCRIPTION_PATH,
        UpdaterTest::description({ { "1.0.6", UpdaterTest::md5Hex(clData), strFileName } }).toStdString());
    clServer.setResource(FOLDER + "kd4tool.deb", clData.toStdString());
    clServer.setResource(FOLDER + "CON.deb", clData.toStdString());
    qputenv("KD4TOOL_UPDATE_URL", clServer.baseUrl().toUtf8());

    ClUpdateWidget clPage;
    const QByteArray clHome = qgetenv("HOME");
    QTemporaryDir clBrokenHome;
    if (strCase == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(ClUpdate::dataFolder() + strFileName));
    if (strCase == QLatin1String("nofolder")) {
        // The data folder's parent is a plain file.
        QVERIFY(UpdaterTest::writeFile(clBrokenHome.filePath(QStringLiteral(".qttest")), "x"));
        qputenv("HOME", QFile::encodeName(clBrokenHome.path()));
    }
    if (strCase == QLatin1String("noinstaller"))
        qputenv("PATH", QFile::encodeName(clElsewhere.path()));
    if (strCase == QLatin1String("notopened"))
        qputenv("PATH", QFile::encodeName(clFailingInstallerDir.path()) + ':' + clOldPath);

    clPage.show();
    ClModalDriver clCloser;
    clCloser.leaveOpen<ClProgressDialog>();
    const int iResult = runUpdateFromPage(&clPage);
    qputenv("HOME", clHome);

    QCOMPARE(iResult, NOT_ENDED);
    // The file was fetched and verified: the failure is the hand-over's.
    QCOMPARE(clServer.requests().size(), 2);
    const QString strSaved = ClUpdate::dataFolder() + strFileName;
    if (strCase == QLatin1String("noinstaller") || strCase == QLatin1String("notopened")) {
        // The package was saved: the user is told where, to open it by hand.
        QCOMPARE(clCloser.clMessages, (QStringList { question("1.0.6"), notOpened(strSaved) }));
        QVERIFY(QFile::exists(strSaved));
    } else {
        QCOMPARE(clCloser.clMessages, (QStringList { question("1.0.6"), UPDATE_FAILED }));
    }
    if (strCase == QLatin1String("notopened")) {
        QCOMPARE(QString::fromUtf8(UpdaterTest::readFile(failingInstallerLog()))
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            QStringList { strSaved });
    }
    QVERIFY(clPage.isVisible());
    QVERIFY(clPage.isEnabled());
    QVERIFY(!clPage.updateController()->isBusy());
    QTest::qWait(300);
    QVERIFY(!QFile::exists(installerLog()));
    // Nothing was written outside the data folder.
    QDir clDataParent(ClUpdate::dataFolder());
    QVERIFY(clDataParent.cdUp());
    QVERIFY(!QFile::exists(clDataParent.filePath(QStringLiteral("kd4tool.deb"))));
    QVERIFY(!QFile::exists(clElsewhere.filePath(QStringLiteral("kd4tool.deb"))));
    QCOMPARE(QDir(clElsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestUpdaterInstall::packageName_plainFileNamesOnly_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<bool>("bSafe");
    const struct
    {
        const char* pName;
        bool bSafe;
    } aRows[] = { { "KD4Tool.msi", true }, { "KD4Tool_01.00.006.msi", true }, { "CONSOLE.msi", true },
        { "COM0.msi", true }, { "LPT10.msi", true }, { "xCON.msi", true }, { "", false }, { ".", false },
        { "..", false }, { "a/b.msi", false }, { "a\\b.msi", false }, { "C:b.msi", false },
        { "a\tb.msi", false }, { "CON", false }, { "con.msi", false }, { "Prn.msi", false }, { "AUX", false },
        { "nul.tar.msi", false }, { "COM1.msi", false }, { "com9", false }, { "LPT1.msi", false },
        { "lpt9.msi", false }, { "CON .msi", false } };
    for (const auto& clRow : aRows)
        QTest::newRow(clRow.pName) << QString::fromLatin1(clRow.pName) << clRow.bSafe;
}

void TestUpdaterInstall::packageName_plainFileNamesOnly()
{
    QFETCH(QString, strName);
    QFETCH(bool, bSafe);
    QCOMPARE(ClUpdate::isSafePackageName(strName), bSafe);
}

QTEST_MAIN(TestUpdaterInstall)
#include "tst_updater_install.moc"
