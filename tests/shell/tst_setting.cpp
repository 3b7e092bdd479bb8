// The preference store: values filed under the process-wide settings identity, in a store kept
// apart from the real user's for every case.

#include "shell/ClSetting.h"
#include "shell/ClSettingsIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void store_isFiledUnderSettingsIdentityNotApplicationName();
    void readValueOrStore_freshStoreReturnsDefaultAndStoresIt();
    void readValueOrStore_storedValueWinsAndIsKept();
    void groupAndKeyNames_missingGroupGivesEmptyLists();
    void groupAndKeyNames_listChildrenOfGroup();
    void removeKey_removesOnlyThatKey();
    void setScope_selectsTheSystemStore();
    void identityChange_laterOperationsUseNewApplicationName();

private:
    std::unique_ptr<QTemporaryDir> pclUserDir;
    std::unique_ptr<QTemporaryDir> pclSystemDir;

    QString userFile(const QString& strApp = QStringLiteral("VexaAPPforPC")) const
    {
        return pclUserDir->path() + QStringLiteral("/Tavik/") + strApp + QStringLiteral(".conf");
    }
    // What the store holds, read without ClSetting.
    QVariant rawValue(const QString& strFile, const QString& strKey) const
    {
        return QSettings(strFile, QSettings::IniFormat).value(strKey);
    }
};

void TestSetting::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The name users read differs from the settings identity on purpose.
    QCoreApplication::setOrganizationName(QStringLiteral("SomeoneElse"));
    QCoreApplication::setApplicationName(QStringLiteral("KD4Tool"));
}

void TestSetting::init()
{
    pclUserDir = std::make_unique<QTemporaryDir>();
    pclSystemDir = std::make_unique<QTemporaryDir>();
    QVERIFY(pclUserDir->isValid() && pclSystemDir->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, pclUserDir->path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, pclSystemDir->path());
    ClSettingsIdentity::setOrganizationName(QStringLiteral("Tavik"));
    ClSettingsIdentity::setApplicationName(QStringLiteral("VexaAPPforPC"));
}

void TestSetting::cleanup()
{
    pclUserDir.reset();
    pclSystemDir.reset();
}

void TestSetting::store_isFiledUnderSettingsIdentityNotApplicationName()
{
    ClSetting().writeValue(QStringLiteral("setting/synctime"), true);
    QVERIFY2(QFileInfo::exists(userFile()), qPrintable(userFile()));
    QCOMPARE(rawValue(userFile(), QStringLiteral("setting/synctime")).toBool(), true);
    QVERIFY(!QFileInfo::exists(pclUserDir->path() + QStringLiteral("/SomeoneElse")));
}

void TestSetting::readValueOrStore_freshStoreReturnsDefaultAndStoresIt()
{
    QVERIFY(!QFileInfo::exists(userFile()));
    const QVariant clValue = ClSetting().readValueOrStore(QStringLiteral("setting/synctime"), false);
    QCOMPARE(clValue.toBool(), false);
    const QVariant clStored = rawValue(userFile(), QStringLiteral("setting/synctime"));
    QVERIFY(clStored.isValid());
    QCOMPARE(clStored.toBool(), false);
}

void TestSetting::readValueOrStore_storedValueWinsAndIsKept()
{
    ClSetting().writeValue(QStringLiteral("setting/synctime"), true);
    const QVariant clValue = ClSetting().readValueOrStore(QStringLiteral("setting/synctime"), false);
    QCOMPARE(clValue.toBool(), true);
    QCOMPARE(rawValue(userFile(), QStringLiteral("setting/synctime")).toBool(), true);

    // A stored text other than the default stays as it was, too.
    ClSetting().writeValue(QStringLiteral("other/text"), QStringLiteral("kept"));
    QCOMPARE(ClSetting().readValueOrStore(QStringLiteral("other/text"), QStringLiteral("default")).toString(),
        QStringLiteral("kept"));
    QCOMPARE(rawValue(userFile(), QStringLiteral("other/text")).toString(), QStringLiteral("kept"));
}

void TestSetting::groupAndKeyNames_missingGroupGivesEmptyLists()
{
    ClSetting().writeValue(QStringLiteral("setting/synctime"), false);
    QCOMPARE(ClSetting().groupNames(QStringLiteral("nothing")), QStringList());
    QCOMPARE(ClSetting().keyNames(QStringLiteral("nothing")), QStringList());
}

void TestSetting::groupAndKeyNames_listChildrenOfGroup()
{
    ClSetting clStore;
    clStore.writeValue(QStringLiteral("top/one"), 1);
    clStore.writeValue(QStringLiteral("top/two"), 2);
    clStore.writeValue(QStringLiteral("top/inner/three"), 3);
    QStringList clKeys = clStore.keyNames(QStringLiteral("top"));
    clKeys.sort();
    QCOMPARE(clKeys, QStringList({ QStringLiteral("one"), QStringLiteral("two") }));
    QCOMPARE(clStore.groupNames(QStringLiteral("top")), QStringList({ QStringLiteral("inner") }));
}

void TestSetting::removeKey_removesOnlyThatKey()
{
    ClSetting clStore;
    clStore.writeValue(QStringLiteral("g/a"), 1);
    clStore.writeValue(QStringLiteral("g/b"), 2);
    clStore.removeKey(QStringLiteral("g/a"));
    QCOMPARE(clStore.keyNames(QStringLiteral("g")), QStringList({ QStringLiteral("b") }));
    QVERIFY(!rawValue(userFile(), QStringLiteral("g/a")).isValid());
}

void TestSetting::setScope_selectsTheSystemStore()
{
    ClSetting clSystem;
    clSystem.setScope(QSettings::SystemScope);
    clSystem.writeValue(QStringLiteral("where"), QStringLiteral("system"));
    ClSetting().writeValue(QStringLiteral("where"), QStringLiteral("user"));

    QCOMPARE(clSystem.readValue(QStringLiteral("where"), QString()).toString(), QStringLiteral("system"));
    QCOMPARE(ClSetting().readValue(QStringLiteral("where"), QString()).toString(), QStringLiteral("user"));
    // The explicit scope argument wins over the default scope.
    QCOMPARE(clSystem.readValue(QStringLiteral("where"), QString(), QSettings::UserScope).toString(),
        QStringLiteral("user"));
    QVERIFY(QFileInfo::exists(pclSystemDir->path() + QStringLiteral("/Tavik/VexaAPPforPC.conf")));
}

void TestSetting::identityChange_laterOperationsUseNewApplicationName()
{
    ClSetting clStore;
    clStore.writeValue(QStringLiteral("k"), 1);
    ClSettingsIdentity::setApplicationName(QStringLiteral("OtherApp"));
    QCOMPARE(clStore.readValue(QStringLiteral("k"), 0).toInt(), 0);
    clStore.writeValue(QStringLiteral("k"), 2);
    QCOMPARE(rawValue(userFile(QStringLiteral("OtherApp")), QStringLiteral("k")).toInt(), 2);
    QCOMPARE(rawValue(userFile(), QStringLiteral("k")).toInt(), 1);
}

QTEST_MAIN(TestSetting)
#include "tst_setting.moc"
