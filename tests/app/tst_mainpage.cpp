// The assembled main window against the camera simulator, used the way a user meets it: it
// connects by itself, shows the camera's picture and settings, passes setting changes on while
// the live stream is held, shows the high-speed notice instead of frames, goes back to the connect
// page whenever the session is lost, tells the camera before it closes, and saves the live picture
// on screen as the camera sent it.

#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "camera/ClCommands.h"
#include "liveview/ClLiveWidget.h"
#include "session/ClJpegFrameDecoder.h"
#include "session/ClKD4LiveCtrl.h"
#include "session/ClKD4Mgr.h"
#include "settings/ClSettingWidget.h"
#include "tests/app/MainTestSupport.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/ClLoopbackServer.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/SimSupport.h"
#include "tests/support/WidgetSupport.h"
#include "updater/ClUpdateWidget.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Kd4Test;
using namespace MainTest;

namespace {

// Generous: the sanitizer build is several times slower than the plain one.
constexpr int WAIT_MS = 20000;

} // namespace

class TestMainPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startup_connectsByItselfAndShowsTheCamera();
    void sessionLost_connectPageReturnsAndConnectReconnects_data();
    void sessionLost_connectPageReturnsAndConnectReconnects();
    void settingChange_reachesCameraWhileLiveIsHeld_data();
    void settingChange_reachesCameraWhileLiveIsHeld();
    void highSpeedRecording_noticeInsteadOfFrames();
    void accessPointChange_dropsSessionWithoutStopCommand();
    void toolUpdate_stopsSessionShowsUpdatePageAndReturns();
    void close_tellsCameraBeforeWindowGoes();
    void sessionEnd_leavesWindowUsable_data();
    void sessionEnd_leavesWindowUsable();
    void recordingAtConnect_locksSettingsUntilItEnds();
    void noCamera_staysOnConnectPageUntilOneAnswers();
    void saveShortcut_writesTheShownFrameAsServed_data();
    void saveShortcut_writesTheShownFrameAsServed();
    void saveShortcut_withoutPicture_saysSoAndWritesNothing_data();
    void saveShortcut_withoutPicture_saysSoAndWritesNothing();

private:
    void openWindow();
    bool waitConnected();
    ClMainContentWidget* content() const { return pclWindow->contentWidget(); }
    ClSettingWidget* panel() const { return content()->settingWidget(); }

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClMainWidget> pclWindow;
};

void TestMainPage::initTestCase()
{
    MainTest::initProcess();
}

void TestMainPage::init()
{
    pclSim = startSim();
    QVERIFY(pclSim);
}

void TestMainPage::cleanup()
{
    pclWindow.reset();
    pclSim.reset();
}

void TestMainPage::openWindow()
{
    pclWindow = std::make_unique<ClMainWidget>();
    QVERIFY(showExposed(pclWindow.get()));
}

bool TestMainPage::waitConnected()
{
    // Settings shown, frames coming and drawn, and nothing in flight any more.
    return QTest::qWaitFor(
        [this] {
            return panelPage(panel()) == 1 && pclSim->framesServed() >= 3
                && combo(panel(), QStringLiteral("zk_white_balance"))->isEnabled()
                && picturePixels(liveShot(content())) > 50000;
        },
        WAIT_MS);
}

void TestMainPage::startup_connectsByItselfAndShowsTheCamera()
{
    pclSim->setSetting("zk_white_balance", "cloudy");
    pclSim->setSetting("video_resolution", "1280x720 60P 16:9");
    pclSim->setBattery(20);
    openWindow();
    QCOMPARE(content()->currentPage(), 0);
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));

    // Session first, then all settings, then the live stream; nobody clicked anything.
    const auto clLog = pclSim->messages();
    QCOMPARE(indexOf(clLog, 257), 0);
    QVERIFY(indexOf(clLog, 3) > 0);
    QVERIFY(indexOf(clLog, 259) > indexOf(clLog, 3));
    QVERIFY(pclSim->waitForMessage(4097, 1, WAIT_MS));

    // The rows show the camera's values.
    QCOMPARE(combo(panel(), QStringLiteral("zk_white_balance"))->currentText(), QStringLiteral("Cloudy"));
    QCOMPARE(combo(panel(), QStringLiteral("video_resolution"))->currentText(), QStringLiteral("720p 60fps"));

    // The battery overlay shows the camera's 20 %: the icon for 1 to 30, 25 pixels from the corner.
    const QImage clIcon = QImage(QStringLiteral(":/img/batt_1")).scaledToWidth(25);
    QImage clExpected(clIcon.size(), QImage::Format_RGB32);
    clExpected.fill(Qt::white);
    QPainter(&clExpected).drawImage(0, 0, clIcon);
    QCOMPARE(liveShot(content()).copy(QRect(QPoint(25, 25), clIcon.size())), clExpected);
}

