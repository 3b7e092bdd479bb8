// The assembled window as a screen-reader user meets it: on an X server with the desktop's
// accessibility bus, read over the bus by a reader process (atspi_reader.py) the way Orca reads
// it, and operated with keys sent through the bus's keyboard, never with the mouse.
#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "app/ClStartup.h"
#include "settings/ClSettingWidget.h"
#include "shell/ClKeyboardAccess.h"
#include "tests/app/MainTestSupport.h"
#include "tests/support/SimSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace Kd4Test;
using namespace MainTest;

namespace {

constexpr int WAIT_MS = 20000;

// The reader process and its answers.
class BusReader
{
public:
    bool start(qint64 llPid)
    {
        clProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        clProcess.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral(KD4_ATSPI_READER), QString::number(llPid) });
        return clProcess.waitForStarted(WAIT_MS) && !readLine().isEmpty();
    }
    ~BusReader()
    {
        clProcess.closeWriteChannel();
        if (!clProcess.waitForFinished(3000))
            clProcess.kill();
    }
    // Runs the steps in order while this process keeps serving the bus; one result per step.
    QJsonArray run(const QJsonArray& clSteps)
    {
        clProcess.write(
            QJsonDocument(QJsonObject { { QStringLiteral("steps"), clSteps } }).toJson(QJsonDocument::Compact)
            + '\n');
        const QJsonObject clReply = readLine();
        strError = clReply.value(QStringLiteral("error")).toString();
        return clReply.value(QStringLiteral("results")).toArray();
    }
    QJsonArray tree()
    {
        const QJsonArray clTree = ask(QStringLiteral("tree"), QStringLiteral("nodes"));
        // KD4_BUS_DUMP set: every tree read is printed, as the reader saw it.
        if (qEnvironmentVariableIsSet("KD4_BUS_DUMP")) {
            for (const QJsonValue& clNode : clTree)
                qInfo().noquote() << QJsonDocument(clNode.toObject()).toJson(QJsonDocument::Compact);
        }
        return clTree;
    }
    void keys(const QStringList& clKeys)
    {
        run({ QJsonObject { { QStringLiteral("keys"), QJsonArray::fromStringList(clKeys) } },
            QJsonObject { { QStringLiteral("sleep"), 0.15 } } });
        QTest::qWait(50);
    }
    QJsonArray events() { return ask(QStringLiteral("events"), QStringLiteral("events")); }

    QString strError;

private:
    // One step alone, and the list its result carries.
    QJsonArray ask(const QString& strStep, const QString& strList)
    {
        return run({ QJsonObject { { strStep, true } } }).at(0).toObject().value(strList).toArray();
    }
    QJsonObject readLine()
    {
        // A loop that runs without pauses: the reader's every call waits for this process's answer.
        QEventLoop clLoop;
        QTimer::singleShot(WAIT_MS, &clLoop, &QEventLoop::quit);
        QObject::connect(&clProcess, &QProcess::readyRead, &clLoop, [this, &clLoop] {
            if (clProcess.canReadLine())
                clLoop.quit();
        });
        QObject::connect(&clProcess, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &clLoop,
            &QEventLoop::quit);
        if (!clProcess.canReadLine())
            clLoop.exec();
        if (!clProcess.canReadLine())
            return {};
        return QJsonDocument::fromJson(clProcess.readLine()).object();
    }

    QProcess clProcess;
};

QStringList strings(const QJsonValue& clValue)
{
    QStringList clOut;
    for (const QJsonValue& clEach : clValue.toArray())
        clOut << clEach.toString();
    return clOut;
}

bool isShowing(const QJsonObject& clNode)
{
    return strings(clNode.value(QStringLiteral("states"))).contains(QStringLiteral("showing"));
}

bool isUnder(const QJsonObject& clNode, const QJsonObject& clParent)
{
    const QJsonArray clPath = clNode.value(QStringLiteral("path")).toArray();
    const QJsonArray clUp = clParent.value(QStringLiteral("path")).toArray();
    if (clPath.size() <= clUp.size())
        return false;
    for (int i = 0; i < clUp.size(); ++i) {
        if (clPath.at(i) != clUp.at(i))
            return false;
    }
    return true;
}

