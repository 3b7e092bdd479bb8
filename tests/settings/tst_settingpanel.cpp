// The settings panel with its real simple and detail pages under it, worked with mouse and keys:
// which commands leave the panel, what the pages show when answers come back down the tree, the
// failure messages, the access point chain, the confirmations, the sync time preference, and the
// panel's return to its connect page.

#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/WidgetSupport.h"

#include "camera/ClCommands.h"
#include "resources/ClResources.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingItemSlider.h"
#include "settings/ClSettingPageWidget.h"
#include "settings/ClSettingWidget.h"
#include "shell/ClSetting.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedLayout>
#include <QTest>
#include <QToolBox>
#include <QWheelEvent>

using namespace Kd4Test;
using namespace SettingsTest;

namespace {

const QString PREF_SYNC_TIME = QStringLiteral("setting/synctime");

// What the camera reports after a session start, typed as the camera layer types it.
ClAllSettings realisticSnapshot()
{
    return {
        { QStringLiteral("zk_angle_deg"), QStringLiteral("145") },
        { QStringLiteral("zk_white_balance"), QStringLiteral("cloudy") },
        { QStringLiteral("zk_self_timer"), QStringLiteral("10sec") },
        { QStringLiteral("zk_wdr"), QStringLiteral("on") },
        { QStringLiteral("zk_ae_exposure_level"), QStringLiteral("-1") },
        { QStringLiteral("video_resolution"), QStringLiteral("1280x720 60P 16:9") },
        { QStringLiteral("zk_ae_light_metering"), QStringLiteral("multi") },
        { QStringLiteral("zk_warp_correction"), QStringLiteral("on") },
        { QStringLiteral("zk_stabilization"), QStringLiteral("off") },
        { QStringLiteral("zk_image_rotation"), QStringLiteral("180deg") },
        { QStringLiteral("zk_capture_mode"), QStringLiteral("burst") },
        { QStringLiteral("zk_burst_per_sec"), QStringLiteral("5") },
        { QStringLiteral("zk_interval_time"), QStringLiteral("00:01:30") },
        { QStringLiteral("zk_rec_audio_level"), 6 },
        { QStringLiteral("zk_rec_audio_balance"), -3 },
        { QStringLiteral("zk_auto_power_off"), QStringLiteral("120sec") },
        { QStringLiteral("zk_wifi_auto_power_off"), QStringLiteral("enable") },
        { QStringLiteral("zk_rec_duration"), QStringLiteral("5min") },
        { QStringLiteral("zk_speaker_volume"), 32 },
        { QStringLiteral("zk_get_version"), QStringLiteral("01.00.0009") },
        { QStringLiteral("camera_clock"), QDateTime(QDate(2024, 5, 1), QTime(12, 0)) },
        { QStringLiteral("stream_type"), QStringLiteral("mjpg") },
    };
}

// One panel on screen at the root of its tree, with the commands that leave it recorded.
struct ClPanel
{
    ClSettingWidget clPanel;
    ClRequestLog clLog { &clPanel };

    ClPanel()
    {
        if (!showExposed(&clPanel))
            qWarning("the panel was not exposed");
    }

    QToolBox* toolBox() { return clPanel.findChild<QToolBox*>(QStringLiteral("settingToolBox")); }
    QWidget* detail() { return clPanel.findChild<QWidget*>(QStringLiteral("detailSetting")); }
    QWidget* simple() { return clPanel.findChild<QWidget*>(QStringLiteral("simpleSetting")); }

    QComboBox* combo(const QString& strKey)
    {
        auto* pclRow = clPanel.findChild<ClSettingItemComboBox*>(strKey);
        return pclRow ? pclRow->comboBox() : nullptr;
    }
    QSlider* slider(const QString& strKey)
    {
        auto* pclRow = clPanel.findChild<ClSettingItemSlider*>(strKey);
        return pclRow ? pclRow->slider() : nullptr;
    }
    QPushButton* button(const QString& strName) { return clPanel.findChild<QPushButton*>(strName); }
    // A button of the connect page (the information dialog has an update button of its own).
    QPushButton* connectPageButton(const QString& strName)
    {
        return clPanel.findChild<QWidget*>(QStringLiteral("connectPage"))->findChild<QPushButton*>(strName);
    }
    QPushButton* rowButton(const QString& strRow)
    {
        QWidget* pclRow = clPanel.findChild<QWidget*>(strRow);
        return pclRow ? pclRow->findChild<QPushButton*>() : nullptr;
    }

    // As after a session start: filled, then the settings shown.
    void startSession(const ClAllSettings& clSnapshot = realisticSnapshot())
    {
        clPanel.applySettings(clSnapshot);
        clPanel.showSettingPage(1);
    }

    QList<QString> sentKeys()
    {
        QList<QString> clKeys;
        for (const ZK_CMD& clCmd : qAsConst(clLog.clRequests))
            clKeys.append(clCmd.value(ZkKey::PARAM1).toString());
        return clKeys;
    }
};

bool isReread(const ZK_CMD& clCmd)
{
    return zkCommand(clCmd) == CMD_GET_ALL_SETTINGS;
}

} // namespace

class TestSettingPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initProcess();
        ClResources::init();
    }
    void init()
    {
        // Every case starts with the preference off, as on a fresh installation.
        ClSetting().writeValue(PREF_SYNC_TIME, false);
    }

    void connectPage_buttons();
    void accessible_controlsNamedAfterTheirRows_data();
    void accessible_controlsNamedAfterTheirRows();
    void fill_showsCameraValuesAndSendsNothing();
    void fill_withoutResolutionLeavesRowAndStaysQuiet();
    void reread_answerFillsPages();
    void reread_failureEndsSession();
    void grid_neverReachesCameraAndStaysUsable();
    void simple_refusedShowsLabelThenRereads_data();
    void simple_refusedShowsLabelThenRereads();
    void simple_refusedResolutionWithoutKeyOnlyRereads();
    void simple_rereadOnlyAfterResolutionSuccess();
    void transportFailure_isReportedAndReread();
    void wheel_changesOnlyFocusedControls();
    void confirmations_sayWhatWillHappen();
    void reread_notSentOnceSessionEnded();
    void detail_sendsRowValues();
    void detail_refusedShowsLabelThenRereads_data();
    void detail_refusedShowsLabelThenRereads();
    void detail_confirmations_data();
    void detail_confirmations();
    void detail_intervalButton();
    void apChain_data();
    void apChain();
    void syncTime_userSwitch();
    void syncTime_preferenceReadAtStart();
    void information_usableWhileDisabled();
    void backToConnectPage_closesDialogAndSelectsSimple_data();
    void backToConnectPage_closesDialogAndSelectsSimple();

private:
    // Performs the user action that sends the given key from the detail page.
    void actOnDetail(ClPanel& clPanel, ClModalDriver& clDriver, const QString& strAction);
};

void TestSettingPanel::connectPage_buttons()
{
    ClPanel clPanel;
    auto* pclStack = qobject_cast<QStackedLayout*>(clPanel.clPanel.layout());
    QVERIFY(pclStack);
    QCOMPARE(pclStack->currentIndex(), 0);
    QSignalSpy clConnect(&clPanel.clPanel, &ClSettingWidget::sigRequestConnectCamera);
    QSignalSpy clUpdate(&clPanel.clPanel, &ClSettingWidget::sigRequestUpdate);

    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("connectButton")), Qt::LeftButton);
    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("connectButton")), Qt::LeftButton);
    QCOMPARE(clConnect.count(), 2);
    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("updateButton")), Qt::LeftButton);
    QCOMPARE(clUpdate.count(), 1);

    // While the session manager withholds its enable the page cannot be used.
    clPanel.clPanel.slotSetSettingEnable(false);
    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("connectButton")), Qt::LeftButton);
    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("updateButton")), Qt::LeftButton);
    QCOMPARE(clConnect.count(), 2);
    QCOMPARE(clUpdate.count(), 1);
    clPanel.clPanel.slotSetSettingEnable(true);
    QTest::mouseClick(clPanel.connectPageButton(QStringLiteral("connectButton")), Qt::LeftButton);
    QCOMPARE(clConnect.count(), 3);
    QCOMPARE(clPanel.clLog.count(), 0);
    // The two buttons are equally wide.
    QCOMPARE(clPanel.connectPageButton(QStringLiteral("connectButton"))->width(),
        clPanel.connectPageButton(QStringLiteral("updateButton"))->width());
}

void TestSettingPanel::accessible_controlsNamedAfterTheirRows_data()
{
    QTest::addColumn<QString>("strControl"); // object name of the row or button
    QTest::addColumn<QString>("strName");
    QTest::newRow("connect") << "connectButton"
                             << "Connect";
    QTest::newRow("update") << "updateButton"
                            << "Tool version upgrade";
    QTest::newRow("combo on the simple page") << "zk_white_balance"
                                              << "WB";
    QTest::newRow("grid") << "grid"
                          << "Grid";
    QTest::newRow("captioned slider") << "zk_rec_audio_level"
                                      << "Recording Settings: Level";
    QTest::newRow("button row") << "sdFormat"
                                << "SD format";
}

namespace {

// A combo box, slider or button the user operates (not the parts of a combo box's popup).
bool isOperated(QWidget* pclWidget)
{
    for (QWidget* pclParent = pclWidget->parentWidget(); pclParent; pclParent = pclParent->parentWidget()) {
        if (qobject_cast<QComboBox*>(pclParent))
            return false;
    }
    return qobject_cast<QComboBox*>(pclWidget) || qobject_cast<QAbstractSlider*>(pclWidget)
        || qobject_cast<QAbstractButton*>(pclWidget);
}

} // namespace

