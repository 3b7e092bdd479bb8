// The setting rows and the page base: what a row reports and sends when the user works it, what it
// shows for a camera value, and how the page turns answers into re-reads and hides rows the
// camera's firmware does not know.

#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/CommandRecords.h"
#include "tests/support/WidgetSupport.h"

#include "camera/ClCommands.h"
#include "settings/ClDetailSettingWidget.h"
#include "settings/ClSettingConfirmDialog.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingItemRecBalance.h"
#include "settings/ClSettingItemShowDialogButton.h"
#include "settings/ClSettingItemSlider.h"
#include "settings/ClSettingItemVolume.h"
#include "settings/ClSettingPageWidget.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

using namespace Kd4Test;
using namespace SettingsTest;

namespace {

// A page with rows under a root node, shown on screen like the real panel.
struct ClPageHarness
{
    ClNodeWidget clRoot;
    ClSettingPageWidget* pclPage;
    QVBoxLayout* pclLayout;
    ClRequestLog clLog { &clRoot };

    ClPageHarness()
        : pclPage(new ClSettingPageWidget(&clRoot))
        , pclLayout(new QVBoxLayout(pclPage))
    {
        auto* pclRootLayout = new QVBoxLayout(&clRoot);
        pclRootLayout->addWidget(pclPage);
        clRoot.addNode(pclPage);
    }

    template <typename Row> Row* add(Row* pclRow)
    {
        pclLayout->addWidget(pclRow);
        pclPage->connectSettingItem(pclRow);
        pclPage->addSettingItem(pclRow);
        return pclRow;
    }

    void show() { QVERIFY(showExposed(&clRoot)); }
};

QLabel* valueLabel(ClSettingItemSlider* pclRow)
{
    return pclRow->valueLabel();
}

} // namespace

class TestSettingItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initProcess(); }

    void volume_sendsCameraScale_data();
    void volume_sendsCameraScale();
    void volume_showsPercent_data();
    void volume_showsPercent();
    void volume_releaseAfterFillReportsUntilOwnReport();
    void volume_disabledRowReleaseSendsNothing();
    void slider_reportsOnlyOnReleaseAtNewPosition();
    void slider_setValueClampsAndReleaseAtSameValueIsSilent();
    void balance_display_data();
    void balance_display();
    void combo_setValueSelectsByWireValue();
    void dialogButton_cancelSendsNothingAcceptSendsGivenValue();
    void page_failureAsksForReread_data();
    void page_failureAsksForReread();
    void page_enableListCoversRegisteredControlsOnly();
    void page_firmwareGating_data();
    void page_firmwareGating();
    void detail_firmwareGating_data();
    void detail_firmwareGating();
};

void TestSettingItems::volume_sendsCameraScale_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("camera");
    QTest::newRow("50 % is 32") << 50 << 32;
    QTest::newRow("33 % drops the fraction") << 33 << 21;
    QTest::newRow("100 % is 64") << 100 << 64;
    QTest::newRow("1 % is 0") << 1 << 0;
    QTest::newRow("0 % is 0") << 0 << 0;
}

void TestSettingItems::volume_sendsCameraScale()
{
    QFETCH(int, percent);
    QFETCH(int, camera);
    ClPageHarness clHarness;
    auto* pclVolume = clHarness.add(new ClSettingItemVolume(QStringLiteral("zk_speaker_volume"), nullptr));
    clHarness.show();
    // Report another position first, so the release at the target is always a change.
    QVERIFY(setSliderByUser(pclVolume->slider(), percent == 75 ? 80 : 75));
    QCOMPARE(clHarness.clLog.take().size(), 1);

    QVERIFY(setSliderByUser(pclVolume->slider(), percent));
    QCOMPARE(valueLabel(pclVolume)->text(), QString::number(percent) + QStringLiteral("%"));
    QCOMPARE(clHarness.clLog.count(), 1);
    const ZK_CMD clCmd = clHarness.clLog.last();
    QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
    QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), QStringLiteral("zk_speaker_volume"));
    QCOMPARE(clCmd.value(ZkKey::PARAM2).toInt(), camera);
}