// The showing nodes of a role whose name (and, when given, label) match.
QList<QJsonObject> find(const QJsonArray& clTree, const QString& strRole, const QString& strName,
    const QString& strLabel = QString())
{
    QList<QJsonObject> clFound;
    for (const QJsonValue& clValue : clTree) {
        const QJsonObject clNode = clValue.toObject();
        if (isShowing(clNode) && clNode.value(QStringLiteral("role")).toString() == strRole
            && clNode.value(QStringLiteral("name")).toString() == strName
            && (strLabel.isEmpty() || strings(clNode.value(QStringLiteral("labelledBy"))).contains(strLabel)))
            clFound << clNode;
    }
    return clFound;
}

QString roleOf(QWidget* pclWidget)
{
    if (qobject_cast<QComboBox*>(pclWidget))
        return QStringLiteral("combo box");
    if (qobject_cast<QAbstractSlider*>(pclWidget))
        return QStringLiteral("slider");
    if (qobject_cast<QRadioButton*>(pclWidget))
        return QStringLiteral("radio button");
    return QStringLiteral("push button");
}

// The label a screen reader announces a combo box with: the label whose buddy it is.
QString labelOf(QComboBox* pclCombo)
{
    for (QLabel* pclLabel : pclCombo->window()->findChildren<QLabel*>()) {
        if (pclLabel->buddy() == pclCombo)
            return pclLabel->text();
    }
    return QString();
}

QString describe(const QJsonObject& clNode)
{
    return QString::fromUtf8(QJsonDocument(clNode).toJson(QJsonDocument::Compact));
}

} // namespace

class TestAccessBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tree_everyControlHasNameValueAndRole_data();
    void tree_everyControlHasNameValueAndRole();
    void keyboard_changesSettingThroughOpenList();
    void keyboard_opensAndClosesConfirmation();
    void recording_isAnnouncedAndDisablesSettings();
    void sessionLost_isAnnouncedAndEnterReconnects();

private:
    ClSettingWidget* panel() const { return pclWindow->contentWidget()->settingWidget(); }
    // Tab through the bus until the widget has the focus.
    bool tabTo(QWidget* pclTarget);
    void openPage(const QString& strCaption);
    // A notification with the text showed since the last look: what a screen reader speaks.
    bool heard(const QString& strText);

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClMainWidget> pclWindow;
    std::unique_ptr<BusReader> pclReader;
};

void TestAccessBus::initTestCase()
{
    QVERIFY2(qgetenv("QT_QPA_PLATFORM") == "xcb", "run through on-access-bus.sh");
    MainTest::initProcess();
    ClStartup::loadTranslations(QStringLiteral("en"));
    ClKeyboardAccess::install();
    pclSim = startSim();
    QVERIFY(pclSim);
    pclSim->setSetting("zk_white_balance", "cloudy");
    pclWindow = ClStartup::createMainWindow();
    pclWindow->show();
    pclWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get(), WAIT_MS));
    QVERIFY(QTest::qWaitFor(
        [this] {
            return panelPage(panel()) == 1 && combo(panel(), QStringLiteral("zk_white_balance"))->isEnabled();
        },
        WAIT_MS));
    pclReader = std::make_unique<BusReader>();
    QVERIFY2(pclReader->start(QCoreApplication::applicationPid()), "the reader did not start");
    QVERIFY2(!pclReader->tree().isEmpty(), qPrintable(pclReader->strError));
}

void TestAccessBus::cleanupTestCase()
{
    pclReader.reset();
    pclWindow.reset();
    pclSim.reset();
}

bool TestAccessBus::tabTo(QWidget* pclTarget)
{
    for (int i = 0; i < 60 && QApplication::focusWidget() != pclTarget; ++i)
        pclReader->keys({ QStringLiteral("Tab") });
    return QApplication::focusWidget() == pclTarget;
}

void TestAccessBus::openPage(const QString& strCaption)
{
    // With no window manager, nothing gives the window back its focus after a dialog closed.
    pclWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get(), WAIT_MS));
    for (QAbstractButton* pclTab :
        panel()->findChildren<QAbstractButton*>(QStringLiteral("qt_toolbox_toolboxbutton"))) {
        if (pclTab->text() == strCaption && tabTo(pclTab))
            pclReader->keys({ QStringLiteral("space") });
    }
}