void TestMainPage::sessionLost_connectPageReturnsAndConnectReconnects_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("simulator stopped") << "stop";
    QTest::newRow("frames refused") << "frames";
    QTest::newRow("settings poll refused") << "poll";
}

void TestMainPage::sessionLost_connectPageReturnsAndConnectReconnects()
{
    QFETCH(QString, how);
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QVERIFY(chooseComboEntry(combo(panel(), QStringLiteral("grid")), QStringLiteral("Quad display")));

    const int iPort = pclSim->port();
    if (how == QLatin1String("stop")) {
        pclSim->stop();
    } else if (how == QLatin1String("frames")) {
        pclSim->setFrameFault(frameFault(camsim::FrameFault::Kind::NotFound));
    } else {
        pclSim->setFault(3, camsim::Fault::withRval(-1));
        QTimer* pclPolling = content()->sessionManager()->liveCtrl()->pollingTimer();
        QVERIFY(pclPolling);
        pclPolling->start(0); // the poll that would come 20 seconds later, now
    }

    // Back to the connect page with an empty view and no grid.
    QTRY_COMPARE_WITH_TIMEOUT(panelPage(panel()), 0, WAIT_MS);
    QTRY_VERIFY_WITH_TIMEOUT(isBlank(liveShot(content())), WAIT_MS);
    QCOMPARE(combo(panel(), QStringLiteral("grid"))->currentText(), QStringLiteral("Single display"));
    QVERIFY(!content()->sessionManager()->isSession());
    if (how != QLatin1String("stop"))
        QCOMPARE(pclSim->messageCount(258), 1); // a camera still there is told

    // Nothing happens until the user presses "Connect"; then the session comes back.
    if (how == QLatin1String("stop")) {
        pclSim = startSim(iPort);
        QVERIFY(pclSim);
    } else {
        pclSim->clearFaults();
    }
    QTest::qWait(500);
    pclSim->clearLog();
    QTRY_VERIFY_WITH_TIMEOUT(connectButton(panel())->isEnabled(), WAIT_MS);
    QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QCOMPARE(indexOf(pclSim->messages(), 257), 0);
}

void TestMainPage::settingChange_reachesCameraWhileLiveIsHeld_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("wire");
    QTest::newRow("white balance") << "zk_white_balance"
                                   << "Cloudy"
                                   << "cloudy";
    QTest::newRow("exposure") << "zk_ae_exposure_level"
                              << "+1"
                              << "1";
    QTest::newRow("resolution, re-read after") << "video_resolution"
                                               << "WVGA 240fps"
                                               << "848x480 240P 16:9";
}

