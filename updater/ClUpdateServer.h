#pragma once

#include <QString>

// Where the update server is. The built-in base URL is used unless KD4TOOL_UPDATE_URL names
// another one (a test server, a mirror).
class ClUpdateServer
{
public:
    static QString builtInUrl();
    // The URL in force, ending in "/": the override when set, otherwise the built-in one.
    static QString url();
};