bool TestAccessBus::heard(const QString& strText)
{
    for (const QJsonValue& clValue : pclReader->events()) {
        const QJsonObject clEvent = clValue.toObject();
        if (clEvent.value(QStringLiteral("role")) == QStringLiteral("notification")
            && clEvent.value(QStringLiteral("name")).toString().startsWith(strText)
            && clEvent.value(QStringLiteral("type")).toString()
                == QLatin1String("object:state-changed:showing")
            && clEvent.value(QStringLiteral("detail")).toInt() == 1)
            return true;
    }
    return false;
}

void TestAccessBus::tree_everyControlHasNameValueAndRole_data()
{
    QTest::addColumn<QString>("strPage");
    QTest::newRow("basic") << QStringLiteral("Basic settings");
    QTest::newRow("advanced") << QStringLiteral("Advanced settings");
}

// What a screen reader announces for each control of the shown page: its label, its role, the
// entry or value it shows, and for a combo box the entries of its list.
void TestAccessBus::tree_everyControlHasNameValueAndRole()
{
    QFETCH(QString, strPage);
    openPage(strPage);
    const QJsonArray clTree = pclReader->tree();
    QVERIFY2(!clTree.isEmpty(), qPrintable(pclReader->strError));
    int iChecked = 0;
    for (QWidget* pclWidget : panel()->findChildren<QWidget*>()) {
        const bool bOperated = qobject_cast<QComboBox*>(pclWidget)
            || (qobject_cast<QAbstractSlider*>(pclWidget) && !qobject_cast<QScrollBar*>(pclWidget))
            || qobject_cast<QAbstractButton*>(pclWidget);
        if (!bOperated || !pclWidget->isVisible() || pclWidget->visibleRegion().isEmpty())
            continue;
        const QString strWhat
            = pclWidget->objectName() + QLatin1Char(' ') + pclWidget->metaObject()->className();
        QList<QJsonObject> clNodes;
        if (auto* pclCombo = qobject_cast<QComboBox*>(pclWidget)) {
            const QString strLabel = labelOf(pclCombo);
            QVERIFY2(!strLabel.isEmpty(), qPrintable(strWhat));
            clNodes = find(clTree, roleOf(pclWidget), pclCombo->currentText(), strLabel);
            QCOMPARE(clNodes.size(), 1);
            // Its list, with every entry.
            QStringList clItems;
            for (const QJsonValue& clValue : clTree) {
                const QJsonObject clNode = clValue.toObject();
                if (isUnder(clNode, clNodes.first())
                    && clNode.value(QStringLiteral("role")) == QStringLiteral("list item"))
                    clItems << clNode.value(QStringLiteral("name")).toString();
            }
            QStringList clEntries;
            for (int i = 0; i < pclCombo->count(); ++i)
                clEntries << pclCombo->itemText(i);
            QCOMPARE(clItems, clEntries);
        } else {
            auto* pclButton = qobject_cast<QAbstractButton*>(pclWidget);
            const QString strName = !pclWidget->accessibleName().isEmpty() ? pclWidget->accessibleName()
                : pclButton                                                ? pclButton->text()
                                                                           : QString();
            QVERIFY2(!strName.isEmpty(), qPrintable(strWhat));
            clNodes = find(clTree, roleOf(pclWidget), strName);
            QVERIFY2(!clNodes.isEmpty(), qPrintable(strWhat + QLatin1String(": ") + strName));
            if (auto* pclSlider = qobject_cast<QAbstractSlider*>(pclWidget))
                QCOMPARE(
                    clNodes.first().value(QStringLiteral("value")).toDouble(), double(pclSlider->value()));
        }
        const QStringList clStates = strings(clNodes.first().value(QStringLiteral("states")));
        QVERIFY2(clStates.contains(QStringLiteral("focusable")), qPrintable(describe(clNodes.first())));
        QCOMPARE(clStates.contains(QStringLiteral("enabled")), pclWidget->isEnabled());
        ++iChecked;
    }
    QVERIFY(iChecked >= 8);
    // And the other way round: nothing on the page that a screen reader would announce unnamed.
    for (const QJsonValue& clValue : clTree) {
        const QJsonObject clNode = clValue.toObject();
        const QString strRole = clNode.value(QStringLiteral("role")).toString();
        if (isShowing(clNode)
            && (strRole == QLatin1String("combo box") || strRole == QLatin1String("slider")
                || strRole == QLatin1String("push button"))) {
            QVERIFY2(
                !clNode.value(QStringLiteral("name")).toString().isEmpty(), qPrintable(describe(clNode)));
            if (strRole == QLatin1String("combo box"))
                QVERIFY2(!strings(clNode.value(QStringLiteral("labelledBy"))).isEmpty(),
                    qPrintable(describe(clNode)));
        }
    }
}

