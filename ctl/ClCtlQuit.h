#pragma once

#include <functional>

// The system asking kd4ctl to end (SIGINT from a terminal, SIGTERM, SIGHUP when the terminal goes away). The
// handler only notes the signal: the step in progress finishes within the transport's own time limits, and
// the run then closes its camera session before it ends. A second signal ends the run at once, after a
// closing message with a short limit.
class ClCtlQuit
{
public:
    // Installs the handlers; a write to a closed pipe then fails instead of ending the process
    // before the session is closed.
    static void install();
    // The first signal received; 0 while none.
    static int signal();
    // A second signal: fnLastWords runs on a thread of its own (the run may be waiting for a camera
    // that does not answer), then the process ends at once with the first signal's exit code.
    static void onSecondSignal(std::function<void()> fnLastWords);
};
