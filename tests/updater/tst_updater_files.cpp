// The network settings file and the update description: reading, writing, edge cases.
#include "shell/ClSetting.h"
#include "shell/ClSettingsIdentity.h"
#include "tests/updater/UpdaterTestSupport.h"
#include "updater/ClCreateXmlNetwork.h"
#include "updater/ClParseXmlNetwork.h"
#include "updater/ClParseXmlUpdate.h"
#include "updater/ClXmlException.h"

#include <QCoreApplication>
#include <QDomNode>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A reader that fails on purpose where a node handler of a future section might: on comments
// saying "boom" and on elements named "boom".
class ClThrowingReader : public ClParseXmlUpdate
{
protected:
    bool handleNode(const QDomNode& clNode) override
    {
        if (clNode.isComment() && clNode.nodeValue() == QLatin1String("boom"))
            throw new ClXmlException(QStringLiteral("comment refused"));
        if (clNode.isElement() && clNode.toElement().tagName() == QLatin1String("boom"))
            throw new ClXmlException(QStringLiteral("element refused"));
        return ClParseXmlUpdate::handleNode(clNode);
    }
};

QByteArray nested(int iDepth, const QByteArray& clTag = "a")
{
    return ("<" + clTag + ">").repeated(iDepth) + ("</" + clTag + ">").repeated(iDepth);
}

QStringList fileNames(const ClParseXmlUpdate& clReader)
{
    QStringList clNames;
    for (int iIndex = 0; iIndex < clReader.itemCount(); ++iIndex)
        clNames.append(clReader.item(iIndex).strFile);
    return clNames;
}

} // namespace

class TestUpdaterFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void networkReader_proxySettings_data();
    void networkReader_proxySettings();
    void networkReader_keepsValuesBetweenReads();
    void parse_rejectsUnreadableInput_data();
    void parse_rejectsUnreadableInput();

    void updateReader_readsSections();
    void updateReader_appWithoutHashEndsOwnSection();
    void updateReader_nameMustBeFirstTextChild();
    void updateReader_emptiedOnEveryRead();
    void updateReader_regPrefixesDir_data();
    void updateReader_regPrefixesDir();
    void updateReader_exceptionCostsOnlyItsTopLevelNode();

    void writer_defaultFileIsByteExact();
    void writer_emptySourceUrlWritesNothing();
    void writer_proxyTypes_data();
    void writer_proxyTypes();
    void writer_roundTripWithBase64Password();
    void writer_primitives();

private:
    QTemporaryDir clDir;
};

void TestUpdaterFiles::initTestCase()
{
    UpdaterTest::isolate();
    QVERIFY(clDir.isValid());
}

