// The setting dialogs worked as a user works them: what can be typed into the access point
// fields and when OK may be pressed, how the interval fields carry and borrow at every boundary,
// what a cancelled edit leaves behind, and what the confirmation and information dialogs return.

#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/WidgetSupport.h"

#include "resources/ClResources.h"
#include "settings/ClInformationDialog.h"
#include "settings/ClIntervalSpinBox.h"
#include "settings/ClSettingApDialog.h"
#include "settings/ClSettingConfirmDialog.h"
#include "settings/ClSettingIntervalDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

using namespace Kd4Test;
using namespace SettingsTest;

namespace {

QLineEdit* ssidEdit(QDialog* pclDialog)
{
    return pclDialog->findChild<QLineEdit*>(QStringLiteral("ssidEdit"));
}

QLineEdit* keyEdit(QDialog* pclDialog)
{
    return pclDialog->findChild<QLineEdit*>(QStringLiteral("keyEdit"));
}

QPushButton* okButton(QDialog* pclDialog)
{
    return pclDialog->findChild<QPushButton*>(QStringLiteral("okButton"));
}

// Types like a keyboard does, non-ASCII letters included (QTest::keyClicks knows only ASCII).
void typeText(QWidget* pclWidget, const QString& strText)
{
    for (const QChar clChar : strText) {
        if (clChar.unicode() < 0x80) {
            QTest::keyClick(pclWidget, clChar.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, pclWidget, Qt::Key_unknown, QString(clChar), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, pclWidget, Qt::Key_unknown, QString(clChar), Qt::NoModifier);
        }
    }
}

QString spinText(const ClSettingIntervalDialog& clDialog)
{
    return QStringLiteral("%1:%2:%3")
        .arg(clDialog.hourSpinBox()->value())
        .arg(clDialog.minuteSpinBox()->value())
        .arg(clDialog.secondSpinBox()->value());
}

} // namespace

class TestSettingDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initProcess();
        ClResources::init();
    }

    void ap_okRule_data();
    void ap_okRule();
    void ap_refusesCharacters_data();
    void ap_refusesCharacters();
    void ap_refusesPastedText();
    void ap_startsEmptyEachTime();
    void interval_steps_data();
    void interval_steps();
    void interval_presetIsCorrected();
    void interval_presetNotThreeParts();
    void interval_cancelKeepsOldValue();
    void interval_withoutPresetStartsAtZero();
    void interval_cannotBeTypedInto();
    void confirm_results_data();
    void confirm_results();
    void information_upgradeRequestsUpdateThenCloses();
    void information_closeOnlyCloses();
    void information_showsVersionsAndLicence();
    void keyboard_cancelBeforeOkAndEscapeCancels_data();
    void keyboard_cancelBeforeOkAndEscapeCancels();
};

void TestSettingDialogs::ap_okRule_data()
{
    QTest::addColumn<QString>("ssid");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no SSID") << QString() << QStringLiteral("12345678") << false;
    QTest::newRow("key of 7") << QStringLiteral("a") << QStringLiteral("1234567") << false;
    QTest::newRow("SSID of 1, key of 8") << QStringLiteral("a") << QStringLiteral("12345678") << true;
    QTest::newRow("longest both") << QString(32, QLatin1Char('s')) << QString(63, QLatin1Char('k')) << true;
    QTest::newRow("nothing") << QString() << QString() << false;
}

void TestSettingDialogs::ap_okRule()
{
    QFETCH(QString, ssid);
    QFETCH(QString, key);
    QFETCH(bool, enabled);
    ClSettingApDialog clDialog(QStringLiteral("AP setting"), nullptr);
    ClModalDriver clDriver;
    bool bEnabled = !enabled;
    clDriver.expect([&](QDialog* pclOpen) {
        QVERIFY(!okButton(pclOpen)->isEnabled());
        typeAccessPoint(pclOpen, ssid, key);
        bEnabled = okButton(pclOpen)->isEnabled();
        QTest::mouseClick(okButton(pclOpen), Qt::LeftButton);
        if (pclOpen->isVisible())
            clickButton(pclOpen, QStringLiteral("cancelButton"));
    });
    const int iResult = clDialog.exec();
    QCOMPARE(bEnabled, enabled);
    // A disabled OK cannot accept.
    QCOMPARE(iResult, enabled ? int(QDialog::Accepted) : int(QDialog::Rejected));
    if (enabled) {
        QCOMPARE(clDialog.ssid(), ssid);
        QCOMPARE(clDialog.key(), key);
    }
}