// A screen reader announces each control by its row's label; a combo box's value is what it
// shows, and buttons that are not rows keep their text.
void TestSettingPanel::accessible_controlsNamedAfterTheirRows()
{
    QFETCH(QString, strControl);
    QFETCH(QString, strName);
    ClPanel clPanel;
    auto* pclRow = clPanel.clPanel.findChild<QWidget*>(strControl);
    QVERIFY(pclRow);
    QList<QWidget*> clOperated { pclRow };
    for (QWidget* pclInner : pclRow->findChildren<QWidget*>()) {
        if (isOperated(pclInner))
            clOperated.append(pclInner);
    }
    for (QWidget* pclControl : clOperated) {
        QAccessibleInterface* pclAccessible = QAccessible::queryAccessibleInterface(pclControl);
        QVERIFY(pclAccessible);
        auto* pclCombo = qobject_cast<QComboBox*>(pclControl);
        if (!pclCombo) {
            QCOMPARE(pclAccessible->text(QAccessible::Name), strName);
            continue;
        }
        // A combo box, as the desktop's screen readers expect it: named by the entry it shows,
        // labelled by its row's label, its list its child.
        QCOMPARE(pclAccessible->text(QAccessible::Value), pclCombo->currentText());
        QCOMPARE(pclAccessible->text(QAccessible::Name), pclCombo->currentText());
        const auto clLabels = pclAccessible->relations(QAccessible::Label);
        QCOMPARE(clLabels.size(), 1);
        QCOMPARE(clLabels.first().first->text(QAccessible::Name), strName);
        QCOMPARE(pclAccessible->childCount(), 1);
        QCOMPARE(pclAccessible->child(0)->childCount(), pclCombo->count());
    }
    // Every control of a setting row has a name.
    for (auto* pclItem : clPanel.clPanel.findChildren<AbstSettingItemWidget*>()) {
        for (QWidget* pclControl : pclItem->findChildren<QWidget*>()) {
            if (isOperated(pclControl))
                QVERIFY2(
                    !QAccessible::queryAccessibleInterface(pclControl)->text(QAccessible::Name).isEmpty(),
                    qPrintable(pclItem->objectName()));
        }
    }
}

void TestSettingPanel::fill_showsCameraValuesAndSendsNothing()
{
    ClPanel clPanel;
    QSignalSpy clResolution(&clPanel.clPanel, &ClSettingWidget::sigChangeRecordingResolurion);
    QSignalSpy clGrid(&clPanel.clPanel, &ClSettingWidget::sigChangeGridSetting);
    clPanel.startSession();

    QCOMPARE(clPanel.clLog.count(), 0);
    QCOMPARE(clGrid.count(), 0);
    QCOMPARE(clResolution.count(), 1);
    QCOMPARE(clResolution.at(0).at(0).toString(), QStringLiteral("1280x720 60P 16:9"));

    QCOMPARE(clPanel.combo(QStringLiteral("zk_angle_deg"))->currentText(), QStringLiteral("165"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_white_balance"))->currentText(), QStringLiteral("Cloudy"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_self_timer"))->currentText(), QStringLiteral("10"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_wdr"))->currentText(), QStringLiteral("ON"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_ae_exposure_level"))->currentText(), QStringLiteral("-1"));
    QCOMPARE(clPanel.combo(QStringLiteral("video_resolution"))->currentText(), QStringLiteral("720p 60fps"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_ae_light_metering"))->currentText(), QStringLiteral("Multi"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_image_rotation"))->currentText(), QStringLiteral("ON"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_capture_mode"))->currentText(), QStringLiteral("Burst"));
    QCOMPARE(
        clPanel.combo(QStringLiteral("zk_burst_per_sec"))->currentText(), QStringLiteral("5fps : 10frames"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_auto_power_off"))->currentText(), QStringLiteral("120seconds"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_wifi_auto_power_off"))->currentText(), QStringLiteral("ON"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_rec_duration"))->currentText(), QStringLiteral("5minutes"));
    QCOMPARE(clPanel.button(QStringLiteral("intervalButton"))->text(), QStringLiteral("00:01:30"));
    QCOMPARE(clPanel.slider(QStringLiteral("zk_rec_audio_level"))->value(), 6);
    QCOMPARE(clPanel.clPanel.findChild<ClSettingItemSlider*>(QStringLiteral("zk_rec_audio_balance"))
                 ->valueLabel()
                 ->text(),
        QStringLiteral("L3"));
    QCOMPARE(clPanel.slider(QStringLiteral("zk_speaker_volume"))->value(), 50);
    // The grid is the program's own choice and keeps its default.
    QCOMPARE(clPanel.combo(QStringLiteral("grid"))->currentText(), QStringLiteral("Single display"));

    // Filling again with other values still sends nothing.
    ClAllSettings clChanged = realisticSnapshot();
    clChanged.insert(QStringLiteral("zk_wdr"), QStringLiteral("off"));
    clChanged.insert(QStringLiteral("zk_speaker_volume"), 64);
    clPanel.clPanel.applySettings(clChanged);
    QCOMPARE(clPanel.combo(QStringLiteral("zk_wdr"))->currentText(), QStringLiteral("OFF"));
    QCOMPARE(clPanel.clLog.count(), 0);
    QCOMPARE(clResolution.count(), 2);
}

void TestSettingPanel::fill_withoutResolutionLeavesRowAndStaysQuiet()
{
    ClPanel clPanel;
    clPanel.startSession();
    QSignalSpy clResolution(&clPanel.clPanel, &ClSettingWidget::sigChangeRecordingResolurion);
    ClAllSettings clSnapshot = realisticSnapshot();
    clSnapshot.remove(QStringLiteral("video_resolution"));
    clSnapshot.insert(QStringLiteral("zk_white_balance"), QStringLiteral("night"));
    clPanel.clPanel.applySettings(clSnapshot);
    QCOMPARE(clResolution.count(), 0);
    QCOMPARE(clPanel.combo(QStringLiteral("video_resolution"))->currentText(), QStringLiteral("720p 60fps"));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_white_balance"))->currentText(), QStringLiteral("Night"));
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::reread_answerFillsPages()
{
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;
    // A refused change asks for a re-read; its answer puts the camera's values back.
    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("zk_white_balance")), QStringLiteral("Sunny")));
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
    QCOMPARE(clPanel.combo(QStringLiteral("zk_white_balance"))->currentText(), QStringLiteral("Sunny"));

    answer(&clPanel.clPanel, clPanel.clLog.take().last(), 0, realisticSnapshot());
    QCOMPARE(clPanel.combo(QStringLiteral("zk_white_balance"))->currentText(), QStringLiteral("Cloudy"));
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::wheel_changesOnlyFocusedControls()
{
    ClPanel clPanel;
    clPanel.startSession();
    openTab(&clPanel.clPanel, QStringLiteral("Detail settings"));
    QComboBox* pclRotation = clPanel.combo(QStringLiteral("zk_image_rotation"));
    QSlider* pclLevel = clPanel.slider(QStringLiteral("zk_rec_audio_level"));
    const auto fnWheel = [](QWidget* pclWidget) {
        QWheelEvent clWheel(QPointF(5, 5), pclWidget->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pclWidget, &clWheel);
    };
    const QString strRotation = pclRotation->currentText();
    const int iLevel = pclLevel->value();
    // The pointer passes over them while the page scrolls: nothing changes, nothing is sent.
    for (int i = 0; i < 3; ++i) {
        fnWheel(pclRotation);
        fnWheel(pclLevel);
    }
    QCOMPARE(pclRotation->currentText(), strRotation);
    QCOMPARE(pclLevel->value(), iLevel);
    QVERIFY(!pclRotation->hasFocus() && !pclLevel->hasFocus());
    QCOMPARE(clPanel.clLog.count(), 0);

    // Reached with Tab, the wheel is the user's way of changing it.
    QApplication::setActiveWindow(pclRotation->window());
    QVERIFY(tabTo(pclRotation));
    pclRotation->setCurrentIndex(0);
    clPanel.clLog.take();
    fnWheel(pclRotation);
    QCOMPARE(pclRotation->currentIndex(), 1);
    QCOMPARE(clPanel.clLog.count(), 1);
}