void TestUpdaterFiles::networkReader_proxySettings_data()
{
    QTest::addColumn<QString>("strXml");
    QTest::addColumn<bool>("bProxyUse");
    QTest::addColumn<int>("iType");
    QTest::addColumn<QString>("strHost");
    QTest::addColumn<int>("iPort");
    QTest::addColumn<QString>("strUser");
    QTest::addColumn<QString>("strPassword");

    const QString strProxy = QStringLiteral("<settings><proxysetting>%1</proxysetting></settings>");
    const QString strFull = QStringLiteral("<ip>127.0.0.8</ip><port>8080</port><type>3</type>");

    QTest::newRow("nothing read keeps the defaults")
        << QStringLiteral("<settings/>") << false << 3 << QString() << 3128 << QString() << QString();
    QTest::newRow("use true, full") << strProxy.arg(QStringLiteral("<use>true</use>") + strFull) << true << 3
                                    << "127.0.0.8" << 8080 << QString() << QString();
    QTest::newRow("use true, then empty ip") << strProxy.arg(QStringLiteral("<use>true</use><ip></ip>"))
                                             << false << 3 << QString() << 3128 << QString() << QString();
    QTest::newRow("empty ip, then use true") << strProxy.arg(QStringLiteral("<ip></ip><use>true</use>"))
                                             << true << 3 << QString() << 3128 << QString() << QString();
    QTest::newRow("empty port clears use")
        << strProxy.arg(QStringLiteral("<use>true</use><ip>h</ip><port></port>")) << false << 3 << "h" << 3128
        << QString() << QString();
    QTest::newRow("empty type clears use")
        << strProxy.arg(QStringLiteral("<use>true</use><ip>h</ip><type></type>")) << false << 3 << "h" << 3128
        << QString() << QString();
    QTest::newRow("use as a digit means true") << strProxy.arg(QStringLiteral("<use>0</use>") + strFull)
                                               << true << 3 << "127.0.0.8" << 8080 << QString() << QString();
    QTest::newRow("use false") << strProxy.arg(strFull + QStringLiteral("<use>false</use>")) << false << 3
                               << "127.0.0.8" << 8080 << QString() << QString();
    QTest::newRow("port not a number reads 0") << strProxy.arg(QStringLiteral("<ip>h</ip><port>web</port>"))
                                               << false << 3 << "h" << 0 << QString() << QString();
    QTest::newRow("port out of range reads 0") << strProxy.arg(QStringLiteral("<ip>h</ip><port>70000</port>"))
                                               << false << 3 << "h" << 0 << QString() << QString();
    QTest::newRow("type not a number reads 0")
        << strProxy.arg(QStringLiteral("<use>true</use><ip>h</ip><type>x</type>")) << true << 0 << "h" << 3128
        << QString() << QString();
    QTest::newRow("unknown type number reads 0")
        << strProxy.arg(QStringLiteral("<use>true</use><ip>h</ip><type>42</type>")) << true << 0 << "h"
        << 3128 << QString() << QString();
    QTest::newRow("socks5") << strProxy.arg(QStringLiteral("<use>true</use><ip>h</ip><type>1</type>")) << true
                            << 1 << "h" << 3128 << QString() << QString();

    const QString strAuth = QStringLiteral("<settings><proxysetting><use>true</use><ip>h</ip>"
                                           "<authorization>%1</authorization></proxysetting></settings>");
    QTest::newRow("login, base64 password") << strAuth.arg(
        QStringLiteral("<use>true</use><user>anna</user><password type=\"base64\">czNjcjN0OnB3</password>"))
                                            << true << 3 << "h" << 3128 << "anna"
                                            << "s3cr3t:pw";
    QTest::newRow("login, plain password") << strAuth.arg(
        QStringLiteral("<use>true</use><user>anna</user><password type=\"plain\">czNjcjN0OnB3</password>"))
                                           << true << 3 << "h" << 3128 << "anna"
                                           << "czNjcjN0OnB3";
    QTest::newRow("login, password without type")
        << strAuth.arg(QStringLiteral("<use>true</use><user>anna</user><password>czNjcjN0OnB3</password>"))
        << true << 3 << "h" << 3128 << "anna"
        << "czNjcjN0OnB3";
    QTest::newRow("login use upper case is off")
        << strAuth.arg(QStringLiteral("<use>TRUE</use><user>anna</user><password>pw</password>")) << true << 3
        << "h" << 3128 << QString() << QString();
    QTest::newRow("login use digit is off")
        << strAuth.arg(QStringLiteral("<use>1</use><user>anna</user><password>pw</password>")) << true << 3
        << "h" << 3128 << QString() << QString();
    QTest::newRow("authorization outside proxysetting") << QStringLiteral(
        "<settings><proxysetting><use>true</use><ip>h</ip></proxysetting><authorization><use>true</use>"
        "<user>bob</user></authorization></settings>") << true
                                                        << 3 << "h" << 3128 << "bob" << QString();
}

void TestUpdaterFiles::networkReader_proxySettings()
{
    QFETCH(QString, strXml);
    QFETCH(bool, bProxyUse);
    QFETCH(int, iType);
    QFETCH(QString, strHost);
    QFETCH(int, iPort);
    QFETCH(QString, strUser);
    QFETCH(QString, strPassword);

    ClParseXmlNetwork clReader;
    QVERIFY(clReader.parseData(strXml.toUtf8()));
    QCOMPARE(clReader.isProxyUse(), bProxyUse);
    const QNetworkProxy clProxy = clReader.proxy();
    QCOMPARE(static_cast<int>(clProxy.type()), iType);
    QCOMPARE(clProxy.hostName(), strHost);
    QCOMPARE(static_cast<int>(clProxy.port()), iPort);
    QCOMPARE(clProxy.user(), strUser);
    QCOMPARE(clProxy.password(), strPassword);
}

