#pragma once

#include <QString>

// One file still to fetch: its name relative to the server directory of the description and
// its expected digest (lower-case hexadecimal MD5).
struct stDownloadEntry
{
    QString strFileName;
    QString strHash;
};
