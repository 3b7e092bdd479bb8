#pragma once

#include <functional>

class QEventLoop;

// The wait for a shutdown step (the camera's answer to stop-session, the live stream's stop): a
// nested event loop, so queued signals keep arriving, bounded by ten seconds so that a camera that
// never answers cannot hold the program.
class ClShutdownWait
{
public:
    static constexpr int LIMIT_MS = 10000;

    // Delivers what was posted before now, then, unless fnDone() already holds, runs clLoop until
    // something quits it or the limit passes.
    static void run(QEventLoop& clLoop, const std::function<bool()>& fnDone);
};