void TestUpdaterFiles::networkReader_keepsValuesBetweenReads()
{
    ClParseXmlNetwork clReader;
    QVERIFY(clReader.isAutoUpdate());
    QVERIFY(clReader.parseData("<settings><proxysetting><use>true</use><ip>proxy.lan</ip><port>81</port>"
                               "</proxysetting><sourceurl>http://updates.lan/tool/</sourceurl>"
                               "<autoupdate>false</autoupdate></settings>"));
    QCOMPARE(clReader.sourceUrl(), QUrl(QStringLiteral("http://updates.lan/tool/")));
    QVERIFY(!clReader.isAutoUpdate());

    // A later file without those elements leaves them as they were.
    QVERIFY(clReader.parseData("<settings><autoupdate>no</autoupdate></settings>"));
    QVERIFY(clReader.isAutoUpdate());
    QVERIFY(clReader.isProxyUse());
    QCOMPARE(clReader.proxy().hostName(), QStringLiteral("proxy.lan"));
    QCOMPARE(clReader.proxy().port(), quint16(81));
    QCOMPARE(clReader.sourceUrl(), QUrl(QStringLiteral("http://updates.lan/tool/")));
}

void TestUpdaterFiles::parse_rejectsUnreadableInput_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QByteArray>("clContent");
    QTest::addColumn<bool>("bResult");

    QTest::newRow("empty path") << QString() << QByteArray() << false;
    QTest::newRow("missing file") << "missing.xml" << QByteArray() << false;
    QTest::newRow("empty file") << "empty.xml" << QByteArray("") << false;
    QTest::newRow("not XML") << "text.xml" << QByteArray("proxy=on\n") << false;
    QTest::newRow("broken XML") << "broken.xml" << QByteArray("<settings><use>true</settings>") << false;
    QTest::newRow("a directory") << "." << QByteArray() << false;
    QTest::newRow("well-formed but useless") << "other.xml" << QByteArray("<other/>") << true;
    QTest::newRow("nested as deep as allowed") << "deep.xml" << nested(ClParseXml::MAX_ELEMENT_DEPTH) << true;
    QTest::newRow("nested a level too deep")
        << "deeper.xml" << nested(ClParseXml::MAX_ELEMENT_DEPTH + 1) << false;
    // Deep enough to exhaust the stack of a reader that descends one call per level.
    QTest::newRow("nested 100000 levels") << "abyss.xml" << nested(100000) << false;
    QTest::newRow("nested 100000 levels, undeclared prefix")
        << "prefixed.xml" << nested(100000, "x:a") << false;
    QTest::newRow("undeclared prefix, shallow") << "shallow.xml" << nested(3, "x:a") << true;
}

void TestUpdaterFiles::parse_rejectsUnreadableInput()
{
    QFETCH(QString, strName);
    QFETCH(QByteArray, clContent);
    QFETCH(bool, bResult);

    QString strPath;
    if (!strName.isEmpty())
        strPath = clDir.filePath(strName);
    if (!clContent.isNull())
        QVERIFY(UpdaterTest::writeFile(strPath, clContent));

    ClParseXmlNetwork clNetwork;
    QCOMPARE(clNetwork.parseFile(strPath), bResult);
    ClParseXmlUpdate clUpdate;
    QCOMPARE(clUpdate.parseFile(strPath), bResult);
    QCOMPARE(clUpdate.itemCount(), 0);
}