// Tab to a combo box, open its list (F4), hear the entries and the one selected, pick the next
// with the arrow key and Enter: the camera gets it and the bus names the new entry.
void TestAccessBus::keyboard_changesSettingThroughOpenList()
{
    openPage(QStringLiteral("Basic settings"));
    QComboBox* pclCombo = combo(panel(), QStringLiteral("zk_white_balance"));
    QVERIFY(pclCombo->currentIndex() + 1 < pclCombo->count());
    const QString strNext = pclCombo->itemText(pclCombo->currentIndex() + 1);
    const QString strNextValue = pclCombo->itemData(pclCombo->currentIndex() + 1).toString();
    QVERIFY(tabTo(pclCombo));
    pclSim->clearLog();

    pclReader->keys({ QStringLiteral("F4") });
    QTRY_VERIFY(pclCombo->view()->isVisible());
    const QJsonArray clOpen = pclReader->tree();
    const QList<QJsonObject> clCombo
        = find(clOpen, QStringLiteral("combo box"), pclCombo->currentText(), labelOf(pclCombo));
    QCOMPARE(clCombo.size(), 1);
    QStringList clShown;
    QStringList clSelected;
    for (const QJsonValue& clValue : clOpen) {
        const QJsonObject clNode = clValue.toObject();
        if (!isUnder(clNode, clCombo.first())
            || clNode.value(QStringLiteral("role")) != QStringLiteral("list item"))
            continue;
        if (isShowing(clNode))
            clShown << clNode.value(QStringLiteral("name")).toString();
        if (strings(clNode.value(QStringLiteral("states"))).contains(QStringLiteral("selected")))
            clSelected << clNode.value(QStringLiteral("name")).toString();
    }
    QCOMPARE(clShown.size(), pclCombo->count());
    QCOMPARE(clSelected, QStringList { pclCombo->currentText() });

    pclReader->keys({ QStringLiteral("Down"), QStringLiteral("Return") });
    QTRY_VERIFY(!pclCombo->view()->isVisible());
    QVERIFY2(pclSim->waitFor(
                 [this, &strNextValue] {
                     return pclSim->setting("zk_white_balance") == strNextValue.toStdString();
                 },
                 WAIT_MS),
        qPrintable(msgIdText(*pclSim)));
    QTRY_COMPARE(pclCombo->currentText(), strNext);
    QTRY_COMPARE(find(pclReader->tree(), QStringLiteral("combo box"), strNext, labelOf(pclCombo)).size(), 1);
}