void TestMainPage::settingChange_reachesCameraWhileLiveIsHeld()
{
    QFETCH(QString, row);
    QFETCH(QString, entry);
    QFETCH(QString, wire);
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    const int iStart = int(pclSim->messages().size());

    QVERIFY(chooseComboEntry(combo(panel(), row), entry));
    QVERIFY(
        pclSim->waitFor([&] { return pclSim->setting(row.toStdString()) == wire.toStdString(); }, WAIT_MS));
    // The live stream comes back after the set.
    const auto indexOfSet = [&](const std::vector<camsim::LoggedMessage>& clLog) {
        for (int i = iStart; i < int(clLog.size()); ++i) {
            if (clLog[i].msgId == 2 && clLog[i].type == row.toStdString())
                return i;
        }
        return -1;
    };
    QVERIFY(pclSim->waitFor(
        [&] {
            const auto clLog = pclSim->messages();
            const int iSet = indexOfSet(clLog);
            return iSet > 0 && indexOf(clLog, 259, iSet) > 0;
        },
        WAIT_MS));

    const auto clLog = pclSim->messages();
    const int iSet = indexOfSet(clLog);
    QCOMPARE(QString::fromStdString(clLog[iSet].param), wire);
    // The live stream was stopped (260) before the set and started again (259) after it, and no
    // frame was fetched meanwhile.
    const int iStop = lastIndexOf(clLog, 260, iSet);
    QVERIFY2(iStop >= iStart && iStop > lastIndexOf(clLog, 259, iSet), qPrintable(msgIdText(*pclSim)));
    const int iRestart = indexOf(clLog, 259, iSet);
    for (const camsim::FrameRequest& clFrame : pclSim->frameRequests())
        QVERIFY(clFrame.timeMs <= clLog[iStop].timeMs || clFrame.timeMs >= clLog[iRestart].timeMs);
    QTRY_VERIFY_WITH_TIMEOUT(framesAfter(*pclSim, clLog[iRestart].timeMs) >= 3, WAIT_MS);

    // The row keeps the new value (the resolution after its re-read as well).
    QTRY_VERIFY_WITH_TIMEOUT(combo(panel(), row)->isEnabled(), WAIT_MS);
    QCOMPARE(combo(panel(), row)->currentText(), entry);
    if (row == QLatin1String("video_resolution"))
        QVERIFY(indexOf(pclSim->messages(), 3, iSet) > iSet);
}

void TestMainPage::highSpeedRecording_noticeInsteadOfFrames()
{
    pclSim->setSetting("video_resolution", "848x480 240P 16:9");
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QCOMPARE(noticePixels(liveShot(content())), 0);

    // The camera starts recording at 240 fps: the notice replaces the picture and frames stop.
    pclSim->startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(noticePixels(liveShot(content())) > 50, WAIT_MS);
    QVERIFY(pclSim->waitForMessage(260, 1, WAIT_MS));
    QVERIFY(picturePixels(liveShot(content())) < 5000); // icons only
    QTRY_VERIFY_WITH_TIMEOUT(!combo(panel(), QStringLiteral("zk_white_balance"))->isEnabled(), WAIT_MS);
    QVERIFY(combo(panel(), QStringLiteral("grid"))->isEnabled());
    QTest::qWait(300); // a frame already on its way may still land
    const size_t iFrames = pclSim->frameRequests().size();
    QTest::qWait(1500);
    QCOMPARE(pclSim->frameRequests().size(), iFrames);

    // Recording ends: the picture returns.
    pclSim->stopRecording();
    QVERIFY(pclSim->waitForMessage(259, 2, WAIT_MS));
    QVERIFY(pclSim->waitForFrames(int(iFrames) + 3, WAIT_MS));
    QTRY_VERIFY_WITH_TIMEOUT(noticePixels(liveShot(content())) == 0, WAIT_MS);
    QTRY_VERIFY_WITH_TIMEOUT(picturePixels(liveShot(content())) > 50000, WAIT_MS);
    QTRY_VERIFY_WITH_TIMEOUT(combo(panel(), QStringLiteral("zk_white_balance"))->isEnabled(), WAIT_MS);
}

