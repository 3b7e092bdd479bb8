#include "ctl/ClCtlQuit.h"

#include <csignal>
#include <cstdlib>
#include <thread>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define KD4_SECOND_SIGNAL 1
#endif

namespace {

volatile std::sig_atomic_t iReceived = 0;
#ifdef KD4_SECOND_SIGNAL
// The handler wakes the watcher of a second signal through this pipe (write is safe in a handler).
int aiWake[2] = { -1, -1 };
#endif

extern "C" void onQuitSignal(int iSignal)
{
    if (iReceived == 0) {
        iReceived = iSignal;
        return;
    }
#ifdef KD4_SECOND_SIGNAL
    if (aiWake[1] >= 0 && ::write(aiWake[1], "!", 1) < 0) {
        // nothing to be done in a handler
    }
#endif
}

} // namespace

void ClCtlQuit::install()
{
#ifdef KD4_SECOND_SIGNAL
    if (aiWake[0] < 0 && ::pipe(aiWake) == 0) {
        ::fcntl(aiWake[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(aiWake[1], F_SETFD, FD_CLOEXEC);
    }
#endif
    // std::signal keeps the handler installed and restarts interrupted calls where the system
    // does (BSD semantics on glibc); the transfers retry an interrupted wait themselves.
    // A SIGINT the run was started to ignore (a background job of a script) stays ignored.
    if (std::signal(SIGINT, onQuitSignal) == SIG_IGN)
        std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, onQuitSignal);
#ifdef SIGHUP
    // The terminal went away; a run started under nohup keeps ignoring it.
    if (std::signal(SIGHUP, onQuitSignal) == SIG_IGN)
        std::signal(SIGHUP, SIG_IGN);
#endif
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

int ClCtlQuit::signal()
{
    return iReceived;
}

void ClCtlQuit::onSecondSignal(std::function<void()> fnLastWords)
{
#ifdef KD4_SECOND_SIGNAL
    if (aiWake[0] < 0)
        return;
    std::thread([fnLastWords = std::move(fnLastWords)] {
        char cByte = 0;
        while (::read(aiWake[0], &cByte, 1) < 0) { }
        fnLastWords();
        std::_Exit(128 + iReceived);
    }).detach();
#else
    (void)fnLastWords;
#endif
}