void TestSettingItems::volume_showsPercent_data()
{
    QTest::addColumn<QVariant>("camera");
    QTest::addColumn<int>("percent");
    QTest::newRow("32 is 50 %") << QVariant(32) << 50;
    QTest::newRow("21 drops the fraction") << QVariant(21) << 32;
    QTest::newRow("64 is 100 %") << QVariant(64) << 100;
    QTest::newRow("text 16 is 25 %") << QVariant(QStringLiteral("16")) << 25;
}

void TestSettingItems::volume_showsPercent()
{
    QFETCH(QVariant, camera);
    QFETCH(int, percent);
    ClSettingItemVolume clVolume(QStringLiteral("zk_speaker_volume"), nullptr);
    clVolume.setValue(camera);
    QCOMPARE(clVolume.slider()->value(), percent);
    QCOMPARE(valueLabel(&clVolume)->text(), QString::number(percent) + QStringLiteral("%"));
    QCOMPARE(clVolume.getValue().toInt(), ClSettingItemVolume::toCameraValue(percent));
}

void TestSettingItems::volume_releaseAfterFillReportsUntilOwnReport()
{
    ClPageHarness clHarness;
    auto* pclVolume = clHarness.add(new ClSettingItemVolume(QStringLiteral("zk_speaker_volume"), nullptr));
    clHarness.show();

    // A value from the camera moves the slider but is not what the row last reported (0).
    pclVolume->setValue(32);
    QCOMPARE(clHarness.clLog.count(), 0);
    clickSliderHandle(pclVolume->slider());
    QCOMPARE(clHarness.clLog.count(), 1);
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM2).toInt(), 32);

    // Now the row has reported 50 %: another release in place is silent.
    clickSliderHandle(pclVolume->slider());
    QCOMPARE(clHarness.clLog.count(), 1);
}

void TestSettingItems::volume_disabledRowReleaseSendsNothing()
{
    ClPageHarness clHarness;
    auto* pclVolume = clHarness.add(new ClSettingItemVolume(QStringLiteral("zk_speaker_volume"), nullptr));
    clHarness.show();

    // The camera's value differs from what the row last reported, so a release on an enabled
    // row would send it; greyed out (the camera records), a click on the row must not.
    pclVolume->setValue(32);
    clHarness.pclPage->setSettingItemsEnable(false);
    QVERIFY(!pclVolume->slider()->isEnabled());
    clickSliderHandle(pclVolume->slider());
    // A drag on the disabled slider moves nothing; its release far from the handle is no change.
    QVERIFY(!dragSliderTo(pclVolume->slider(), 80));
    QCOMPARE(pclVolume->slider()->value(), 50);
    QCOMPARE(clHarness.clLog.count(), 0);

    // Enabled again, the same click is the user's change.
    clHarness.pclPage->setSettingItemsEnable(true);
    clickSliderHandle(pclVolume->slider());
    QCOMPARE(clHarness.clLog.count(), 1);
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM2).toInt(), 32);
}

void TestSettingItems::slider_reportsOnlyOnReleaseAtNewPosition()
{
    ClPageHarness clHarness;
    auto* pclLevel = clHarness.add(
        new ClSettingItemSlider(QStringLiteral("zk_rec_audio_level"), QStringLiteral("Level"), nullptr));
    pclLevel->setRange(0, 10);
    clHarness.show();

    // Dragging shows each value at once but sends nothing until the button is released.
    QSlider* pclSlider = pclLevel->slider();
    int iSentWhileMoving = 0;
    QStringList clShown;
    connect(pclSlider, &QSlider::valueChanged, this, [&] {
        iSentWhileMoving += clHarness.clLog.count();
        clShown.append(valueLabel(pclLevel)->text());
    });
    QVERIFY(dragSliderTo(pclSlider, 6));
    QVERIFY(clShown.size() >= 2);
    QCOMPARE(iSentWhileMoving, 0);
    disconnect(pclSlider, &QSlider::valueChanged, this, nullptr);
    QCOMPARE(valueLabel(pclLevel)->text(), QStringLiteral("6"));
    QCOMPARE(clHarness.clLog.count(), 1);
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM1).toString(), QStringLiteral("zk_rec_audio_level"));
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM2).toInt(), 6);

    // The keyboard moves the slider; the change goes out with the next release over the slider.
    QTest::keyClick(pclSlider, Qt::Key_Right);
    QCOMPARE(pclSlider->value(), 7);
    QCOMPARE(valueLabel(pclLevel)->text(), QStringLiteral("7"));
    QCOMPARE(clHarness.clLog.count(), 1);
    clickSliderHandle(pclSlider);
    QCOMPARE(clHarness.clLog.count(), 2);
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM2).toInt(), 7);

    // Dragging away and back to the same value is no change.
    QVERIFY(dragSliderTo(pclSlider, 7));
    QCOMPARE(clHarness.clLog.count(), 2);
}