void TestSettingDialogs::ap_refusesCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("ssidShown");
    QTest::addColumn<QString>("keyShown");
    QTest::newRow("allowed set") << QStringLiteral("aZ09@-_") << QStringLiteral("aZ09@-_")
                                 << QStringLiteral("aZ09@-_");
    QTest::newRow("blank") << QStringLiteral("my cam") << QStringLiteral("mycam") << QStringLiteral("mycam");
    QTest::newRow("punctuation") << QStringLiteral("a.b!c#d") << QStringLiteral("abcd")
                                 << QStringLiteral("abcd");
    QTest::newRow("non-ASCII letter")
        << QStringLiteral("caf\u00e9") << QStringLiteral("caf") << QStringLiteral("caf");
    QTest::newRow("33rd SSID character")
        << QString(33, QLatin1Char('x')) << QString(32, QLatin1Char('x')) << QString(33, QLatin1Char('x'));
    QTest::newRow("64th key character")
        << QString(64, QLatin1Char('y')) << QString(32, QLatin1Char('y')) << QString(63, QLatin1Char('y'));
}

void TestSettingDialogs::ap_refusesCharacters()
{
    QFETCH(QString, typed);
    QFETCH(QString, ssidShown);
    QFETCH(QString, keyShown);
    // The same keys reach an unrestricted field whole, so what is missing below was refused.
    QLineEdit clPlain;
    typeText(&clPlain, typed);
    QCOMPARE(clPlain.text(), typed);

    ClSettingApDialog clDialog(QStringLiteral("AP setting"), nullptr);
    ClModalDriver clDriver;
    QString strSsid;
    QString strKey;
    clDriver.expect([&](QDialog* pclOpen) {
        typeText(ssidEdit(pclOpen), typed);
        typeText(keyEdit(pclOpen), typed);
        strSsid = ssidEdit(pclOpen)->text();
        strKey = keyEdit(pclOpen)->text();
        clickButton(pclOpen, QStringLiteral("cancelButton"));
    });
    clDialog.exec();
    QCOMPARE(strSsid, ssidShown);
    QCOMPARE(strKey, keyShown);
}

void TestSettingDialogs::ap_refusesPastedText()
{
    ClSettingApDialog clDialog(QStringLiteral("AP setting"), nullptr);
    ClModalDriver clDriver;
    QString strAfterBad;
    QString strAfterGood;
    clDriver.expect([&](QDialog* pclOpen) {
        QLineEdit* pclSsid = ssidEdit(pclOpen);
        QTest::keyClicks(pclSsid, QStringLiteral("cam"));
        QApplication::clipboard()->setText(QStringLiteral("my home net"));
        QTest::keyClick(pclSsid, Qt::Key_V, Qt::ControlModifier);
        strAfterBad = pclSsid->text();
        QApplication::clipboard()->setText(QStringLiteral("_2"));
        QTest::keyClick(pclSsid, Qt::Key_V, Qt::ControlModifier);
        strAfterGood = pclSsid->text();
        clickButton(pclOpen, QStringLiteral("cancelButton"));
    });
    clDialog.exec();
    QCOMPARE(strAfterBad, QStringLiteral("cam"));
    QCOMPARE(strAfterGood, QStringLiteral("cam_2"));
}

void TestSettingDialogs::ap_startsEmptyEachTime()
{
    ClSettingApDialog clDialog(QStringLiteral("AP setting"), nullptr);
    ClModalDriver clDriver;
    clDriver.expect([](QDialog* pclOpen) {
        typeAccessPoint(pclOpen, QStringLiteral("abc"), QStringLiteral("12345678"));
        clickButton(pclOpen, QStringLiteral("okButton"));
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Accepted));
    QCOMPARE(clDialog.ssid(), QStringLiteral("abc"));

    bool bEmpty = false;
    bool bOkDisabled = false;
    clDriver.expect([&](QDialog* pclOpen) {
        bEmpty = ssidEdit(pclOpen)->text().isEmpty() && keyEdit(pclOpen)->text().isEmpty();
        bOkDisabled = !okButton(pclOpen)->isEnabled();
        QTest::keyClick(pclOpen, Qt::Key_Escape);
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Rejected));
    QVERIFY(bEmpty);
    QVERIFY(bOkDisabled);
}