void TestSettingPanel::confirmations_sayWhatWillHappen()
{
    ClPanel clPanel;
    const QList<QPair<QString, QString>> clExpected {
        { QStringLiteral("formatDialog"), QStringLiteral("Format") },
        { QStringLiteral("cameraInitializeDialog"), QStringLiteral("Initialize") },
        { QStringLiteral("networkInitializeDialog"), QStringLiteral("Initialize") },
    };
    for (const auto& clEach : clExpected) {
        auto* pclDialog = clPanel.clPanel.findChild<QDialog*>(clEach.first);
        QVERIFY2(pclDialog, qPrintable(clEach.first));
        auto* pclWhat = pclDialog->findChild<QLabel*>(QStringLiteral("questionLabel"));
        QVERIFY2(pclWhat && pclWhat->text().endsWith(QLatin1Char('.')), qPrintable(clEach.first));
        QCOMPARE(pclDialog->findChild<QPushButton*>(QStringLiteral("okButton"))->text(), clEach.second);
    }
}

void TestSettingPanel::reread_failureEndsSession()
{
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;
    QSignalSpy clEnd(&clPanel.clPanel, &ClNodeWidget::sigEndSession);
    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("zk_self_timer")), QStringLiteral("30")));
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    // Without the camera's values the row would go on showing the refused one: the session ends
    // as when the first read fails, with no further message or request.
    answer(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clEnd.count(), 1);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::grid_neverReachesCameraAndStaysUsable()
{
    ClPanel clPanel;
    clPanel.startSession();
    QSignalSpy clGrid(&clPanel.clPanel, &ClSettingWidget::sigChangeGridSetting);

    clPanel.clPanel.slotSetSettingEnable(false);
    for (const char* pcKey : { "zk_angle_deg", "zk_white_balance", "zk_self_timer", "zk_wdr",
             "zk_ae_exposure_level", "video_resolution" })
        QVERIFY2(!clPanel.combo(QLatin1String(pcKey))->isEnabled(), pcKey);
    QVERIFY(clPanel.combo(QStringLiteral("grid"))->isEnabled());

    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("grid")), QStringLiteral("Quad display")));
    QCOMPARE(clGrid.count(), 1);
    QCOMPARE(clGrid.at(0).at(0).toString(), QStringLiteral("grid_div4"));
    QCOMPARE(clPanel.clLog.count(), 0);

    // The end of a session puts the grid back, which the live view hears about.
    clPanel.clPanel.showSettingPage(0);
    clPanel.clPanel.resetGridSetting();
    QCOMPARE(clGrid.count(), 2);
    QCOMPARE(clGrid.at(1).at(0).toString(), QStringLiteral("grid_none"));
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::simple_refusedShowsLabelThenRereads_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<QString>("message");
    QTest::newRow("WDR") << "zk_wdr"
                         << "OFF"
                         << "off"
                         << "Failed to set WDR";
    QTest::newRow("white balance") << "zk_white_balance"
                                   << "Incandescent light"
                                   << "incandecent"
                                   << "Failed to set WB";
    QTest::newRow("angle") << "zk_angle_deg"
                           << "135"
                           << "120"
                           << "Failed to set Angle";
    QTest::newRow("exposure") << "zk_ae_exposure_level"
                              << "+2"
                              << "2"
                              << "Failed to set Exposure";
    QTest::newRow("resolution") << "video_resolution"
                                << "WVGA 240fps"
                                << "848x480 240P 16:9"
                                << "Failed to set Resolution";
}