void TestSettingItems::slider_setValueClampsAndReleaseAtSameValueIsSilent()
{
    ClPageHarness clHarness;
    auto* pclLevel
        = clHarness.add(new ClSettingItemSlider(QStringLiteral("zk_rec_audio_level"), QString(), nullptr));
    pclLevel->setRange(0, 10);
    pclLevel->setUnit(QStringLiteral("dB"));
    clHarness.show();

    pclLevel->setValue(QStringLiteral("7"));
    QCOMPARE(pclLevel->slider()->value(), 7);
    QCOMPARE(valueLabel(pclLevel)->text(), QStringLiteral("7dB"));
    clickSliderHandle(pclLevel->slider());
    QCOMPARE(clHarness.clLog.count(), 0);

    // Beyond the range the slider stops at its end.
    pclLevel->setValue(25);
    QCOMPARE(pclLevel->slider()->value(), 10);
    QCOMPARE(valueLabel(pclLevel)->text(), QStringLiteral("10dB"));
}

void TestSettingItems::balance_display_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("left") << -3 << QStringLiteral("L3");
    QTest::newRow("right") << 4 << QStringLiteral("R4");
    QTest::newRow("centre") << 0 << QStringLiteral("0");
    QTest::newRow("far left") << -5 << QStringLiteral("L5");
    QTest::newRow("far right") << 5 << QStringLiteral("R5");
}

void TestSettingItems::balance_display()
{
    QFETCH(int, value);
    QFETCH(QString, shown);
    ClSettingItemRecBalance clBalance(
        QStringLiteral("zk_rec_audio_balance"), QStringLiteral("Balance"), nullptr);
    clBalance.setRange(-5, 5);
    // Start elsewhere so the display follows a real change.
    clBalance.setValue(value == 1 ? 2 : 1);
    clBalance.setValue(value);
    QCOMPARE(valueLabel(&clBalance)->text(), shown);
    QCOMPARE(clBalance.getValue().toInt(), value);
}

void TestSettingItems::combo_setValueSelectsByWireValue()
{
    ClPageHarness clHarness;
    auto* pclWb = new ClSettingItemComboBox(QStringLiteral("zk_white_balance"), nullptr);
    pclWb->setItemList({ { QStringLiteral("Auto"), QStringLiteral("auto") },
        { QStringLiteral("Night"), QStringLiteral("night") },
        { QStringLiteral("Sunny"), QStringLiteral("daylight") } });
    clHarness.add(pclWb);
    clHarness.show();
    QSignalSpy clChanged(pclWb, &AbstSettingItemWidget::sigSettingChangedNotify);

    pclWb->setValue(QStringLiteral("night"));
    QCOMPARE(pclWb->comboBox()->currentText(), QStringLiteral("Night"));
    QCOMPARE(pclWb->getValue().toString(), QStringLiteral("night"));
    QCOMPARE(clChanged.count(), 1);

    // Values no entry carries, and values that are no text, leave the selection alone.
    pclWb->setValue(QStringLiteral("Night"));
    pclWb->setValue(QStringLiteral("sunny"));
    pclWb->setValue(QVariant());
    pclWb->setValue(QDateTime::currentDateTime());
    QCOMPARE(pclWb->comboBox()->currentText(), QStringLiteral("Night"));
    QCOMPARE(clChanged.count(), 1);

    // Only the user's choice goes out, as the wire value.
    QCOMPARE(clHarness.clLog.count(), 1);
    clHarness.clLog.take();
    QVERIFY(chooseComboEntry(pclWb->comboBox(), QStringLiteral("Sunny")));
    QCOMPARE(clHarness.clLog.count(), 1);
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM1).toString(), QStringLiteral("zk_white_balance"));
    QCOMPARE(clHarness.clLog.last().value(ZkKey::PARAM2).toString(), QStringLiteral("daylight"));
}

