// The progress dialog (guarded Cancel, views, title bar) and the update page (disabled during a
// check, every outcome shown and the page usable again).
#include "resources/ClResources.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/WidgetSupport.h"
#include "tests/updater/TestUpdateServer.h"
#include "tests/updater/UpdaterTestSupport.h"
#include "updater/ClCommunication.h"
#include "updater/ClProgressDialog.h"
#include "updater/ClUpdate.h"
#include "updater/ClUpdateWidget.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using Kd4Test::ClModalDriver;

namespace {

const char* const DESCRIPTION_PATH = "/kd4update/linux/update_tool.xml";
// Asked before anything is downloaded, with the version found.
const QString QUESTION = QStringLiteral(
    "Version 01.00.006 is available (this is 01.00.005).\nDo you want to download and install it now?");

QPushButton* cancelButton(ClProgressDialog* pclDialog)
{
    return pclDialog->findChild<QPushButton*>();
}

} // namespace

class TestUpdaterWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void progressDialog_titleBarWithoutButtons();
    void progressDialog_cancelAsksFirst_data();
    void progressDialog_cancelAsksFirst();
    void progressDialog_closingDismissesTheQuestion();
    void progressDialog_views();

    void updatePage_content();
    void updatePage_disabledUntilTheCheckReports_data();
    void updatePage_disabledUntilTheCheckReports();
};

void TestUpdaterWidgets::initTestCase()
{
    UpdaterTest::isolate();
    ClResources::init();
}

void TestUpdaterWidgets::init()
{
    UpdaterTest::clearDataFolder();
}