void TestSettingPanel::simple_refusedShowsLabelThenRereads()
{
    QFETCH(QString, key);
    QFETCH(QString, entry);
    QFETCH(QString, wire);
    QFETCH(QString, message);
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;

    QVERIFY(chooseComboEntry(clPanel.combo(key), entry));
    QCOMPARE(clPanel.clLog.count(), 1);
    const ZK_CMD clRequest = clPanel.clLog.take().last();
    QCOMPARE(zkCommand(clRequest), CMD_SET_SETTING);
    QCOMPARE(clRequest.value(ZkKey::PARAM1).toString(), key);
    QCOMPARE(clRequest.value(ZkKey::PARAM2).toString(), wire);

    answerSet(&clPanel.clPanel, clRequest, 1);
    QCOMPARE(clDriver.clMessages, QStringList { message });
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
}

void TestSettingPanel::simple_refusedResolutionWithoutKeyOnlyRereads()
{
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;
    QVERIFY(
        chooseComboEntry(clPanel.combo(QStringLiteral("video_resolution")), QStringLiteral("1080p 30fps")));
    // The camera failed before the main set: the answer has no key.
    answer(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clDriver.iDialogsSeen, 0);
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
}

void TestSettingPanel::simple_rereadOnlyAfterResolutionSuccess()
{
    ClPanel clPanel;
    clPanel.startSession();
    QSignalSpy clResolution(&clPanel.clPanel, &ClSettingWidget::sigChangeRecordingResolurion);

    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("zk_wdr")), QStringLiteral("OFF")));
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), 0);
    QCOMPARE(clPanel.clLog.count(), 0);
    QCOMPARE(clResolution.count(), 0);

    // A new resolution is told to the session manager at once and read back after success.
    QVERIFY(
        chooseComboEntry(clPanel.combo(QStringLiteral("video_resolution")), QStringLiteral("720p 120fps")));
    QCOMPARE(clResolution.count(), 1);
    QCOMPARE(clResolution.at(0).at(0).toString(), QStringLiteral("1280x720 120P 16:9"));
    const ZK_CMD clRequest = clPanel.clLog.take().last();
    QCOMPARE(clRequest.value(ZkKey::PARAM2).toString(), QStringLiteral("1280x720 120P 16:9"));
    answerSet(&clPanel.clPanel, clRequest, 0);
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
    ClAllSettings clSnapshot = realisticSnapshot();
    clSnapshot.insert(QStringLiteral("video_resolution"), QStringLiteral("1280x720 120P 16:9"));
    answer(&clPanel.clPanel, clPanel.clLog.take().last(), 0, clSnapshot);
    QCOMPARE(clResolution.count(), 2);
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::transportFailure_isReportedAndReread()
{
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;
    QSignalSpy clEnd(&clPanel.clPanel, &ClNodeWidget::sigEndSession);
    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("zk_wdr")), QStringLiteral("OFF")));
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), ZkError::Timeout);
    QCOMPARE(clDriver.clMessages, QStringList { QStringLiteral("Failed to set WDR") });
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
    QCOMPARE(clEnd.count(), 0);
}

void TestSettingPanel::reread_notSentOnceSessionEnded()
{
    ClPanel clPanel;
    clPanel.startSession();
    ClModalDriver clDriver;
    QVERIFY(chooseComboEntry(clPanel.combo(QStringLiteral("zk_wdr")), QStringLiteral("OFF")));

    // The session ends while the failure message is open: closing it asks the camera for nothing.
    clDriver.expect([&](QDialog* pclOpen) {
        clPanel.clPanel.showSettingPage(0);
        pclOpen->accept();
    });
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    QCOMPARE(clPanel.clLog.count(), 0);

    // Neither page's re-read leaves the panel while it shows the connect page ...
    for (QWidget* pclPage : { clPanel.simple(), clPanel.detail() })
        emit qobject_cast<ClSettingPageWidget*>(pclPage)->sigRequestGetSettings();
    QCOMPARE(clPanel.clLog.count(), 0);

    // ... and both do again once it shows the settings.
    clPanel.startSession();
    for (QWidget* pclPage : { clPanel.simple(), clPanel.detail() })
        emit qobject_cast<ClSettingPageWidget*>(pclPage)->sigRequestGetSettings();
    QCOMPARE(clPanel.clLog.count(), 2);
    QVERIFY(isReread(clPanel.clLog.clRequests.at(0)));
    QVERIFY(isReread(clPanel.clLog.clRequests.at(1)));
}

void TestSettingPanel::actOnDetail(ClPanel& clPanel, ClModalDriver& clDriver, const QString& strAction)
{
    if (strAction == QLatin1String("zk_ae_light_metering")) {
        QVERIFY(chooseComboEntry(clPanel.combo(strAction), QStringLiteral("Center")));
    } else if (strAction == QLatin1String("zk_rec_duration")) {
        QVERIFY(chooseComboEntry(clPanel.combo(strAction), QStringLiteral("1minute")));
    } else if (strAction == QLatin1String("zk_rec_audio_level")) {
        QVERIFY(dragSliderTo(clPanel.slider(strAction), 9));
    } else if (strAction == QLatin1String("zk_rec_audio_balance")) {
        QVERIFY(dragSliderTo(clPanel.slider(strAction), 2));
    } else if (strAction == QLatin1String("zk_speaker_volume")) {
        QVERIFY(setSliderByUser(clPanel.slider(strAction), 25));
    } else if (strAction == QLatin1String("camera_clock")) {
        QVERIFY(chooseComboEntry(
            clPanel.clPanel.findChild<QComboBox*>(QStringLiteral("syncTimeCombo")), QStringLiteral("ON")));
    } else if (strAction == QLatin1String("zk_interval_time")) {
        clDriver.expect([](QDialog* pclOpen) {
            QTest::keyClick(pclOpen->findChild<QWidget*>(QStringLiteral("secondSpinBox")), Qt::Key_Up);
            clickButton(pclOpen, QStringLiteral("okButton"));
        });
        QTest::mouseClick(clPanel.button(QStringLiteral("intervalButton")), Qt::LeftButton);
    } else {
        // The confirmed actions: format, network and camera initialize.
        clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("okButton")); });
        QTest::mouseClick(clPanel.rowButton(strAction), Qt::LeftButton);
    }
}