void TestUpdaterFiles::updateReader_readsSections()
{
    ClParseXmlUpdate clReader;
    QVERIFY(clReader.parseData("<!-- published by the build -->\n"
                               "<anything>\n"
                               " <own>\n"
                               "  <app version=\"01.00.006\" hash=\"0123abcd\">KD4Tool.msi</app>\n"
                               "  <file version=\"1.2\" hash=\"aa\">readme.txt</file>\n"
                               "  <file version=\"1.2\" hash=\"bb\" dir=\"doc\">doc/manual.pdf</file>\n"
                               "  <file version=\"1.2\">nohash.txt</file>\n"
                               "  <file version=\"1.2\" hash=\"cc\"></file>\n"
                               " </own>\n"
                               " <plugins dir=\"plugins/imageformats\">\n"
                               "  <lib version=\"5.15\" hash=\"dd\">libqjpeg.so</lib>\n"
                               "  <lib hash=\"ee\">noversion.so</lib>\n"
                               " </plugins>\n"
                               " <process>KD4Tool.exe, helper.exe,,</process>\n"
                               " <remove><old dir=\"bin\" file=\"old.dll\"/></remove>\n"
                               " <settings><synctime app=\"VexaAPPforPC\" scope=\"0\" isadd=\"1\" "
                               "format=\"0\">true</synctime></settings>\n"
                               "</anything>\n"));

    QCOMPARE(
        fileNames(clReader), (QStringList { "KD4Tool.msi", "readme.txt", "doc/manual.pdf", "libqjpeg.so" }));
    QCOMPARE(clReader.item(0).strDir, QString());
    QCOMPARE(clReader.item(0).strVersion, QStringLiteral("01.00.006"));
    QCOMPARE(clReader.item(0).strHash, QStringLiteral("0123abcd"));
    QCOMPARE(clReader.item(1).strDir, QStringLiteral("."));
    QCOMPARE(clReader.item(2).strDir, QStringLiteral("doc"));
    QCOMPARE(clReader.item(3).strDir, QStringLiteral("plugins/imageformats"));
    QCOMPARE(clReader.appEntry().strFile, QStringLiteral("KD4Tool.msi"));
    QCOMPARE(clReader.processNames(), (QStringList { "KD4Tool.exe", "helper.exe" }));
    QCOMPARE(clReader.removeEntries().size(), 1);
    QCOMPARE(clReader.removeEntries().first().strFile, QStringLiteral("old.dll"));
    QCOMPARE(clReader.settingEntries().size(), 1);
    QCOMPARE(clReader.settingEntries().first().strKey, QStringLiteral("synctime"));
    QCOMPARE(clReader.settingEntries().first().strValue, QStringLiteral("true"));
}

void TestUpdaterFiles::updateReader_appWithoutHashEndsOwnSection()
{
    ClParseXmlUpdate clReader;
    QVERIFY(clReader.parseData("<u><own>"
                               "<file version=\"1\" hash=\"aa\">before.txt</file>"
                               "<app version=\"2\">KD4Tool.msi</app>"
                               "<file version=\"1\" hash=\"bb\">after.txt</file>"
                               "</own>"
                               "<own><file version=\"1\" hash=\"cc\">other-section.txt</file></own></u>"));
    QCOMPARE(fileNames(clReader), (QStringList { "before.txt", "other-section.txt" }));
    QCOMPARE(clReader.appEntry().strFile, QString());
}

void TestUpdaterFiles::updateReader_nameMustBeFirstTextChild()
{
    ClParseXmlUpdate clReader;
    QVERIFY(clReader.parseData("<u><own>"
                               "<app version=\"2\" hash=\"aa\"><!-- package -->KD4Tool.msi</app>"
                               "<file version=\"1\" hash=\"bb\"><b>bold.txt</b></file>"
                               "<file version=\"1\" hash=\"cc\">plain.txt</file>"
                               "</own></u>"));
    QCOMPARE(fileNames(clReader), QStringList { "plain.txt" });
}

void TestUpdaterFiles::updateReader_emptiedOnEveryRead()
{
    ClParseXmlUpdate clReader;
    QVERIFY(clReader.parseData(UpdaterTest::description({ { "1.0.6", "aa", "KD4Tool.msi" } })));
    QCOMPARE(clReader.itemCount(), 1);
    QVERIFY(!clReader.parseData("not xml"));
    QCOMPARE(clReader.itemCount(), 0);
    QCOMPARE(clReader.appEntry().strFile, QString());
}

void TestUpdaterFiles::updateReader_regPrefixesDir_data()
{
    QTest::addColumn<QString>("strStoredIn");
    QTest::addColumn<QVariant>("clStored");
    QTest::addColumn<QString>("strAppAttribute");
    QTest::addColumn<QString>("strDir");

    QTest::newRow("windows folder") << "VexaAPPforPC" << QVariant("C:\\Program Files\\Tavik") << QString()
                                    << "C:/Program Files/Tavik/plugins";
    QTest::newRow("trailing slash kept single")
        << "VexaAPPforPC" << QVariant("/opt/tavik/") << QString() << "/opt/tavik/plugins";
    QTest::newRow("trailing backslash")
        << "VexaAPPforPC" << QVariant("D:\\Tavik\\") << QString() << "D:/Tavik/plugins";
    QTest::newRow("no value") << "VexaAPPforPC" << QVariant() << QString() << "plugins";
    QTest::newRow("other application's store") << "VexaPlayer" << QVariant("/srv/player") << "VexaPlayer"
                                               << "/srv/player/plugins";
    QTest::newRow("not in our store when app differs")
        << "VexaAPPforPC" << QVariant("/opt/ours") << "VexaPlayer"
        << "plugins";
}

