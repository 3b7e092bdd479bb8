// The main window and the start-up steps that can run inside one process: translations and the
// default locale, window title, refusal texts, focus and context-menu policies, page switching.

#include "app/ClAppCheck.h"
#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "app/ClStartup.h"
#include "camera/ClCurlLibrary.h"
#include "shell/ClDialogHelpers.h"
#include "shell/ClKeyboardAccess.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/WidgetSupport.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
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
    void createMainWindow_keyboardReachesControlsClickFocusesNothing();
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

// Controls are reached by Tab and Enter presses a focused button, while a click still moves no
// focus and leaves no focus frame behind; widgets made later follow the same rule.
void TestMainWindow::createMainWindow_keyboardReachesControlsClickFocusesNothing()
{
    const auto describe = [](QWidget* pclWidget) {
        const auto* pclButton = qobject_cast<QAbstractButton*>(pclWidget);
        return QStringLiteral("%1 \"%2\"")
            .arg(QLatin1String(pclWidget->metaObject()->className()),
                pclButton ? pclButton->text() : pclWidget->objectName());
    };
    ClKeyboardAccess::install();
    std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
    QList<QWidget*> clWidgets = pclWindow->findChildren<QWidget*>();
    clWidgets.prepend(pclWindow.get());
    QVERIFY(clWidgets.size() >= 2); // at least the window and its content widget
    for (QWidget* pclWidget : clWidgets) {
        QVERIFY2(pclWidget->contextMenuPolicy() == Qt::NoContextMenu, pclWidget->metaObject()->className());
        const bool bTextField
            = qobject_cast<QLineEdit*>(pclWidget) || qobject_cast<QAbstractSpinBox*>(pclWidget);
        QVERIFY2(
            bTextField || !(pclWidget->focusPolicy() & Qt::ClickFocus), pclWidget->metaObject()->className());
        if (qobject_cast<QAbstractButton*>(pclWidget) || qobject_cast<QComboBox*>(pclWidget))
            QVERIFY2(pclWidget->focusPolicy() & Qt::TabFocus, pclWidget->metaObject()->className());
    }
    auto* pclLater = new QPushButton(QStringLiteral("later"), pclWindow->contentWidget());
    QCOMPARE(pclLater->contextMenuPolicy(), Qt::DefaultContextMenu); // that pass ran once
    delete pclLater;

    QVERIFY(Kd4Test::showExposed(pclWindow.get()));
    pclWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pclWindow.get()));
    auto* pclConnect = pclWindow->findChild<QPushButton*>(QStringLiteral("connectButton"));
    QVERIFY(pclConnect);
    QTRY_VERIFY_WITH_TIMEOUT(pclConnect->isVisible() && pclConnect->isEnabled(), 10000);
    QList<QWidget*> clChain = Kd4Test::tabChain(pclWindow.get());
    QVERIFY2(clChain.contains(pclConnect), qPrintable(QString::number(clChain.size())));
    const auto fnRect = [&pclWindow](QWidget* pclWidget) {
        return QRect(pclWidget->mapTo(pclWindow.get(), QPoint()), pclWidget->size());
    };
    // The chain is a ring: read it from the control at the top.
    const auto itTop = std::min_element(clChain.begin(), clChain.end(),
        [&fnRect](QWidget* pclA, QWidget* pclB) { return fnRect(pclA).top() < fnRect(pclB).top(); });
    std::rotate(clChain.begin(), itTop, clChain.end());
    for (int i = 1; i < clChain.size(); ++i) {
        const QRect clAbove = fnRect(clChain.at(i - 1));
        const QRect clBelow = fnRect(clChain.at(i));
        QVERIFY2(clBelow.top() >= clAbove.bottom() || clBelow.left() > clAbove.left(),
            qPrintable(
                QStringLiteral("%1 before %2").arg(describe(clChain.at(i - 1)), describe(clChain.at(i)))));
    }
    QVERIFY(Kd4Test::tabTo(pclConnect));
    QVERIFY(pclWindow->testAttribute(Qt::WA_KeyboardFocusChange));
    QSignalSpy clClicked(pclConnect, &QPushButton::clicked);
    QTest::keyClick(pclConnect, Qt::Key_Return);
    QTRY_COMPARE(clClicked.count(), 1);
    // The mouse takes over: the focus frame goes, the click gave no focus of its own.
    QTest::mouseClick(pclWindow->contentWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(!pclWindow->testAttribute(Qt::WA_KeyboardFocusChange));
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
