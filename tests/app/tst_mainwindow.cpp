// The main window and the start-up steps that can run inside one process: translations and the
// default locale, window title, refusal texts, focus and context-menu policies, page switching.

#include "ClAppCheck.h"
#include "ClCurlLibrary.h"
#include "ClDialogHelpers.h"
#include "ClMainContentWidget.h"
#include "ClMainWidget.h"
#include "ClModalDriver.h"
#include "ClStartup.h"

#include <QDialog>
#include <QLabel>
#include <QLibrary>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QTranslator>
#include <QtTest>

namespace {

void removeTranslators()
{
    const QList<QTranslator*> clTranslators = QCoreApplication::instance()->findChildren<QTranslator*>();
    for (QTranslator* pclTranslator : clTranslators) {
        QCoreApplication::removeTranslator(pclTranslator);
        delete pclTranslator;
    }
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void languageCode_japaneseOrEnglish_data();
    void languageCode_japaneseOrEnglish();
    void loadTranslations_firstLoadFixesDefaultLocale();
    void windowTitle_untranslatedAndEnglish();
    void refusalMessage_translatedBeforeNameIsFilledIn_data();
    void refusalMessage_translatedBeforeNameIsFilledIn();
    void createMainWindow_noFocusNoContextMenuAnywhere();
    void mainWindow_maximumSizeAndNoMaximizeButton();
    void slotSetPage_ignoresOutOfRangePages();
    void showMessageDialog_textAndOkButton();
    void loadHttpLibrary_failureIsShownAndReported();
};

void TestMainWindow::initTestCase()
{
    ClStartup::installStyle();
    ClStartup::registerResources();
    QVERIFY(QFile::exists(QStringLiteral(":/lang/en")));
}

void TestMainWindow::cleanup()
{
    removeTranslators();
    QCoreApplication::setApplicationName(QStringLiteral("tst_mainwindow"));
}

void TestMainWindow::languageCode_japaneseOrEnglish_data()
{
    QTest::addColumn<QLocale>("clLocale");
    QTest::addColumn<QString>("strCode");
    QTest::newRow("Japanese, Japan") << QLocale(QLocale::Japanese, QLocale::Japan) << "ja";
    QTest::newRow("German, Germany") << QLocale(QLocale::German, QLocale::Germany) << "en";
    QTest::newRow("English, US") << QLocale(QLocale::English, QLocale::UnitedStates) << "en";
}

void TestMainWindow::languageCode_japaneseOrEnglish()
{
    QFETCH(QLocale, clLocale);
    QFETCH(QString, strCode);
    QCOMPARE(ClStartup::languageCode(clLocale), strCode);
}

void TestMainWindow::loadTranslations_firstLoadFixesDefaultLocale()
{
    // Both catalogues of the language are installed and the default locale follows the first load.
    ClStartup::loadTranslations(QStringLiteral("ja"));
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QCOMPARE(QLocale().country(), QLocale::Japan); // QLocale(Japanese) implies Japan
    QCOMPARE(QCoreApplication::instance()->findChildren<QTranslator*>().size(), 2);
    const QString strJapaneseName = QObject::tr("KD4Tool");
    QVERIFY(strJapaneseName != QLatin1String("KD4Tool"));
    QVERIFY(QObject::tr("Tool version upgrade") != QLatin1String("Tool version upgrade"));

    // Later loads leave the default locale alone.
    removeTranslators();
    ClStartup::loadTranslations(QStringLiteral("en"));
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QCOMPARE(QObject::tr("Tool version upgrade"), QStringLiteral("Update"));

    // A missing catalogue is no error: nothing is installed for it and the texts stay English.
    removeTranslators();
    ClStartup::loadTranslations(QStringLiteral("xx"));
    QCOMPARE(QCoreApplication::instance()->findChildren<QTranslator*>().size(), 0);
    QCOMPARE(QObject::tr("KD4Tool"), QStringLiteral("KD4Tool"));
}

void TestMainWindow::windowTitle_untranslatedAndEnglish()
{
    QCOMPARE(ClStartup::windowTitle(), QStringLiteral("KD4Tool   Ver.01.00.005"));
    ClStartup::loadTranslations(QStringLiteral("en"));
    QCOMPARE(ClStartup::windowTitle(), QStringLiteral("Vexa APP for PC   Ver.01.00.005"));

    std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
    QCOMPARE(pclWindow->windowTitle(), QStringLiteral("Vexa APP for PC   Ver.01.00.005"));
}

void TestMainWindow::refusalMessage_translatedBeforeNameIsFilledIn_data()
{
    QTest::addColumn<int>("iStatus");
    QTest::addColumn<QString>("strUntranslated");
    QTest::addColumn<QString>("strEnglish");
    QTest::newRow("already running") << int(ClAppCheck::AlreadyRunning) << "KD4Tool is already running"
                                     << "Vexa APP for PC is already running.";
    QTest::newRow("another user")
        << int(ClAppCheck::OtherUserRunning) << "Unable to start because another user is running KD4Tool"
        << "Vexa APP for PC is unable to start because it is already opened by another user.";
    QTest::newRow("failed") << int(ClAppCheck::CheckFailed) << "Unable to initialize KD4Tool"
                            << "Vexa APP for PC is unable to be opened.";
}

void TestMainWindow::refusalMessage_translatedBeforeNameIsFilledIn()
{
    QFETCH(int, iStatus);
    QFETCH(QString, strUntranslated);
    QFETCH(QString, strEnglish);

    ClStartup::setIdentity();
    QCOMPARE(ClStartup::refusalMessage(iStatus), strUntranslated);

    ClStartup::loadTranslations(QStringLiteral("en"));
    ClStartup::setIdentity(); // the application name is the translated one from here on
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Vexa APP for PC"));
    QCOMPARE(ClStartup::refusalMessage(iStatus), strEnglish);
}

void TestMainWindow::createMainWindow_noFocusNoContextMenuAnywhere()
{
    std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
    QList<QWidget*> clWidgets = pclWindow->findChildren<QWidget*>();
    clWidgets.prepend(pclWindow.get());
    QVERIFY(clWidgets.size() >= 2); // at least the window and its content widget
    for (QWidget* pclWidget : clWidgets) {
        QVERIFY2(pclWidget->contextMenuPolicy() == Qt::NoContextMenu, pclWidget->metaObject()->className());
        QVERIFY2(pclWidget->focusPolicy() == Qt::NoFocus, pclWidget->metaObject()->className());
    }
    // Widgets made afterwards keep their own policies: the passes ran once.
    auto* pclLater = new QLabel(pclWindow->contentWidget());
    pclLater->setFocusPolicy(Qt::StrongFocus);
    QCOMPARE(pclLater->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(pclLater->contextMenuPolicy(), Qt::DefaultContextMenu);
}

void TestMainWindow::mainWindow_maximumSizeAndNoMaximizeButton()
{
    ClMainWidget clWindow;
    QVERIFY(clWindow.contentWidget());
    QCOMPARE(clWindow.maximumSize(), clWindow.contentWidget()->maximumSize());
    QVERIFY(!(clWindow.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(clWindow.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    // Closing works with no session open.
    clWindow.show();
    QVERIFY(clWindow.close());
}

void TestMainWindow::slotSetPage_ignoresOutOfRangePages()
{
    ClMainContentWidget clContent;
    auto* pclStack = clContent.findChild<QStackedLayout*>();
    QVERIFY(pclStack);
    QCOMPARE(pclStack->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(pclStack->spacing(), 0);
    // Page 0 is shown from the start whenever there is one.
    if (pclStack->count() > 0)
        QCOMPARE(pclStack->currentIndex(), 0);
    while (pclStack->count() < 2)
        pclStack->addWidget(new QLabel(QStringLiteral("page %1").arg(pclStack->count())));
    const int iCount = pclStack->count();
    pclStack->setCurrentIndex(0);

    const auto setPage
        = [&](int iPage) { return QMetaObject::invokeMethod(&clContent, "slotSetPage", Q_ARG(int, iPage)); };
    QVERIFY(setPage(1));
    QCOMPARE(pclStack->currentIndex(), 1);
    QVERIFY(setPage(-1));
    QCOMPARE(pclStack->currentIndex(), 1);
    QVERIFY(setPage(iCount));
    QCOMPARE(pclStack->currentIndex(), 1);
    QVERIFY(setPage(0));
    QCOMPARE(pclStack->currentIndex(), 0);
    QVERIFY(setPage(iCount + 5));
    QCOMPARE(pclStack->currentIndex(), 0);
}

void TestMainWindow::showMessageDialog_textAndOkButton()
{
    QWidget clParent;
    QPointer<QDialog> pclSeen;
    QString strLabel;
    QString strButton;
    QMargins clMargins;
    bool bHelpHint = true;
    Kd4Test::ClModalDriver clDriver;
    clDriver.expect([&](QDialog* pclDialog) {
        pclSeen = pclDialog;
        const QLabel* pclLabel = pclSeen->findChild<QLabel*>();
        QPushButton* pclButton = pclSeen->findChild<QPushButton*>();
        strLabel = pclLabel ? pclLabel->text() : QString();
        clMargins = pclLabel ? pclLabel->contentsMargins() : QMargins();
        strButton = pclButton ? pclButton->text() : QString();
        bHelpHint = pclSeen->windowFlags() & Qt::WindowContextHelpButtonHint;
        QCOMPARE(pclSeen->parentWidget(), &clParent);
        QCOMPARE(pclSeen->windowTitle(), QString());
        if (pclButton)
            QTest::mouseClick(pclButton, Qt::LeftButton);
    });
    showMessageDialog(&clParent, QStringLiteral("Failed to set WB."));
    QVERIFY(!pclSeen); // returned and destroyed after the click
    QCOMPARE(strLabel, QStringLiteral("Failed to set WB."));
    QCOMPARE(strButton, QStringLiteral("OK"));
    QCOMPARE(clMargins, QMargins(10, 10, 10, 10));
    QVERIFY(!bHelpHint);
}

void TestMainWindow::loadHttpLibrary_failureIsShownAndReported()
{
    QLibrary& clLibrary = ClCurlLibrary::library();
    const bool bWasLoaded = clLibrary.isLoaded();
    const QString strFileName = clLibrary.fileName();
    if (!bWasLoaded) {
        clLibrary.setFileName(QStringLiteral("/nonexistent/libcurl-for-test.so"));
        Kd4Test::ClModalDriver clDriver;
        QVERIFY(!ClStartup::loadHttpLibrary());
        QCOMPARE(clDriver.clMessages, QStringList { QStringLiteral("Failed to load library.") });
        clLibrary.setFileName(strFileName);
    }
    // The real library loads, and a loaded library is simply kept.
    QVERIFY(ClStartup::loadHttpLibrary());
    QVERIFY(clLibrary.isLoaded());
    QVERIFY(ClStartup::loadHttpLibrary());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
