#pragma once

// kd4ctl's exit codes. A run ended by a signal exits with 128 + the signal's number.
namespace CtlExit {
constexpr int DONE = 0;
constexpr int USAGE = 1; // unknown command, key or value; a malformed file
constexpr int TRANSPORT = 2; // camera unreachable, time-out, HTTP status, broken reply
constexpr int REFUSED = 3; // the camera refused; its rval and the key are named
constexpr int PROGRAM_RUNNING = 4; // kd4tool runs and would lose its camera session
constexpr int SIGNALLED = 128;
} // namespace CtlExit