void TestUpdaterFiles::updateReader_regPrefixesDir()
{
    QFETCH(QString, strStoredIn);
    QFETCH(QVariant, clStored);
    QFETCH(QString, strAppAttribute);
    QFETCH(QString, strDir);

    const QString strOwnApp = ClSettingsIdentity::applicationName();
    for (const QString& strApp : { QStringLiteral("VexaAPPforPC"), QStringLiteral("VexaPlayer") }) {
        ClSettingsIdentity::setApplicationName(strApp);
        ClSetting().removeKey(QStringLiteral("install/dir"));
    }
    ClSettingsIdentity::setApplicationName(strStoredIn);
    if (clStored.isValid())
        ClSetting().writeValue(QStringLiteral("install/dir"), clStored);
    ClSettingsIdentity::setApplicationName(strOwnApp);

    const QString strApp
        = strAppAttribute.isEmpty() ? QString() : QStringLiteral(" app=\"%1\"").arg(strAppAttribute);
    ClParseXmlUpdate clReader;
    QVERIFY(
        clReader.parseData(QStringLiteral("<u><plugins dir=\"plugins\" reg=\"install/dir\" scope=\"0\"%1>"
                                          "<lib version=\"1\" hash=\"aa\">libqjpeg.so</lib></plugins></u>")
                               .arg(strApp)
                               .toUtf8()));
    QCOMPARE(clReader.itemCount(), 1);
    QCOMPARE(clReader.item(0).strDir, strDir);
    // The description must not move where the program keeps its own preferences.
    QCOMPARE(ClSettingsIdentity::applicationName(), strOwnApp);
}

void TestUpdaterFiles::updateReader_exceptionCostsOnlyItsTopLevelNode()
{
    ClThrowingReader clReader;
    QVERIFY(clReader.parseData("<!--boom--><u><own><file version=\"1\" hash=\"aa\">a.txt</file></own></u>"));
    QCOMPARE(clReader.errorMessage(), QStringLiteral("comment refused"));
    QCOMPARE(fileNames(clReader), QStringList { "a.txt" });

    QVERIFY(clReader.parseData("<u><own><file version=\"1\" hash=\"aa\">a.txt</file></own><boom/>"
                               "<own><file version=\"1\" hash=\"bb\">b.txt</file></own></u>"));
    QCOMPARE(clReader.errorMessage(), QStringLiteral("element refused"));
    QCOMPARE(fileNames(clReader), QStringList { "a.txt" });
}