void TestMainPage::accessPointChange_dropsSessionWithoutStopCommand()
{
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    openTab(panel(), QStringLiteral("Detail settings"));
    auto* pclApButton = panel()->findChild<QPushButton*>(QStringLiteral("apButton"));
    QTRY_VERIFY_WITH_TIMEOUT(pclApButton->isEnabled(), WAIT_MS);

    ClModalDriver clDriver;
    clDriver.expect([](QDialog* pclDialog) {
        SettingsTest::typeAccessPoint(pclDialog, QStringLiteral("abc"), QStringLiteral("pass_123"));
        clickButton(pclDialog, QStringLiteral("okButton"));
    });
    QTest::mouseClick(pclApButton, Qt::LeftButton);

    // The camera restarts its Wi-Fi after the last step: the program drops the session by itself.
    QTRY_COMPARE_WITH_TIMEOUT(panelPage(panel()), 0, WAIT_MS);
    QTRY_VERIFY_WITH_TIMEOUT(isBlank(liveShot(content())), WAIT_MS);
    QCOMPARE(pclSim->setting("zk_ap_ssid"), std::string("abc"));
    QCOMPARE(pclSim->messageCount(258), 0);
    QVERIFY(!content()->sessionManager()->isSession());
    // Listening, polling and streaming have all stopped.
    const size_t iMessages = pclSim->messages().size();
    const size_t iFrames = pclSim->frameRequests().size();
    QTest::qWait(1500);
    QCOMPARE(pclSim->messages().size(), iMessages);
    QCOMPARE(pclSim->frameRequests().size(), iFrames);
    QVERIFY(clDriver.clMessages.isEmpty());
}

void TestMainPage::toolUpdate_stopsSessionShowsUpdatePageAndReturns()
{
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    openTab(panel(), QStringLiteral("Detail settings"));

    // Information, then its "Tool version upgrade" button; the update server (nothing listens)
    // cannot be reached, and its message is accepted.
    ClModalDriver clDriver;
    clDriver.expect([](QDialog* pclDialog) { clickButton(pclDialog, QStringLiteral("updateButton")); });
    QTest::mouseClick(panel()->findChild<QPushButton*>(QStringLiteral("informationButton")), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(content()->currentPage(), 1, WAIT_MS);
    QCOMPARE(pclSim->messageCount(258), 1);
    QCOMPARE(panelPage(panel()), 0);
    QTRY_VERIFY_WITH_TIMEOUT(isBlank(liveShot(content())), WAIT_MS);
    QTRY_VERIFY_WITH_TIMEOUT(content()->updateWidget()->isEnabled(), WAIT_MS);
    QCOMPARE(clDriver.clMessages.size(), 1);

    QTest::mouseClick(content()->updateWidget()->returnButton(), Qt::LeftButton);
    QCOMPARE(content()->currentPage(), 0);
    QCOMPARE(panelPage(panel()), 0);
    QVERIFY(connectButton(panel())->isVisible());
}

void TestMainPage::close_tellsCameraBeforeWindowGoes()
{
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));

    // The stop answer arrives while the window is still up.
    int iAnswersWhileVisible = 0;
    connect(content()->sessionManager()->liveCtrl(), &ClKD4LiveCtrl::sigResponse, this, [&](ZK_CMD clCmd) {
        if (zkCommand(clCmd) == CMD_STOP_SESSION && pclWindow->isVisible())
            ++iAnswersWhileVisible;
    });
    QVERIFY(pclWindow->close());
    QVERIFY(!pclWindow->isVisible());
    QCOMPARE(iAnswersWhileVisible, 1);

    const auto clLog = pclSim->messages();
    const int iStop = indexOf(clLog, 258);
    QVERIFY(iStop > lastIndexOf(clLog, 260, iStop) && lastIndexOf(clLog, 260, iStop) > 0);
    QVERIFY(!pclSim->sessionOpen());
    // Nothing talks to the camera any more.
    QTest::qWait(1500);
    QCOMPARE(pclSim->messages().size(), clLog.size());
}

void TestMainPage::sessionEnd_leavesWindowUsable_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("recording, then the update path") << "update while recording";
    QTest::newRow("change held back, then the update path") << "update while held";
    QTest::newRow("recording begins during an access point change") << "access point";
}

