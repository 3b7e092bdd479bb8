#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Shared by the libFuzzer harnesses: a broken invariant ends the run like a crash, so libFuzzer
// keeps the input that broke it.
namespace kd4fuzz {

inline void require(bool bHolds, const char* pszWhat)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "kd4fuzz: invariant broken: %s\n", pszWhat);
    std::abort();
}

// One application object for the whole run (image plugins, settings), with the preference store
// in a folder of its own so a run never reads or writes the user's real preferences.
inline void startApplication(int* pArgc, char*** pArgv)
{
    static QTemporaryDir clHome;
    qputenv("HOME", clHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (clHome.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Decoders complain about every broken input; millions of warnings would only slow the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { });
    static QCoreApplication clApp(*pArgc, *pArgv);
}

} // namespace kd4fuzz
