#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

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
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static QCoreApplication clApp(*pArgc, *pArgv);
}

// Runs fnWork on a thread with a small stack. The program's readers run on a main thread of 1 MiB
// on Windows; on a smaller stack here, input nested deep enough to exhaust that fits within the
// input sizes libFuzzer tries, and ends the run instead of passing unnoticed.
constexpr unsigned SMALL_STACK_BYTES = 256 * 1024;

template <typename Fn> void onSmallStack(Fn fnWork)
{
    QThread* pclThread = QThread::create(fnWork);
    pclThread->setStackSize(SMALL_STACK_BYTES);
    pclThread->start();
    pclThread->wait();
    delete pclThread;
}

} // namespace kd4fuzz