void TestUpdaterFiles::writer_defaultFileIsByteExact()
{
    const QString strUrl = QStringLiteral("http://update.tavik.example/");
    ClCreateXmlNetwork clWriter;
    QVERIFY(clWriter.writeNetwork(
        false, QString(), QString(), QString(), false, QString(), QString(), strUrl, false));
    const QString strPath = clDir.filePath(QStringLiteral("network.xml"));
    // An older file that everyone could read is replaced by one for its owner only.
    QVERIFY(UpdaterTest::writeFile(strPath, "old"));
    QVERIFY(QFile::setPermissions(strPath,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(clWriter.save(strPath));
    QCOMPARE(UpdaterTest::readFile(strPath), UpdaterTest::defaultNetworkXml(strUrl));
    QVERIFY(UpdaterTest::isOwnerOnly(strPath));
}

void TestUpdaterFiles::writer_emptySourceUrlWritesNothing()
{
    ClCreateXmlNetwork clWriter;
    QVERIFY(!clWriter.writeNetwork(true, QStringLiteral("h"), QStringLiteral("1"), QStringLiteral("Http"),
        false, QString(), QString(), QString(), true));
    QCOMPARE(clWriter.toByteArray(), QByteArray("<settings/>\n"));
}

void TestUpdaterFiles::writer_proxyTypes_data()
{
    QTest::addColumn<QString>("strType");
    QTest::addColumn<bool>("bResult");
    QTest::addColumn<QString>("strWritten");

    QTest::newRow("Socks5") << "Socks5" << true << "1";
    QTest::newRow("Http") << "Http" << true << "3";
    QTest::newRow("HttpCaching") << "HttpCaching" << true << "4";
    QTest::newRow("FtpCaching") << "FtpCaching" << true << "5";
    QTest::newRow("none") << QString() << true << QString();
    QTest::newRow("lower case") << "http" << false << QString();
    QTest::newRow("unknown") << "NoProxy" << false << QString();
}

void TestUpdaterFiles::writer_proxyTypes()
{
    QFETCH(QString, strType);
    QFETCH(bool, bResult);
    QFETCH(QString, strWritten);

    ClCreateXmlNetwork clWriter;
    QCOMPARE(clWriter.writeNetwork(true, QStringLiteral("h"), QStringLiteral("8080"), strType, false,
                 QString(), QString(), QStringLiteral("http://u/"), true),
        bResult);
    QDomDocument clDocument;
    QVERIFY(clDocument.setContent(clWriter.toByteArray()));
    const QDomElement clType = clDocument.documentElement()
                                   .firstChildElement(QStringLiteral("proxysetting"))
                                   .firstChildElement(QStringLiteral("type"));
    QCOMPARE(clType.isNull(), strWritten.isEmpty());
    QCOMPARE(clType.text(), strWritten);
}

void TestUpdaterFiles::writer_roundTripWithBase64Password()
{
    const QString strPassword = QStringLiteral("p\u00e4ss w\u00f6rd:<1>");
    ClCreateXmlNetwork clWriter;
    QVERIFY(clWriter.writeNetwork(true, QStringLiteral("127.0.1.3"), QStringLiteral("3129"),
        QStringLiteral("Http"), true, QStringLiteral("anna"), strPassword, QStringLiteral("http://u/"),
        true));
    const QByteArray clText = clWriter.toByteArray();
    QVERIFY(
        clText.contains("<password type=\"base64\">" + strPassword.toLocal8Bit().toBase64() + "</password>"));
    QVERIFY(!clText.contains("ss w"));

    const QString strPath = clDir.filePath(QStringLiteral("roundtrip.xml"));
    QVERIFY(clWriter.save(strPath));
    ClParseXmlNetwork clReader;
    QVERIFY(clReader.parseFile(strPath));
    QVERIFY(clReader.isProxyUse());
    QVERIFY(clReader.isAutoUpdate());
    const QNetworkProxy clProxy = clReader.proxy();
    QCOMPARE(clProxy.type(), QNetworkProxy::HttpProxy);
    QCOMPARE(clProxy.hostName(), QStringLiteral("127.0.1.3"));
    QCOMPARE(clProxy.port(), quint16(3129));
    QCOMPARE(clProxy.user(), QStringLiteral("anna"));
    QCOMPARE(clProxy.password(), strPassword);
}

void TestUpdaterFiles::writer_primitives()
{
    ClCreateXml clWriter;
    QVERIFY(clWriter.toByteArray().isEmpty());
    QVERIFY(!clWriter.save(clDir.filePath(QStringLiteral("nothing.xml"))));

    QDomElement clRoot = clWriter.createElement(QStringLiteral("root"), QDomNode());
    QDomElement clChild = clWriter.createElement(QStringLiteral("child"), clRoot);
    QVERIFY(!clWriter.setText(QDomNode(), QStringLiteral("x")));
    QVERIFY(clWriter.setText(clChild, QStringLiteral("x")));
    QVERIFY(!clWriter.setText(clChild, QStringLiteral("x")));
    QVERIFY(!clWriter.setAttribute(clChild.firstChild(), QStringLiteral("a"), QStringLiteral("1")));
    QVERIFY(!clWriter.setAttribute(clChild, QString(), QStringLiteral("1")));
    QVERIFY(!clWriter.setAttribute(clChild, QStringLiteral("a"), QString()));
    QVERIFY(clWriter.setAttribute(clChild, QStringLiteral("a"), QStringLiteral("1")));
    QVERIFY(clWriter.setAttribute(clChild, QStringLiteral("a"), QStringLiteral("2")));
    QCOMPARE(clWriter.toByteArray(), QByteArray("<root>\n <child a=\"2\">x</child>\n</root>\n"));

    // A folder in the way of the file.
    QVERIFY(!clWriter.save(clDir.path()));
}

QTEST_MAIN(TestUpdaterFiles)
#include "tst_updater_files.moc"
