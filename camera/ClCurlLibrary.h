#pragma once

class QLibrary;

// The one process-wide handle of the HTTP library. It is loaded at run time, never linked:
// start-up loads it and the camera client looks its functions up for every message.
class ClCurlLibrary
{
public:
    static QLibrary& library();
    static const char* defaultFileName();
    // Loads the library unless it is loaded already; true when it is loaded afterwards.
    static bool load();
};