void TestSettingDialogs::interval_steps_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    const int iUp = Qt::Key_Up;
    const int iDown = Qt::Key_Down;
    QTest::newRow("minimum holds") << "00:00:02"
                                   << "second" << iDown << "00:00:02";
    QTest::newRow("seconds carry") << "00:00:59"
                                   << "second" << iUp << "00:01:00";
    QTest::newRow("seconds borrow through minutes") << "01:00:00"
                                                    << "second" << iDown << "00:59:59";
    QTest::newRow("up to the maximum") << "23:59:59"
                                       << "second" << iUp << "24:00:00";
    QTest::newRow("minutes held at 24 h") << "24:00:00"
                                          << "minute" << iUp << "24:00:00";
    QTest::newRow("seconds held at 24 h") << "24:00:00"
                                          << "second" << iUp << "24:00:00";
    QTest::newRow("hour down from 24") << "24:00:00"
                                       << "hour" << iDown << "23:00:00";
    QTest::newRow("hour up to 24 clears the rest") << "23:30:15"
                                                   << "hour" << iUp << "24:00:00";
    QTest::newRow("hour stays at 24") << "24:00:00"
                                      << "hour" << iUp << "24:00:00";
    QTest::newRow("seconds down from 24 h") << "24:00:00"
                                            << "second" << iDown << "23:59:59";
    QTest::newRow("minutes borrow") << "01:00:30"
                                    << "minute" << iDown << "00:59:30";
    QTest::newRow("minutes carry") << "00:59:00"
                                   << "minute" << iUp << "01:00:00";
    QTest::newRow("minutes down to the minimum") << "00:01:01"
                                                 << "minute" << iDown << "00:00:02";
    QTest::newRow("minutes cannot go below 0") << "00:00:30"
                                               << "minute" << iDown << "00:00:30";
    QTest::newRow("hour cannot go below 0") << "00:10:00"
                                            << "hour" << iDown << "00:10:00";
    QTest::newRow("hour down to the minimum") << "01:00:00"
                                              << "hour" << iDown << "00:00:02";
    QTest::newRow("plain second step") << "00:10:10"
                                       << "second" << iUp << "00:10:11";
}

void TestSettingDialogs::interval_steps()
{
    QFETCH(QString, preset);
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, expected);
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    clDialog.setIntervalValue(preset);
    ClModalDriver clDriver;
    QString strShown;
    clDriver.expect([&](QDialog*) {
        ClIntervalSpinBox* pclSpin = field == QLatin1String("hour") ? clDialog.hourSpinBox()
            : field == QLatin1String("minute")                      ? clDialog.minuteSpinBox()
                                                                    : clDialog.secondSpinBox();
        QTest::keyClick(pclSpin, static_cast<Qt::Key>(key));
        strShown = clDialog.getIntervalValue().toString();
        clickButton(&clDialog, QStringLiteral("okButton"));
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Accepted));
    QCOMPARE(strShown, expected);
    // The fields themselves show the same two-digit values.
    const QStringList clParts = expected.split(QLatin1Char(':'));
    QCOMPARE(clDialog.hourSpinBox()->text(), clParts.at(0));
    QCOMPARE(clDialog.minuteSpinBox()->text(), clParts.at(1));
    QCOMPARE(clDialog.secondSpinBox()->text(), clParts.at(2));
}

void TestSettingDialogs::interval_presetIsCorrected()
{
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    clDialog.setIntervalValue(QStringLiteral("0:0:1"));
    QCOMPARE(spinText(clDialog), QStringLiteral("0:0:2"));
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("00:00:02"));

    clDialog.setIntervalValue(QStringLiteral("00:01:30"));
    QCOMPARE(spinText(clDialog), QStringLiteral("0:1:30"));

    // Beyond the maximum: 24 hours with nothing after them.
    clDialog.setIntervalValue(QStringLiteral("25:70:70"));
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("24:00:00"));
}