void TestSettingPanel::detail_sendsRowValues()
{
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;
    const QList<QPair<QString, QVariant>> clExpected = {
        { QStringLiteral("zk_ae_light_metering"), QStringLiteral("center") },
        { QStringLiteral("zk_rec_duration"), QStringLiteral("1min") },
        { QStringLiteral("zk_rec_audio_level"), 9 },
        { QStringLiteral("zk_rec_audio_balance"), 2 },
        { QStringLiteral("zk_speaker_volume"), 16 },
        { QStringLiteral("zk_interval_time"), QStringLiteral("00:01:31") },
    };
    for (const auto& clCase : clExpected) {
        actOnDetail(clPanel, clDriver, clCase.first);
        QCOMPARE(clPanel.clLog.count(), 1);
        const ZK_CMD clCmd = clPanel.clLog.take().last();
        QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
        QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), clCase.first);
        QCOMPARE(clCmd.value(ZkKey::PARAM2), clCase.second);
    }
    QCOMPARE(clDriver.iDialogsSeen, 1);
}

void TestSettingPanel::detail_refusedShowsLabelThenRereads_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("balance") << "zk_rec_audio_balance"
                             << "Failed to set Recording balance";
    QTest::newRow("level") << "zk_rec_audio_level"
                           << "Failed to set Recording level";
    QTest::newRow("photometry") << "zk_ae_light_metering"
                                << "Failed to set Photometry";
    QTest::newRow("volume") << "zk_speaker_volume"
                            << "Failed to set Volume";
    QTest::newRow("interval") << "zk_interval_time"
                              << "Failed to set Interval time";
    QTest::newRow("camera initialize") << "zk_factory_reset_cam"
                                       << "Failed to set Camera initialize";
    QTest::newRow("network initialize") << "zk_factory_reset_network"
                                        << "Failed to set Network setting initialize";
    QTest::newRow("clock") << "camera_clock"
                           << "Failed to Sync time";
    QTest::newRow("format") << "sdFormat"
                            << "Failed to SD format";
}

void TestSettingPanel::detail_refusedShowsLabelThenRereads()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;

    actOnDetail(clPanel, clDriver, action);
    QCOMPARE(clPanel.clLog.count(), 1);
    const int iDialogsBefore = clDriver.iDialogsSeen;
    answerSet(&clPanel.clPanel, clPanel.clLog.take().last(), 1);
    QCOMPARE(clDriver.iDialogsSeen, iDialogsBefore + 1);
    QCOMPARE(clDriver.clMessages, QStringList { message });
    QCOMPARE(clPanel.clLog.count(), 1);
    QVERIFY(isReread(clPanel.clLog.last()));
}

void TestSettingPanel::detail_confirmations_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("key");
    QTest::newRow("SD format") << "sdFormat"
                               << "SD format" << QString();
    QTest::newRow("camera initialize") << "zk_factory_reset_cam"
                                       << "Camera initialize"
                                       << "zk_factory_reset_cam";
    QTest::newRow("network initialize") << "zk_factory_reset_network"
                                        << "Network setting initialize"
                                        << "zk_factory_reset_network";
}

void TestSettingPanel::detail_confirmations()
{
    QFETCH(QString, row);
    QFETCH(QString, title);
    QFETCH(QString, key);
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;
    QString strTitle;

    clDriver.expect([&](QDialog* pclOpen) {
        strTitle = pclOpen->windowTitle();
        clickButton(pclOpen, QStringLiteral("cancelButton"));
    });
    QTest::mouseClick(clPanel.rowButton(row), Qt::LeftButton);
    QCOMPARE(strTitle, title);
    QCOMPARE(clPanel.clLog.count(), 0);

    clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("okButton")); });
    QTest::mouseClick(clPanel.rowButton(row), Qt::LeftButton);
    QCOMPARE(clDriver.iDialogsSeen, 2);
    QCOMPARE(clPanel.clLog.count(), 1);
    const ZK_CMD clCmd = clPanel.clLog.last();
    if (key.isEmpty()) {
        QCOMPARE(zkCommand(clCmd), CMD_FORMAT);
        QVERIFY(!clCmd.contains(ZkKey::PARAM1));
        // Success of the format is silent.
        answer(&clPanel.clPanel, clCmd, 0);
        QCOMPARE(clPanel.clLog.count(), 1);
    } else {
        QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
        QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), key);
        QCOMPARE(clCmd.value(ZkKey::PARAM2).toString(), QStringLiteral("set"));
    }
}