void TestUpdaterWidgets::progressDialog_titleBarWithoutButtons()
{
    ClProgressDialog clDialog;
    const Qt::WindowFlags clFlags = clDialog.windowFlags();
    QVERIFY(clFlags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(clFlags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!clFlags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!clFlags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!clFlags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(clDialog.windowTitle(), QStringLiteral("Tavik Update service program"));

    // The update controller's dialog is modal and carries the application's name.
    qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    ClUpdate clUpdate;
    QVERIFY(clUpdate.progressDialog()->isModal());
    QCOMPARE(clUpdate.progressDialog()->windowTitle(), QCoreApplication::applicationName());
    QVERIFY(!clUpdate.progressDialog()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

void TestUpdaterWidgets::progressDialog_cancelAsksFirst_data()
{
    QTest::addColumn<bool>("bConfirm");
    QTest::addColumn<bool>("bEscape");

    QTest::newRow("Cancel, then Cancel") << false << false;
    QTest::newRow("Cancel, then OK") << true << false;
    QTest::newRow("Escape, then Cancel") << false << true;
    QTest::newRow("Escape, then OK") << true << true;
}

void TestUpdaterWidgets::progressDialog_cancelAsksFirst()
{
    QFETCH(bool, bConfirm);
    QFETCH(bool, bEscape);

    ClProgressDialog clDialog;
    clDialog.setWindowTitle(QStringLiteral("Vexa"));
    QVERIFY(Kd4Test::showExposed(&clDialog));
    QSignalSpy clCancel(&clDialog, &ClProgressDialog::sigCancel);

    // Looks at the question while it is open, then answers it.
    QString strText;
    QString strTitle;
    QStringList clButtons;
    QMessageBox::Icon eIcon = QMessageBox::NoIcon;
    QTimer clAnswer;
    clAnswer.setInterval(20);
    connect(&clAnswer, &QTimer::timeout, &clDialog, [&] {
        QMessageBox* pclBox = clDialog.confirmBox();
        if (!pclBox || !pclBox->isVisible())
            return;
        clAnswer.stop();
        QCOMPARE(QApplication::activeModalWidget(), pclBox);
        strText = pclBox->text();
        strTitle = pclBox->windowTitle();
        eIcon = pclBox->icon();
        for (QAbstractButton* pclButton : pclBox->buttons())
            clButtons.append(pclButton->text());
        QCOMPARE(pclBox->defaultButton(), pclBox->button(QMessageBox::Ok));
        pclBox->button(bConfirm ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    clAnswer.start();
    if (bEscape)
        QTest::keyClick(&clDialog, Qt::Key_Escape);
    else
        QTest::mouseClick(cancelButton(&clDialog), Qt::LeftButton);

    QCOMPARE(strText, QStringLiteral("Do you want to quit will not be updated?"));
    QCOMPARE(strTitle, QStringLiteral("Vexa"));
    QCOMPARE(eIcon, QMessageBox::Warning);
    clButtons.sort();
    QCOMPARE(clButtons, (QStringList { "Cancel", "OK" }));
    QCOMPARE(clCancel.count(), bConfirm ? 1 : 0);
    QCOMPARE(clDialog.isVisible(), !bConfirm);
    QVERIFY(!clDialog.confirmBox());
}

void TestUpdaterWidgets::progressDialog_closingDismissesTheQuestion()
{
    ClProgressDialog clDialog;
    clDialog.show();
    QSignalSpy clCancel(&clDialog, &ClProgressDialog::sigCancel);
    // The engine closes the dialog (a failed check) while the user is being asked.
    QTimer::singleShot(100, &clDialog, [&clDialog] {
        QVERIFY(clDialog.confirmBox());
        clDialog.close();
    });
    QTest::mouseClick(cancelButton(&clDialog), Qt::LeftButton);
    QVERIFY(!clDialog.confirmBox());
    QVERIFY(!clDialog.isVisible());
    QCOMPARE(clCancel.count(), 0);
}

void TestUpdaterWidgets::progressDialog_views()
{
    ClProgressDialog clDialog;
    clDialog.show();
    QCOMPARE(clDialog.statusLabel()->text(), QStringLiteral("now Downloading"));
    QVERIFY(clDialog.statusLabel()->font().italic());
    QVERIFY(clDialog.statusLabel()->font().bold());

    clDialog.slotTotalFiles(2);
    clDialog.slotTotalProgress(1);
    clDialog.slotPartProgress(50, 200);
    QCOMPARE(clDialog.fileBar()->maximum(), 2);
    QCOMPARE(clDialog.fileBar()->value(), 1);
    QCOMPARE(clDialog.byteBar()->maximum(), 200);
    QCOMPARE(clDialog.byteBar()->value(), 50);
    // A server that does not tell the length: a busy bar, never a negative range.
    clDialog.slotPartProgress(4096, -1);
    QVERIFY(clDialog.byteBar()->maximum() >= 0);
    QVERIFY(clDialog.byteBar()->minimum() >= 0);

    clDialog.slotChangeView();
    QCOMPARE(clDialog.statusLabel()->text(), QStringLiteral("now Installing"));
    QVERIFY(!clDialog.byteBar()->isVisible());
    QVERIFY(clDialog.fileBar()->isVisible());

    clDialog.resetView();
    QCOMPARE(clDialog.statusLabel()->text(), QStringLiteral("now Downloading"));
    QVERIFY(clDialog.byteBar()->isVisible());
    QCOMPARE(clDialog.fileBar()->value(), 0);
    QCOMPARE(clDialog.byteBar()->value(), 0);
}

void TestUpdaterWidgets::updatePage_content()
{
    qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    ClUpdateWidget clPage;
    QSignalSpy clReturn(&clPage, &ClUpdateWidget::sigReturn);

    QStringList clTexts;
    const QLabel* pclLogo = nullptr;
    for (const QLabel* pclLabel : clPage.findChildren<QLabel*>()) {
        if (!pclLabel->text().isEmpty())
            clTexts.append(pclLabel->text());
        if (!pclLabel->pixmap(Qt::ReturnByValue).isNull())
            pclLogo = pclLabel;
    }
    QCOMPARE(clTexts,
        QStringList { "You must be connected to the Internet in order to make the upgrade of the tool." });
    QVERIFY(pclLogo);
    const QPixmap clLogo = pclLogo->pixmap(Qt::ReturnByValue);
    QCOMPARE(qMax(clLogo.width(), clLogo.height()), 100);
    QCOMPARE(clPage.upgradeButton()->text(), QStringLiteral("Tool version upgrade"));
    QCOMPARE(clPage.returnButton()->text(), QStringLiteral("Return to top"));

    QTest::mouseClick(clPage.returnButton(), Qt::LeftButton);
    QCOMPARE(clReturn.count(), 1);
    QVERIFY(!clPage.updateController()->isBusy());
}

void TestUpdaterWidgets::updatePage_disabledUntilTheCheckReports_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::addColumn<QStringList>("clShown");
    QTest::addColumn<int>("iRequests");

    QTest::newRow("latest version") << "latest" << QStringList { "The tool has the latest version." } << 1;
    QTest::newRow("transfer error")
        << "error"
        << QStringList { "Failed to obtain update files. Check the network settings on "
                         "your computer.\n" }
        << 1;
    // Confirmed: the package is fetched (and found not to match).
    QTest::newRow("digest mismatch") << "mismatch" << QStringList { QUESTION, "Faield to update." } << 2;
    QTest::newRow("unreadable network file")
        << "unreadable"
        << QStringList { "Failed to read update files.\n If this error continues "
                         "to occur, consult your dealer." }
        << 0;
    QTest::newRow("cancelled by the user")
        << "cancel" << QStringList { QUESTION, "Do you want to quit will not be updated?" } << 2;
    // Declined: nothing beyond the description is asked of the server, and nothing more is shown.
    QTest::newRow("download declined") << "declined" << QStringList { QUESTION } << 1;
}

void TestUpdaterWidgets::updatePage_disabledUntilTheCheckReports()
{
    QFETCH(QString, strCase);
    QFETCH(QStringList, clShown);
    QFETCH(int, iRequests);

    TestUpdateServer clServer;
    const QByteArray clData(64 * 1024, 'k');
    TestUpdateServer::stResource clDescription;
    clDescription.iDelayMs = 300;
    if (strCase == QLatin1String("latest"))
        clDescription.strBody
            = UpdaterTest::description({ { "01.00.005", "aa", "KD4Tool.msi" } }).toStdString();
    else if (strCase == QLatin1String("mismatch"))
        clDescription.strBody
            = UpdaterTest::description({ { "01.00.006", "aa", "KD4Tool.msi" } }).toStdString();
    else if (strCase != QLatin1String("error"))
        clDescription.strBody = UpdaterTest::description(
            { { "01.00.006", UpdaterTest::md5Hex(clData),
                "KD4Tool.msi" } }).toStdString();
    if (strCase != QLatin1String("error"))
        clServer.setResource(DESCRIPTION_PATH, clDescription);
    TestUpdateServer::stResource clFile;
    clFile.strBody = clData.toStdString();
    clFile.uChunkSize = 1024;
    clFile.iChunkDelayMs = 100;
    clServer.setResource("/kd4update/linux/KD4Tool.msi", clFile);

    qputenv("KD4TOOL_UPDATE_URL", clServer.baseUrl().toUtf8());
    ClUpdateWidget clPage;
    clPage.show();
    if (strCase == QLatin1String("unreadable"))
        QVERIFY(UpdaterTest::writeFile(clPage.updateController()->networkXmlPath(), "garbage"));

    ClModalDriver clCloser(ClModalDriver::Accept);
    clCloser.leaveOpen<ClProgressDialog>();
    if (strCase == QLatin1String("declined")) {
        clCloser.expect([&clCloser](QDialog* pclDialog) {
            clCloser.clMessages.append(Kd4Test::labelText(pclDialog));
            QTest::mouseClick(
                pclDialog->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
        });
    }
    QTest::mouseClick(clPage.upgradeButton(), Qt::LeftButton);
    if (strCase != QLatin1String("unreadable")) {
        QVERIFY(!clPage.isEnabled());
        QVERIFY(clPage.updateController()->isBusy());
        // A second request while the check runs starts nothing and leaves the page disabled.
        clPage.slotUpdate();
        QVERIFY(!clPage.isEnabled());
        if (strCase == QLatin1String("cancel")) {
            ClProgressDialog* pclDialog = clPage.updateController()->progressDialog();
            QTRY_VERIFY_WITH_TIMEOUT(pclDialog->isVisible() && pclDialog->byteBar()->value() > 0, 10000);
            QVERIFY(!clPage.isEnabled());
            QTest::mouseClick(cancelButton(pclDialog), Qt::LeftButton);
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(clPage.isEnabled(), 15000);
    QTest::qWait(300); // nothing more may come
    QCOMPARE(clCloser.clMessages, clShown);
    QCOMPARE(clCloser.pendingHandlers(), 0);
    QVERIFY(!clPage.updateController()->isBusy());
    QVERIFY(!clPage.updateController()->progressDialog()->isVisible());
    QCOMPARE(clServer.requests().count(QString::fromLatin1(DESCRIPTION_PATH)),
        strCase == QLatin1String("unreadable") ? 0 : 1);
    QCOMPARE(int(clServer.requests().size()), iRequests);
}

QTEST_MAIN(TestUpdaterWidgets)
#include "tst_updater_widgets.moc"
