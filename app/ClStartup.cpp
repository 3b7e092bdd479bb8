#include "app/ClStartup.h"

#include "app/ClAppCheck.h"
#include "app/ClMainWidget.h"
#include "camera/ClCurlLibrary.h"
#include "config/kd4_config.h"
#include "resources/ClResources.h"
#include "shell/ClBasicStyle.h"
#include "shell/ClDialogHelpers.h"
#include "shell/ClKeyboardAccess.h"
#include "shell/ClSettingsIdentity.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <QLibrary>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

#include <cstdio>

namespace {

constexpr bool sameText(const char* pA, const char* pB)
{
    return *pA == *pB && (*pA == '\0' || sameText(pA + 1, pB + 1));
}

// The translated program name. lupdate needs the literal; the build configuration owns the name.
QString programName()
{
    static_assert(sameText("KD4Tool", Kd4Config::PROGRAM_NAME), "the translated name follows project()");
    return QObject::tr("KD4Tool");
}

// Loads one catalogue into a translator owned by the application; a missing catalogue is no error.
void loadTranslation(const QString& strPath, const QString& strCode)
{
    // The first load fixes the process's default locale; later loads leave it alone.
    static bool bLocaleSet = false;
    if (!bLocaleSet) {
        bLocaleSet = true;
        QLocale::setDefault(QLocale(strCode == QLatin1String("ja") ? QLocale::Japanese : QLocale::English));
    }

    auto* pclTranslator = new QTranslator(QCoreApplication::instance());
    if (pclTranslator->load(strPath))
        QCoreApplication::installTranslator(pclTranslator);
    else
        delete pclTranslator;
}

// One pass over the widget and every widget below it.
template <typename Fn> void forEachWidget(QWidget* pclRoot, Fn fnApply)
{
    fnApply(pclRoot);
    const QList<QWidget*> clChildren = pclRoot->findChildren<QWidget*>();
    for (QWidget* pclChild : clChildren)
        fnApply(pclChild);
}

void printTo(std::FILE* pFile, const QString& strText)
{
    std::fputs(strText.toLocal8Bit().constData(), pFile);
    std::fflush(pFile);
}

} // namespace

QString ClStartup::usage()
{
    return QStringLiteral("Usage: kd4tool [--debug]\n"
                          "       kd4tool --help | --version\n"
                          "\n"
                          "The desktop companion of the Vexa KD-4 action camera: opens its window\n"
                          "and connects to the camera by itself.\n"
                          "\n"
                          "Options:\n"
                          "  --debug       write the messages sent to and received from the camera,\n"
                          "                and the update transfers, to standard error\n"
                          "  -h, --help    print this help, and end\n"
                          "  --version     print the version, and end\n"
                          "\n"
                          "Qt's standard options (such as -platform) are accepted as well.\n");
}

int ClStartup::handleCommandLine(const QStringList& clArgs, bool bQtOptionsTaken)
{
    QCommandLineParser clParser;
    const QCommandLineOption clHelp(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption clVersion(QStringLiteral("version"));
    const QCommandLineOption clDebug(QStringLiteral("debug"));
    clParser.addOptions({ clHelp, clVersion, clDebug });
    // Parsed without an application object, so that --help needs no display.
    const bool bParsed = clParser.parse(clArgs);
    if (clParser.isSet(clHelp)) {
        printTo(stdout, usage());
        return 0;
    }
    if (clParser.isSet(clVersion)) {
        printTo(
            stdout, QStringLiteral("kd4tool ") + QLatin1String(Kd4Config::VERSION_TEXT) + QLatin1Char('\n'));
        return 0;
    }
    if (!bQtOptionsTaken)
        return -1;
    QString strError = clParser.errorText();
    if (bParsed && !clParser.positionalArguments().isEmpty())
        strError = QStringLiteral("Unexpected argument '%1'.").arg(clParser.positionalArguments().first());
    if (!strError.isEmpty()) {
        printTo(stderr, QStringLiteral("kd4tool: ") + strError + QStringLiteral("\n\n") + usage());
        return 2;
    }
    if (clParser.isSet(clDebug))
        QLoggingCategory::setFilterRules(QStringLiteral("kd4.*.debug=true"));
    return -1;
}

void ClStartup::installStyle()
{
    QApplication::setStyle(new ClBasicStyle); // the application takes ownership
}

void ClStartup::registerResources()
{
    ClResources::init();
}

QString ClStartup::languageCode(const QLocale& clSystemLocale)
{
    return clSystemLocale.language() == QLocale::Japanese ? QStringLiteral("ja") : QStringLiteral("en");
}

void ClStartup::loadTranslations(const QString& strCode)
{
    loadTranslation(QStringLiteral(":/lang/%1").arg(strCode), strCode);
    loadTranslation(QStringLiteral(":/%1/update").arg(strCode), strCode);
}

void ClStartup::setAppearance()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/img/app_icon")));
    QCoreApplication::addLibraryPath(
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QStringLiteral("imageformats"));

    QFont clFont;
    const QString strFamily = QObject::tr("Segoe UI");
    if (!strFamily.isEmpty())
        clFont.setFamily(strFamily);
    clFont.setPixelSize(13);
    QApplication::setFont(clFont);
    clFont.setPixelSize(14);
    QApplication::setFont(clFont, "QLineEdit");
}