void TestSettingPanel::detail_intervalButton()
{
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;
    QPushButton* pclButton = clPanel.button(QStringLiteral("intervalButton"));

    // The dialog opens at the camera's value; a cancelled edit sends and shows nothing.
    QString strOpenedAt;
    clDriver.expect([&](QDialog* pclOpen) {
        strOpenedAt
            = pclOpen->findChild<QWidget*>(QStringLiteral("hourSpinBox"))->property("value").toString() + ":"
            + pclOpen->findChild<QWidget*>(QStringLiteral("minuteSpinBox"))->property("value").toString()
            + ":"
            + pclOpen->findChild<QWidget*>(QStringLiteral("secondSpinBox"))->property("value").toString();
        QTest::keyClick(pclOpen->findChild<QWidget*>(QStringLiteral("minuteSpinBox")), Qt::Key_Down);
        clickButton(pclOpen, QStringLiteral("cancelButton"));
    });
    QTest::mouseClick(pclButton, Qt::LeftButton);
    QCOMPARE(strOpenedAt, QStringLiteral("0:1:30"));
    QCOMPARE(clPanel.clLog.count(), 0);
    QCOMPARE(pclButton->text(), QStringLiteral("00:01:30"));

    clDriver.expect([](QDialog* pclOpen) {
        QWidget* pclMinutes = pclOpen->findChild<QWidget*>(QStringLiteral("minuteSpinBox"));
        QTest::keyClick(pclMinutes, Qt::Key_Down);
        QTest::keyClick(pclMinutes, Qt::Key_Down);
        clickButton(pclOpen, QStringLiteral("okButton"));
    });
    QTest::mouseClick(pclButton, Qt::LeftButton);
    QCOMPARE(pclButton->text(), QStringLiteral("00:00:30"));
    QCOMPARE(clPanel.clLog.count(), 1);
    QCOMPARE(clPanel.clLog.last().value(ZkKey::PARAM1).toString(), QStringLiteral("zk_interval_time"));
    QCOMPARE(clPanel.clLog.last().value(ZkKey::PARAM2).toString(), QStringLiteral("00:00:30"));
}

void TestSettingPanel::apChain_data()
{
    QTest::addColumn<int>("failingStep");
    QTest::addColumn<QString>("message");
    QTest::newRow("all succeed") << 0 << QString();
    QTest::newRow("SSID refused") << 1 << "Failed to set AP setting";
    QTest::newRow("key refused") << 2 << "Failed to set key";
    QTest::newRow("apply refused") << 3 << "Failed to set AP setting";
}

void TestSettingPanel::apChain()
{
    QFETCH(int, failingStep);
    QFETCH(QString, message);
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;
    QSignalSpy clStop(&clPanel.clPanel, &ClSettingWidget::sigRequestStopSession);

    clDriver.expect([](QDialog* pclOpen) {
        typeAccessPoint(pclOpen, QStringLiteral("abc"), QStringLiteral("pass_123"));
        clickButton(pclOpen, QStringLiteral("okButton"));
    });
    QTest::mouseClick(clPanel.button(QStringLiteral("apButton")), Qt::LeftButton);

    const QList<QPair<QString, QString>> clSteps = { { QStringLiteral("zk_ap_ssid"), QStringLiteral("abc") },
        { QStringLiteral("zk_ap_key"), QStringLiteral("pass_123") },
        { QStringLiteral("zk_wifi_apply_new_param"), QStringLiteral("pass_123") } };
    for (int iStep = 1; iStep <= 3; ++iStep) {
        // Each step goes out alone, only after the one before it succeeded.
        QCOMPARE(clPanel.clLog.count(), 1);
        const ZK_CMD clCmd = clPanel.clLog.take().last();
        QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
        QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), clSteps.at(iStep - 1).first);
        QCOMPARE(clCmd.value(ZkKey::PARAM2).toString(), clSteps.at(iStep - 1).second);
        QCOMPARE(clStop.count(), 0);
        if (iStep == failingStep) {
            answerSet(&clPanel.clPanel, clCmd, 1);
            QCOMPARE(clDriver.clMessages, QStringList { message });
            // The chain stops; only the re-read follows and the session stays.
            QCOMPARE(clPanel.clLog.count(), 1);
            QVERIFY(isReread(clPanel.clLog.last()));
            QCOMPARE(clStop.count(), 0);
            return;
        }
        answerSet(&clPanel.clPanel, clCmd, 0);
    }
    QCOMPARE(clPanel.clLog.count(), 0);
    QCOMPARE(clStop.count(), 1);
    QCOMPARE(clDriver.iDialogsSeen, 1);
}

