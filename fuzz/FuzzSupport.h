#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <QWaitCondition>

#include <cstdio>
#include <cstdlib>
#include <functional>

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

// Runs work on a thread with a small stack. The program's readers run on a main thread of 1 MiB
// on Windows; on a smaller stack here, input nested deep enough to exhaust that fits within the
// input sizes libFuzzer tries, and ends the run instead of passing unnoticed. One thread serves the
// whole run: starting a thread per input would cost more than the work itself.
class SmallStackThread : public QThread
{
public:
    static constexpr unsigned STACK_BYTES = 256 * 1024;

    SmallStackThread()
    {
        setStackSize(STACK_BYTES);
        start();
    }

    void runWork(const std::function<void()>& fnWork)
    {
        QMutexLocker clLock(&clMutex);
        fnPending = fnWork;
        clWake.wakeOne();
        while (fnPending)
            clDone.wait(&clMutex);
    }

protected:
    void run() override
    {
        QMutexLocker clLock(&clMutex);
        for (;;) {
            while (!fnPending)
                clWake.wait(&clMutex);
            fnPending();
            fnPending = nullptr;
            clDone.wakeOne();
        }
    }

private:
    QMutex clMutex;
    QWaitCondition clWake;
    QWaitCondition clDone;
    std::function<void()> fnPending;
};

template <typename Fn> void onSmallStack(Fn fnWork)
{
    // Never deleted: it waits for work until the process ends.
    static SmallStackThread* pclThread = new SmallStackThread;
    pclThread->runWork(fnWork);
}

} // namespace kd4fuzz