void ClStartup::setIdentity()
{
    // The name users read; QSettings files go under the fixed settings identity instead.
    QCoreApplication::setApplicationName(programName());
    QCoreApplication::setApplicationVersion(QLatin1String(Kd4Config::VERSION_TEXT));
    ClSettingsIdentity::setOrganizationName(QLatin1String(Kd4Config::SETTINGS_ORGANIZATION));
    ClSettingsIdentity::setApplicationName(QLatin1String(Kd4Config::SETTINGS_APPLICATION));
}

QString ClStartup::refusalMessage(int iStatus)
{
    // Translated first, so that the translated application name is what the user reads.
    QString strText;
    switch (iStatus) {
    case ClAppCheck::AlreadyRunning:
        strText = QObject::tr("%1 is already running");
        break;
    case ClAppCheck::OtherUserRunning:
        strText = QObject::tr("Unable to start because another user is running %1");
        break;
    default:
        strText = QObject::tr("Unable to initialize %1");
        break;
    }
    return strText.arg(QCoreApplication::applicationName());
}

int ClStartup::checkSingleInstance(ClAppCheck& clGuard)
{
    // The lock is named after the settings identity, so every build of the tool shares it.
    const int iStatus = clGuard.checkInstance(QLatin1String(Kd4Config::SETTINGS_APPLICATION));
    if (iStatus != ClAppCheck::OnlyInstance)
        showMessageDialog(nullptr, refusalMessage(iStatus));
    return iStatus;
}

bool ClStartup::loadHttpLibrary()
{
    if (ClCurlLibrary::load())
        return true;
    showMessageDialog(nullptr, QObject::tr("Failed to load library."));
    return false;
}

QString ClStartup::windowTitle()
{
    return programName() + QStringLiteral("   ") + QStringLiteral("Ver.")
        + QLatin1String(Kd4Config::VERSION_TEXT);
}

std::unique_ptr<ClMainWidget> ClStartup::createMainWindow()
{
    auto pclWindow = std::make_unique<ClMainWidget>();
    pclWindow->setWindowTitle(windowTitle());
    // No context menus on the widgets that exist now; widgets made later keep their own.
    forEachWidget(
        pclWindow.get(), [](QWidget* pclWidget) { pclWidget->setContextMenuPolicy(Qt::NoContextMenu); });
    // Controls are reached by Tab, never focused by a click; widgets made later follow once
    // the application watches them (run() installs the watcher).
    ClKeyboardAccess::apply(pclWindow.get());
    return pclWindow;
}

int ClStartup::run(int& iArgc, char** ppArgv, const std::function<void(ClMainWidget*)>& fnAttach)
{
    QStringList clArgs;
    for (int iIndex = 0; iIndex < iArgc; ++iIndex)
        clArgs.append(QString::fromLocal8Bit(ppArgv[iIndex]));
    const int iEarlyEnd = handleCommandLine(clArgs, false);
    if (iEarlyEnd >= 0)
        return iEarlyEnd;

    QApplication clApp(iArgc, ppArgv);
    // QApplication has taken its own options out of the arguments by now.
    const int iWrongUse = handleCommandLine(QCoreApplication::arguments(), true);
    if (iWrongUse >= 0)
        return iWrongUse;
    installStyle();
    ClKeyboardAccess::install();
    registerResources();
    loadTranslations(languageCode(QLocale::system()));
    setAppearance();
    setIdentity();

    int iResult = -1;
    {
        ClAppCheck clGuard(QCoreApplication::applicationName());
        if (checkSingleInstance(clGuard) != ClAppCheck::OnlyInstance)
            return -1;
        if (!loadHttpLibrary())
            return -1;

        std::unique_ptr<ClMainWidget> pclWindow = createMainWindow();
        pclWindow->show();
        if (fnAttach)
            fnAttach(pclWindow.get());
        iResult = QApplication::exec();
        pclWindow.reset();
    }
    return iResult;
}
