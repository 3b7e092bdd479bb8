#pragma once

#include <QString>

// One file named by the update description.
struct stFileEntry
{
    QString strDir; // directory below the tool's folder ("." for the top), empty for the package
    QString strFile; // path relative to the server directory of the description
    QString strVersion; // dotted decimal, e.g. "01.00.006"
    QString strHash; // lower-case hexadecimal MD5 of the file
};
