#pragma once

#include <QString>

#include <functional>
#include <memory>

class ClAppCheck;
class ClMainWidget;
class QLocale;
class QStringList;

// The program's start-up, step by step: command line, application, style, resources,
// translations, appearance, identity, single-instance guard, HTTP library, main window, event
// loop. run() does all of it in that order; the steps are separate so that each can be checked on
// its own.
class ClStartup
{
public:
    // The whole start-up; returns the process exit code. fnAttach, when given, meets the main
    // window just before the event loop runs (the soak test's scripted user attaches there).
    static int run(int& iArgc, char** ppArgv, const std::function<void(ClMainWidget*)>& fnAttach = {});

    // The program's own options: --help and --version print to standard output and end the
    // program (0); --debug sends the camera's messages and the update transfers to standard
    // error. Returns the exit code when the program is to end now, -1 to go on. Before the
    // application exists (bQtOptionsTaken false) only --help and --version count, since Qt's own
    // options (-platform, -style ...) are still among the arguments; afterwards anything else is
    // an error, printed with the usage to standard error (2).
    static int handleCommandLine(const QStringList& clArgs, bool bQtOptionsTaken);
    static QString usage();

    static void installStyle();
    static void registerResources();
    // "ja" for a Japanese system locale, "en" for every other language.
    static QString languageCode(const QLocale& clSystemLocale);
    // Loads ":/lang/<code>" then ":/<code>/update". The first load of the process also makes
    // Japanese or English the default locale.
    static void loadTranslations(const QString& strCode);
    static void setAppearance();
    static void setIdentity();
    // The guard's check; a refusal is shown to the user. Returns the guard's status.
    static int checkSingleInstance(ClAppCheck& clGuard);
    // The translated refusal for a non-zero guard status, with the application name filled in.
    static QString refusalMessage(int iStatus);
    // Loads the HTTP library the camera transport needs; tells the user when it cannot.
    static bool loadHttpLibrary();
    static QString windowTitle();
    // The main window with its title, context menus and focus switched off on every widget.
    static std::unique_ptr<ClMainWidget> createMainWindow();
};