void TestSettingItems::dialogButton_cancelSendsNothingAcceptSendsGivenValue()
{
    ClPageHarness clHarness;
    auto* pclDialog = new ClSettingConfirmDialog(QStringLiteral("Really?"), clHarness.pclPage);
    auto* pclButton = clHarness.add(new ClSettingItemShowDialogButton(
        QStringLiteral("zk_something"), QStringLiteral("Do it"), pclDialog, QString(), nullptr));
    clHarness.show();
    ClModalDriver clDriver;

    clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("cancelButton")); });
    QTest::mouseClick(pclButton->button(), Qt::LeftButton);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    QCOMPARE(clHarness.clLog.count(), 0);

    clDriver.expect([](QDialog* pclOpen) { QTest::keyClick(pclOpen, Qt::Key_Escape); });
    QTest::mouseClick(pclButton->button(), Qt::LeftButton);
    QCOMPARE(clDriver.iDialogsSeen, 2);
    QCOMPARE(clHarness.clLog.count(), 0);

    // Accepted: the value given at construction goes out, even though it is empty.
    clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("okButton")); });
    QTest::mouseClick(pclButton->button(), Qt::LeftButton);
    QCOMPARE(clDriver.iDialogsSeen, 3);
    QCOMPARE(clHarness.clLog.count(), 1);
    const ZK_CMD clCmd = clHarness.clLog.last();
    QCOMPARE(zkCommand(clCmd), CMD_SET_SETTING);
    QCOMPARE(clCmd.value(ZkKey::PARAM1).toString(), QStringLiteral("zk_something"));
    QVERIFY(clCmd.contains(ZkKey::PARAM2));
    QCOMPARE(clCmd.value(ZkKey::PARAM2).toString(), QString());
}

void TestSettingItems::page_failureAsksForReread_data()
{
    QTest::addColumn<QVariant>("error");
    QTest::addColumn<bool>("reread");
    QTest::addColumn<bool>("endSession");
    QTest::newRow("camera refuses with 5") << QVariant(5) << true << false;
    QTest::newRow("reply not JSON") << QVariant(ZkError::NotJson) << true << false;
    QTest::newRow("success") << QVariant(0) << false << false;
    QTest::newRow("no ERROR counts as success") << QVariant() << false << false;
    QTest::newRow("text ERROR counts as success") << QVariant(QStringLiteral("bad")) << false << false;
    QTest::newRow("time-out asks for a re-read") << QVariant(ZkError::Timeout) << true << false;
    QTest::newRow("failed transfer asks for a re-read") << QVariant(ZkError::TransferFailed) << true << false;
    QTest::newRow("session gone on the camera ends it") << QVariant(ZkError::CameraRefused) << false << true;
}

void TestSettingItems::page_failureAsksForReread()
{
    QFETCH(QVariant, error);
    QFETCH(bool, reread);
    QFETCH(bool, endSession);
    ClPageHarness clHarness;
    // Entries are set before the page listens, as the real pages do.
    auto* pclWdr = new ClSettingItemComboBox(QStringLiteral("zk_wdr"), nullptr);
    pclWdr->setItemList(
        { { QStringLiteral("OFF"), QStringLiteral("off") }, { QStringLiteral("ON"), QStringLiteral("on") } });
    clHarness.add(pclWdr);
    clHarness.show();
    QSignalSpy clReread(clHarness.pclPage, &ClSettingPageWidget::sigRequestGetSettings);
    QSignalSpy clEnd(&clHarness.clRoot, &ClNodeWidget::sigEndSession);

    QVERIFY(chooseComboEntry(pclWdr->comboBox(), QStringLiteral("ON")));
    QCOMPARE(clHarness.clLog.count(), 1);
    clHarness.clRoot.routeResponse(answerTo(clHarness.clLog.last(), error, QStringLiteral("zk_wdr")));

    QCOMPARE(clReread.count(), reread ? 1 : 0);
    QCOMPARE(clEnd.count(), endSession ? 1 : 0);
}