void TestSettingDialogs::interval_presetNotThreeParts()
{
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    clDialog.setIntervalValue(QStringLiteral("00:05:00"));
    clDialog.setIntervalValue(QStringLiteral("10:00"));
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("00:05:00"));
    // A value that is no text at all is not taken.
    clDialog.setIntervalValue(QVariant());
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("00:05:00"));
}

void TestSettingDialogs::interval_cancelKeepsOldValue()
{
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    clDialog.setIntervalValue(QStringLiteral("00:01:30"));
    ClModalDriver clDriver;

    clDriver.expect([&](QDialog*) {
        QTest::keyClick(clDialog.secondSpinBox(), Qt::Key_Up);
        QTest::keyClick(clDialog.minuteSpinBox(), Qt::Key_Up);
        clickButton(&clDialog, QStringLiteral("cancelButton"));
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Rejected));

    QString strReopened;
    clDriver.expect([&](QDialog*) {
        strReopened = clDialog.getIntervalValue().toString();
        QTest::keyClick(clDialog.secondSpinBox(), Qt::Key_Up);
        clickButton(&clDialog, QStringLiteral("okButton"));
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Accepted));
    QCOMPARE(strReopened, QStringLiteral("00:01:30"));

    // The accepted value is the one the next opening starts from.
    clDriver.expect([&](QDialog*) {
        strReopened = clDialog.getIntervalValue().toString();
        QTest::keyClick(clDialog.hourSpinBox(), Qt::Key_Up);
        QTest::keyClick(&clDialog, Qt::Key_Escape);
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Rejected));
    QCOMPARE(strReopened, QStringLiteral("00:01:31"));
}

void TestSettingDialogs::interval_withoutPresetStartsAtZero()
{
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    QCOMPARE(spinText(clDialog), QStringLiteral("0:0:0"));
    ClModalDriver clDriver;

    // An edit cancelled before any value was given is forgotten as well.
    clDriver.expect([&](QDialog*) {
        QTest::keyClick(clDialog.minuteSpinBox(), Qt::Key_Up);
        clickButton(&clDialog, QStringLiteral("cancelButton"));
    });
    clDialog.exec();

    QString strReopened;
    clDriver.expect([&](QDialog*) {
        strReopened = spinText(clDialog);
        clickButton(&clDialog, QStringLiteral("okButton"));
    });
    QCOMPARE(clDialog.exec(), int(QDialog::Accepted));
    QCOMPARE(strReopened, QStringLiteral("0:0:0"));
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("00:00:00"));
}

void TestSettingDialogs::interval_cannotBeTypedInto()
{
    ClSettingIntervalDialog clDialog(QStringLiteral("Interval time"), nullptr);
    clDialog.setIntervalValue(QStringLiteral("01:02:03"));
    QVERIFY(showExposed(&clDialog));
    QTest::keyClicks(clDialog.minuteSpinBox(), QStringLiteral("45"));
    QTest::keyClick(clDialog.minuteSpinBox(), Qt::Key_Backspace);
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("01:02:03"));
    // The mouse wheel steps like the arrows.
    QWheelEvent clWheel(QPointF(5, 5), QPointF(clDialog.secondSpinBox()->mapToGlobal(QPoint(5, 5))), QPoint(),
        QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(clDialog.secondSpinBox(), &clWheel);
    QCOMPARE(clDialog.getIntervalValue().toString(), QStringLiteral("01:02:04"));
}

void TestSettingDialogs::confirm_results_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "okButton" << int(QDialog::Accepted);
    QTest::newRow("CANCEL") << "cancelButton" << int(QDialog::Rejected);
    QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
}

void TestSettingDialogs::confirm_results()
{
    QFETCH(QString, action);
    QFETCH(int, result);
    ClSettingConfirmDialog clDialog(QStringLiteral("SD format"), nullptr);
    ClModalDriver clDriver;
    clDriver.expect([&](QDialog* pclOpen) {
        if (action == QLatin1String("escape"))
            QTest::keyClick(pclOpen, Qt::Key_Escape);
        else
            clickButton(pclOpen, action);
    });
    QCOMPARE(clDialog.exec(), result);
}

