// Renders the program's looks to PNG files for a look by eye, or saves a picture of a running X
// screen (how scripts/run.sh leaves something to look at after a run under Xvfb).
//   kd4-screenshot screen <file.png> [width height]
//   kd4-screenshot gallery|main|settings|all <folder> [en|ja]
//   kd4-screenshot resources <folder>
// Everything but "screen" renders offscreen unless QT_QPA_PLATFORM says otherwise; "all" writes
// each kind into a sub-folder of its own.

#include "app/ClStartup.h"
#include "tools/screenshot/Shots.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <cstring>

namespace {

int usage()
{
    QTextStream(stderr) << "usage: kd4-screenshot screen <file.png> [width height]\n"
                           "       kd4-screenshot gallery|main|settings|all <folder> [en|ja]\n"
                           "       kd4-screenshot resources <folder>\n";
    return 2;
}

bool render(const QString& strKind, const QString& strDir, const QString& strLang)
{
    QDir().mkpath(strDir);
    if (strKind == QLatin1String("gallery"))
        return shots::gallery(strDir, strLang);
    if (strKind == QLatin1String("main"))
        return shots::mainWindow(strDir, strLang);
    if (strKind == QLatin1String("settings"))
        return shots::settings(strDir, strLang);
    if (strKind == QLatin1String("resources"))
        return shots::resources(strDir);
    // The main window's looks last: they start and stop a simulator of their own.
    bool bOk = true;
    for (const char* pcKind : { "gallery", "settings", "resources", "main" })
        bOk &= render(QLatin1String(pcKind), QDir(strDir).filePath(QLatin1String(pcKind)), strLang);
    return bOk;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3)
        return usage();
    if (std::strcmp(argv[1], "screen") == 0) {
        QGuiApplication clApp(argc, argv);
        const QStringList clArgs = QCoreApplication::arguments();
        const bool bSized = clArgs.size() >= 5;
        return shots::screen(
                   clArgs.at(2), bSized ? clArgs.at(3).toInt() : -1, bSized ? clArgs.at(4).toInt() : -1)
            ? 0
            : 1;
    }
    const QString strKind = QString::fromLocal8Bit(argv[1]);
    if (!QStringList { "gallery", "main", "settings", "resources", "all" }.contains(strKind))
        return usage();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication clApp(argc, argv);
    const QStringList clArgs = QCoreApplication::arguments();
    const QString strLang = clArgs.value(3, ClStartup::languageCode(QLocale::system()));
    shots::prepare(strLang);
    return render(strKind, clArgs.at(2), strLang) ? 0 : 1;
}