void TestSettingItems::page_enableListCoversRegisteredControlsOnly()
{
    ClPageHarness clHarness;
    auto* pclWdr = clHarness.add(new ClSettingItemComboBox(QStringLiteral("zk_wdr"), nullptr));
    auto* pclFree = new QPushButton(QStringLiteral("free"), clHarness.pclPage);
    clHarness.pclPage->setSettingItemsEnable(false);
    QVERIFY(!pclWdr->isEnabled());
    QVERIFY(pclFree->isEnabled());
    clHarness.pclPage->setSettingItemsEnable(true);
    QVERIFY(pclWdr->isEnabled());
}

void TestSettingItems::page_firmwareGating_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("newShown");
    QTest::addColumn<bool>("oldShown");
    QTest::newRow("1.0.5 between") << QStringLiteral("1.0.5") << false << true;
    QTest::newRow("1.1.0 exactly") << QStringLiteral("1.1.0") << true << true;
    QTest::newRow("1.0.0 exactly") << QStringLiteral("1.0.0") << false << true;
    QTest::newRow("0.9.9 below both") << QStringLiteral("0.9.9") << false << false;
    QTest::newRow("empty reads 0") << QString() << false << false;
    QTest::newRow("not a number reads 0") << QStringLiteral("v1.2") << false << false;
}

void TestSettingItems::page_firmwareGating()
{
    QFETCH(QString, firmware);
    QFETCH(bool, newShown);
    QFETCH(bool, oldShown);
    ClSettingPageWidget clPage;
    auto* pclNew = new QLabel(QStringLiteral("new"), &clPage);
    auto* pclNew2 = new QLabel(QStringLiteral("new too"), &clPage);
    auto* pclOld = new QLabel(QStringLiteral("old"), &clPage);
    auto* pclAlways = new QLabel(QStringLiteral("always"), &clPage);
    clPage.addVersionItem(QStringLiteral("1.1.0"), pclNew);
    clPage.addVersionItem(QStringLiteral("1.1.0"), pclNew2);
    clPage.addVersionItem(QStringLiteral("1.0.0"), pclOld);
    // Gated widgets are shown until a version is known.
    QVERIFY(!pclNew->isHidden());

    clPage.applyFirmwareVersion(firmware);
    QCOMPARE(!pclNew->isHidden(), newShown);
    QCOMPARE(!pclNew2->isHidden(), newShown);
    QCOMPARE(!pclOld->isHidden(), oldShown);
    QVERIFY(!pclAlways->isHidden());

    // A later, newer version shows everything again.
    clPage.applyFirmwareVersion(QStringLiteral("2.0.0"));
    QVERIFY(!pclNew->isHidden());
    QVERIFY(!pclOld->isHidden());
}

void TestSettingItems::detail_firmwareGating_data()
{
    QTest::addColumn<QVariant>("firmware");
    QTest::addColumn<bool>("shown");
    QTest::newRow("01.00.0008 hides") << QVariant(QStringLiteral("01.00.0008")) << false;
    QTest::newRow("01.00.0009 shows") << QVariant(QStringLiteral("01.00.0009")) << true;
    QTest::newRow("01.00.0010 shows") << QVariant(QStringLiteral("01.00.0010")) << true;
    QTest::newRow("empty hides") << QVariant(QString()) << false;
    QTest::newRow("absent hides") << QVariant() << false;
}

void TestSettingItems::detail_firmwareGating()
{
    QFETCH(QVariant, firmware);
    QFETCH(bool, shown);
    ClDetailSettingWidget clDetail;
    ClAllSettings clSnapshot { { QStringLiteral("zk_speaker_volume"), 32 } };
    if (firmware.isValid())
        clSnapshot.insert(QStringLiteral("zk_get_version"), firmware);
    clDetail.applySettings(clSnapshot);

    for (const char* pcName : { "recordingSettingsLabel", "zk_rec_audio_level", "zk_rec_audio_balance",
             "autoPowerOffLabel", "zk_auto_power_off" }) {
        QWidget* pclWidget = clDetail.findChild<QWidget*>(QLatin1String(pcName));
        QVERIFY2(pclWidget, pcName);
        QVERIFY2(pclWidget->isHidden() != shown, pcName);
    }
    QVERIFY(!clDetail.findChild<QWidget*>(QStringLiteral("zk_speaker_volume"))->isHidden());
    QVERIFY(!clDetail.findChild<QWidget*>(QStringLiteral("zk_wifi_auto_power_off"))->isHidden());
}

QTEST_MAIN(TestSettingItems)
#include "tst_settingitems.moc"