// However the session ends, the window is left as a new user finds it: connect page usable, ring
// off, and "Connect" opens a new session.
void TestMainPage::sessionEnd_leavesWindowUsable()
{
    QFETCH(QString, how);
    if (how == QLatin1String("update while recording"))
        pclSim->startRecording();
    openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(panelPage(panel()) == 1 && pclSim->framesServed() >= 3, WAIT_MS);
    openTab(panel(), QStringLiteral("Detail settings"));
    ClModalDriver clDriver;

    if (how == QLatin1String("update while recording")) {
        // Information, "Update", the failed check's message, then "Return to top".
        clDriver.expect([](QDialog* pclDialog) { clickButton(pclDialog, QStringLiteral("updateButton")); });
        QTest::mouseClick(
            panel()->findChild<QPushButton*>(QStringLiteral("informationButton")), Qt::LeftButton);
    } else if (how == QLatin1String("update while held")) {
        // The camera is slow to stop its stream, so the change waits; the update path cuts in.
        QVERIFY(waitConnected());
        pclSim->setFault(260, camsim::Fault::delay(3000, 1));
        QTimer::singleShot(500, panel(), &ClSettingWidget::sigRequestUpdate);
        QVERIFY(
            chooseComboEntry(combo(panel(), QStringLiteral("zk_white_balance")), QStringLiteral("Cloudy")));
    } else {
        // The camera starts recording while the first step of the change is out.
        QVERIFY(waitConnected());
        pclSim->setFault(2, camsim::Fault::delay(1500, 1));
        clDriver.expect([this](QDialog* pclDialog) {
            SettingsTest::typeAccessPoint(pclDialog, QStringLiteral("abc"), QStringLiteral("pass_123"));
            clickButton(pclDialog, QStringLiteral("okButton"));
            pclSim->startRecording();
        });
        QTest::mouseClick(panel()->findChild<QPushButton*>(QStringLiteral("apButton")), Qt::LeftButton);
    }

    if (how != QLatin1String("access point")) {
        QTRY_COMPARE_WITH_TIMEOUT(content()->currentPage(), 1, WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(content()->updateWidget()->isEnabled(), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(clDriver.clMessages.size(), 1, WAIT_MS); // the check failed
        QTest::mouseClick(content()->updateWidget()->returnButton(), Qt::LeftButton);
    }
    QCOMPARE(content()->currentPage(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(panelPage(panel()), 0, WAIT_MS);
    QVERIFY(!content()->sessionManager()->isSession());
    QTest::qWait(300);
    QVERIFY(connectButton(panel())->isEnabled());
    QVERIFY(!content()->liveWidget()->isIndicatorVisible());

    pclSim->stopRecording();
    pclSim->clearLog();
    QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QCOMPARE(indexOf(pclSim->messages(), 257), 0);
}

// A session opened while the camera records locks the settings as soon as they are shown, not
// at the next poll, and frees them when the recording ends.
void TestMainPage::recordingAtConnect_locksSettingsUntilItEnds()
{
    pclSim->startRecording();
    openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(panelPage(panel()) == 1 && pclSim->framesServed() >= 1, WAIT_MS);
    QComboBox* pclWhiteBalance = combo(panel(), QStringLiteral("zk_white_balance"));
    QVERIFY(!pclWhiteBalance->isEnabled());
    // No poll has come yet.
    const QTimer* pclPolling = content()->sessionManager()->liveCtrl()->pollingTimer();
    QVERIFY(pclPolling && pclPolling->isActive() && pclPolling->remainingTime() > 10000);

    pclSim->stopRecording();
    QTRY_VERIFY_WITH_TIMEOUT(pclWhiteBalance->isEnabled(), WAIT_MS);
}

void TestMainPage::noCamera_staysOnConnectPageUntilOneAnswers()
{
    const int iPort = ClLoopbackServer::closedPort();
    QVERIFY(iPort > 0);
    pointProgramAt(QStringLiteral("127.0.0.1:%1").arg(iPort));

    openWindow();
    QSignalSpy clStarted(content()->sessionManager(), &ClKD4Mgr::sigStartedSession);
    // The automatic attempt fails: the connect page stays, usable again, over an empty view.
    QTRY_VERIFY_WITH_TIMEOUT(connectButton(panel())->isEnabled() && isBlank(liveShot(content())), WAIT_MS);
    QTest::qWait(500);
    QCOMPARE(panelPage(panel()), 0);
    QCOMPARE(clStarted.count(), 0);

    // The camera comes up on that address; "Connect" finds it.
    pclSim = startSim(iPort);
    QVERIFY(pclSim);
    QCOMPARE(pclSim->messages().size(), size_t(0));
    QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QCOMPARE(clStarted.count(), 1);
}

void TestMainPage::saveShortcut_writesTheShownFrameAsServed_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("written");
    QTest::newRow("into a folder") << "." << true;
    QTest::newRow("into a folder that is not there") << "missing" << false;
}

// Ctrl+S, wherever the focus is, offers a file named after the moment and writes the camera's own
// bytes of the frame on screen at the key press; a file that cannot be written is reported with
// its path, and nothing is left behind.
void TestMainPage::saveShortcut_writesTheShownFrameAsServed()
{
    QFETCH(QString, folder);
    QFETCH(bool, written);
    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    const QString strPath = QDir::cleanPath(clDir.filePath(folder + QStringLiteral("/frame.jpg")));
    openWindow();
    QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get()));

    ClModalDriver clDriver;
    QString strOffered;
    clDriver.expect([&](QDialog* pclDialog) {
        auto* pclFileDialog = qobject_cast<QFileDialog*>(pclDialog);
        // Typed into the name field, as a user would: the field has the focus.
        auto* pclName = pclDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!pclFileDialog || !pclName) {
            pclDialog->reject();
            return;
        }
        strOffered = pclFileDialog->selectedFiles().value(0);
        pclName->setText(strPath);
        pclDialog->accept(); // QFileDialog::accept, through the public QDialog one
    });
    const QImage clShown = content()->liveWidget()->shownFrame();
    QVERIFY(!clShown.isNull());
    QTest::keyClick(pclWindow.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(clDriver.pendingHandlers(), 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^kd4-\\d{8}-\\d{6}\\.jpg$"))
                 .match(QFileInfo(strOffered).fileName())
                 .hasMatch(),
        qPrintable(strOffered));

    if (!written) {
        QCOMPARE(clDriver.clMessages.size(), 1);
        QVERIFY2(clDriver.clMessages.first().contains(QDir::toNativeSeparators(strPath)),
            qPrintable(clDriver.clMessages.first()));
        QVERIFY(QDir(clDir.path()).isEmpty());
        return;
    }
    QVERIFY2(clDriver.clMessages.isEmpty(), qPrintable(clDriver.clMessages.join(QLatin1Char('\n'))));
    QCOMPARE(QDir(clDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({ "frame.jpg" }));
    QFile clSaved(strPath);
    QVERIFY(clSaved.open(QIODevice::ReadOnly));
    const QByteArray clBytes = clSaved.readAll();
    QVERIFY(isServedFrame(*pclSim, clBytes));
    QCOMPARE(ClJpegFrameDecoder::decodeFrame(clBytes, ClJpegFrameDecoder::shownSize()), clShown);
}

void TestMainPage::saveShortcut_withoutPicture_saysSoAndWritesNothing_data()
{
    QTest::addColumn<bool>("session");
    QTest::newRow("no session") << false;
    // The last frame is still in the view, under the notice.
    QTest::newRow("recording at high speed") << true;
}

void TestMainPage::saveShortcut_withoutPicture_saysSoAndWritesNothing()
{
    QFETCH(bool, session);
    if (session) {
        pclSim->setSetting("video_resolution", "848x480 240P 16:9");
        openWindow();
        QVERIFY2(waitConnected(), qPrintable(msgIdText(*pclSim)));
        pclSim->startRecording();
        QTRY_VERIFY_WITH_TIMEOUT(noticePixels(liveShot(content())) > 50, WAIT_MS);
    } else {
        const int iPort = ClLoopbackServer::closedPort();
        QVERIFY(iPort > 0);
        pointProgramAt(QStringLiteral("127.0.0.1:%1").arg(iPort));
        openWindow();
        QTRY_VERIFY_WITH_TIMEOUT(connectButton(panel())->isEnabled(), WAIT_MS);
    }
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get()));

    // A message, and no file dialog.
    ClModalDriver clDriver;
    QTest::keyClick(pclWindow.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(clDriver.iDialogsSeen, 1);
    QCOMPARE(clDriver.clMessages, QStringList({ "There is no live picture to save." }));
}

QTEST_MAIN(TestMainPage)
#include "tst_mainpage.moc"
