#include "ctl/ClCtlQuit.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t iReceived = 0;

extern "C" void onQuitSignal(int iSignal)
{
    if (iReceived == 0)
        iReceived = iSignal;
}

} // namespace

void ClCtlQuit::install()
{
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