void TestSettingDialogs::information_upgradeRequestsUpdateThenCloses()
{
    ClInformationDialog clDialog(nullptr);
    bool bOpenWhenRequested = false;
    connect(&clDialog, &ClInformationDialog::sigRequestUpdate, this,
        [&] { bOpenWhenRequested = clDialog.isVisible(); });
    QSignalSpy clUpdate(&clDialog, &ClInformationDialog::sigRequestUpdate);
    ClModalDriver clDriver;
    clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("updateButton")); });
    clDialog.exec();
    QCOMPARE(clUpdate.count(), 1);
    QVERIFY(bOpenWhenRequested);
    QVERIFY(!clDialog.isVisible());
}

void TestSettingDialogs::information_closeOnlyCloses()
{
    ClInformationDialog clDialog(nullptr);
    QSignalSpy clUpdate(&clDialog, &ClInformationDialog::sigRequestUpdate);
    ClModalDriver clDriver;
    clDriver.expect([](QDialog* pclOpen) { clickButton(pclOpen, QStringLiteral("closeButton")); });
    clDialog.exec();
    QCOMPARE(clUpdate.count(), 0);
    QVERIFY(!clDialog.isVisible());
}

void TestSettingDialogs::information_showsVersionsAndLicence()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("01.00.005"));
    ClInformationDialog clDialog(nullptr);
    auto* pclFw = clDialog.findChild<QLabel*>(QStringLiteral("fwVersionLabel"));
    QCOMPARE(pclFw->text(), QStringLiteral("FW version : "));
    clDialog.setFwVersion(QStringLiteral("01.00.0009"));
    QCOMPARE(pclFw->text(), QStringLiteral("FW version : 01.00.0009"));
    QCOMPARE(clDialog.findChild<QLabel*>(QStringLiteral("toolVersionLabel"))->text(),
        QStringLiteral("Tool version : 01.00.005"));

    QFile clLicence(QStringLiteral(":/license/curl"));
    QVERIFY(clLicence.open(QIODevice::ReadOnly));
    const QString strLicence = QString::fromUtf8(clLicence.readAll());
    QVERIFY(!strLicence.isEmpty());
    QCOMPARE(clDialog.findChild<QTextBrowser*>(QStringLiteral("licenceBrowser"))->toPlainText(), strLicence);
}

void TestSettingDialogs::keyboard_cancelBeforeOkAndEscapeCancels_data()
{
    QTest::addColumn<int>("iKind");
    QTest::newRow("access point") << 0;
    QTest::newRow("interval") << 1;
    QTest::newRow("confirmation") << 2;
}

// Tab follows the buttons as they stand, Cancel before OK, and Escape is Cancel.
void TestSettingDialogs::keyboard_cancelBeforeOkAndEscapeCancels()
{
    QFETCH(int, iKind);
    std::unique_ptr<QDialog> pclDialog;
    if (iKind == 0) {
        auto* pclAp = new ClSettingApDialog(QStringLiteral("AP setting"), nullptr);
        pclDialog.reset(pclAp);
        pclAp->show();
        typeText(ssidEdit(pclAp), QStringLiteral("camera1"));
        typeText(keyEdit(pclAp), QStringLiteral("12345678"));
    } else if (iKind == 1) {
        pclDialog = std::make_unique<ClSettingIntervalDialog>(QStringLiteral("Interval time"), nullptr);
    } else {
        pclDialog = std::make_unique<ClSettingConfirmDialog>(QStringLiteral("Format"), nullptr,
            QStringLiteral("All photos and videos on the SD card will be erased."), QStringLiteral("Format"));
    }
    QVERIFY(showExposed(pclDialog.get()));
    pclDialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pclDialog.get()));
    QPushButton* pclOk = okButton(pclDialog.get());
    auto* pclCancel = pclDialog->findChild<QPushButton*>(QStringLiteral("cancelButton"));
    QVERIFY(pclOk && pclCancel && pclOk->isEnabled());
    const QList<QWidget*> clChain = tabChain(pclDialog.get());
    const int iCancel = clChain.indexOf(pclCancel);
    QVERIFY(iCancel >= 0);
    QCOMPARE(clChain.at((iCancel + 1) % clChain.size()), pclOk);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!pclDialog->isVisible());
    QCOMPARE(pclDialog->result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestSettingDialogs)
#include "tst_settingdialogs.moc"