void TestSettingPanel::syncTime_userSwitch()
{
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    auto* pclSync = clPanel.clPanel.findChild<QComboBox*>(QStringLiteral("syncTimeCombo"));
    QCOMPARE(pclSync->currentText(), QStringLiteral("OFF"));
    QCOMPARE(clPanel.clLog.count(), 0);

    const QDateTime clBefore = QDateTime::currentDateTime().addSecs(-1);
    QVERIFY(chooseComboEntry(pclSync, QStringLiteral("ON")));
    const QDateTime clAfter = QDateTime::currentDateTime().addSecs(1);
    QCOMPARE(ClSetting().readValue(PREF_SYNC_TIME, false).toBool(), true);
    QCOMPARE(clPanel.clLog.count(), 1);
    const ZK_CMD clCmd = clPanel.clLog.take().last();
    QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
    QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), QStringLiteral("camera_clock"));
    QCOMPARE(clCmd.value(ZkKey::PARAM2).userType(), int(QMetaType::QDateTime));
    const QDateTime clSent = clCmd.value(ZkKey::PARAM2).toDateTime();
    QVERIFY(clSent >= clBefore && clSent <= clAfter);
    // Success is silent.
    answerSet(&clPanel.clPanel, clCmd, 0);
    QCOMPARE(clPanel.clLog.count(), 0);

    QVERIFY(chooseComboEntry(pclSync, QStringLiteral("OFF")));
    QCOMPARE(ClSetting().readValue(PREF_SYNC_TIME, true).toBool(), false);
    QCOMPARE(clPanel.clLog.count(), 0);
    clPanel.clPanel.syncCameraClock();
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::syncTime_preferenceReadAtStart()
{
    // A fresh store gets the default written back.
    ClSetting().removeKey(PREF_SYNC_TIME);
    {
        ClPanel clPanel;
        QCOMPARE(clPanel.clPanel.findChild<QComboBox*>(QStringLiteral("syncTimeCombo"))->currentText(),
            QStringLiteral("OFF"));
        QVERIFY(ClSetting().keyNames(QStringLiteral("setting")).contains(QStringLiteral("synctime")));
    }

    ClSetting().writeValue(PREF_SYNC_TIME, true);
    ClPanel clPanel;
    QCOMPARE(clPanel.clPanel.findChild<QComboBox*>(QStringLiteral("syncTimeCombo"))->currentText(),
        QStringLiteral("ON"));
    // Building the page sent nothing; the session start does.
    QCOMPARE(clPanel.clLog.count(), 0);
    clPanel.startSession();
    clPanel.clPanel.syncCameraClock();
    QCOMPARE(clPanel.clLog.count(), 1);
    QCOMPARE(clPanel.clLog.last().value(ZkKey::PARAM1).toString(), QStringLiteral("camera_clock"));
}

void TestSettingPanel::information_usableWhileDisabled()
{
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    QSignalSpy clUpdate(&clPanel.clPanel, &ClSettingWidget::sigRequestUpdate);
    clPanel.clPanel.slotSetSettingEnable(false);

    for (const char* pcName : { "zk_ae_light_metering", "zk_burst_per_sec", "intervalButton",
             "zk_rec_audio_level", "zk_rec_audio_balance", "zk_auto_power_off", "zk_wifi_auto_power_off",
             "apButton", "zk_factory_reset_network", "zk_rec_duration", "zk_speaker_volume", "syncTimeCombo",
             "sdFormat", "zk_factory_reset_cam" })
        QVERIFY2(!clPanel.clPanel.findChild<QWidget*>(QLatin1String(pcName))->isEnabled(), pcName);
    QPushButton* pclDisplay = clPanel.button(QStringLiteral("informationButton"));
    QVERIFY(pclDisplay->isEnabled());

    ClModalDriver clDriver;
    QString strFirmware;
    clDriver.expect([&](QDialog* pclOpen) {
        strFirmware = pclOpen->findChild<QLabel*>(QStringLiteral("fwVersionLabel"))->text();
        clickButton(pclOpen, QStringLiteral("updateButton"));
    });
    QTest::mouseClick(pclDisplay, Qt::LeftButton);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    QCOMPARE(strFirmware, QStringLiteral("FW version : 01.00.0009"));
    QCOMPARE(clUpdate.count(), 1);
    QCOMPARE(clPanel.clLog.count(), 0);
}

void TestSettingPanel::backToConnectPage_closesDialogAndSelectsSimple_data()
{
    QTest::addColumn<QString>("opener");
    QTest::newRow("access point") << "apButton";
    QTest::newRow("interval") << "intervalButton";
    QTest::newRow("information") << "informationButton";
    QTest::newRow("SD format confirmation") << "sdFormat";
}

void TestSettingPanel::backToConnectPage_closesDialogAndSelectsSimple()
{
    QFETCH(QString, opener);
    ClPanel clPanel;
    clPanel.startSession();
    openTab(clPanel.toolBox(), QStringLiteral("Detail settings"));
    QCOMPARE(clPanel.toolBox()->currentWidget(), clPanel.detail());
    ClModalDriver clDriver;
    QPointer<QDialog> pclOpened;
    // The session ends while the dialog is open.
    clDriver.expect([&](QDialog* pclOpen) {
        pclOpened = pclOpen;
        if (opener == QLatin1String("apButton"))
            typeAccessPoint(pclOpen, QStringLiteral("abc"), QStringLiteral("12345678"));
        clPanel.clPanel.showSettingPage(0);
    });
    QPushButton* pclOpener = clPanel.button(opener);
    if (!pclOpener)
        pclOpener = clPanel.rowButton(opener);
    QTest::mouseClick(pclOpener, Qt::LeftButton);

    QVERIFY(pclOpened);
    QVERIFY(!pclOpened->isVisible());
    QCOMPARE(pclOpened->result(), int(QDialog::Rejected));
    QCOMPARE(clPanel.clLog.count(), 0);
    auto* pclStack = qobject_cast<QStackedLayout*>(clPanel.clPanel.layout());
    QCOMPARE(pclStack->currentIndex(), 0);
    QCOMPARE(clPanel.toolBox()->currentWidget(), clPanel.simple());
}

QTEST_MAIN(TestSettingPanel)
#include "tst_settingpanel.moc"