// A confirmation opened with Enter is read as a dialog that says what will happen, with Cancel
// before the action; Escape closes it and nothing reaches the camera.
void TestAccessBus::keyboard_opensAndClosesConfirmation()
{
    openPage(QStringLiteral("Advanced settings"));
    QAbstractButton* pclFormat = nullptr;
    for (QAbstractButton* pclButton : panel()->findChildren<QAbstractButton*>()) {
        if (pclButton->isVisible() && pclButton->text() == QLatin1String("Format"))
            pclFormat = pclButton;
    }
    QVERIFY(pclFormat);
    QVERIFY(tabTo(pclFormat));
    pclSim->clearLog();
    // The dialog runs its own loop: the reader reads it and closes it while it is open.
    const QJsonArray clResults = pclReader->run(
        { QJsonObject { { QStringLiteral("keys"), QJsonArray { QStringLiteral("Return") } } },
            QJsonObject { { QStringLiteral("sleep"), 1.0 } },
            QJsonObject { { QStringLiteral("tree"), true } },
            QJsonObject { { QStringLiteral("keys"), QJsonArray { QStringLiteral("Escape") } } },
            QJsonObject { { QStringLiteral("sleep"), 0.5 } } });
    QVERIFY2(clResults.size() == 5, qPrintable(pclReader->strError));
    const QJsonArray clTree = clResults.at(2).toObject().value(QStringLiteral("nodes")).toArray();
    QCOMPARE(find(clTree, QStringLiteral("dialog"), pclFormat->accessibleName()).size(), 1);
    QVERIFY(!find(clTree, QStringLiteral("label"),
        QStringLiteral("All photos and videos on the SD card will be erased."))
                 .isEmpty());
    const QList<QJsonObject> clCancel = find(clTree, QStringLiteral("push button"), QStringLiteral("Cancel"));
    const QList<QJsonObject> clAction = find(clTree, QStringLiteral("push button"), QStringLiteral("Format"));
    QCOMPARE(clCancel.size(), 1);
    QVERIFY(!clAction.isEmpty());
    // The safe choice has the focus, and the action comes after it.
    QVERIFY(strings(clCancel.first().value(QStringLiteral("states"))).contains(QStringLiteral("focused")));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QTest::qWait(500);
    QCOMPARE(pclSim->messageCount(4), 0); // no format
    QVERIFY(pclSim->isRunning());
}

// Recording started on the camera is spoken without the user looking for it, and the settings
// are read as disabled until it stops.
void TestAccessBus::recording_isAnnouncedAndDisablesSettings()
{
    openPage(QStringLiteral("Basic settings"));
    pclReader->events();
    pclSim->startRecording();
    QComboBox* pclCombo = combo(panel(), QStringLiteral("zk_white_balance"));
    QTRY_VERIFY_WITH_TIMEOUT(!pclCombo->isEnabled(), WAIT_MS);
    const auto fnHeard = [this](const QString& strText) { return heard(strText); };
    QVERIFY(QTest::qWaitFor([&] { return fnHeard(QStringLiteral("Recording started")); }, WAIT_MS));
    const QJsonArray clTree = pclReader->tree();
    const QList<QJsonObject> clNodes
        = find(clTree, QStringLiteral("combo box"), pclCombo->currentText(), labelOf(pclCombo));
    QCOMPARE(clNodes.size(), 1);
    QVERIFY(!strings(clNodes.first().value(QStringLiteral("states"))).contains(QStringLiteral("enabled")));

    pclSim->stopRecording();
    QVERIFY(QTest::qWaitFor([&] { return fnHeard(QStringLiteral("Recording stopped")); }, WAIT_MS));
    QTRY_VERIFY_WITH_TIMEOUT(pclCombo->isEnabled(), WAIT_MS);
}

// The camera drops the session: the reason is spoken, and Connect, reached by Tab and pressed
// with Enter, brings the settings back.
void TestAccessBus::sessionLost_isAnnouncedAndEnterReconnects()
{
    pclReader->events();
    pclSim->endSession();
    QVERIFY(QTest::qWaitFor(
        [this] { return heard(QStringLiteral("The connection to the camera was lost.")); }, WAIT_MS));
    QTRY_COMPARE_WITH_TIMEOUT(panelPage(panel()), 0, WAIT_MS);
    QPushButton* pclConnect = connectButton(panel());
    QVERIFY(QTest::qWaitFor([pclConnect] { return pclConnect->isEnabled(); }, WAIT_MS));
    pclWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get(), WAIT_MS));
    QVERIFY(tabTo(pclConnect));
    pclReader->keys({ QStringLiteral("Return") });
    QVERIFY(QTest::qWaitFor(
        [this] {
            return panelPage(panel()) == 1 && combo(panel(), QStringLiteral("zk_white_balance"))->isEnabled();
        },
        WAIT_MS));
    QVERIFY(pclSim->sessionOpen());
}

QTEST_MAIN(TestAccessBus)
#include "tst_accessbus.moc"
