#include "ClCurlLibrary.h"

#include <QLibrary>

QLibrary& ClCurlLibrary::library()
{
    static QLibrary clLibrary(QString::fromLatin1(defaultFileName()));
    return clLibrary;
}

const char* ClCurlLibrary::defaultFileName()
{
#if defined(Q_OS_WIN)
    return "libcurl.dll";
#elif defined(Q_OS_MACOS)
    return "libcurl.4.dylib";
#else
    // The runtime package's name; plain libcurl.so only exists with the development files.
    return "libcurl.so.4";
#endif
}

bool ClCurlLibrary::load()
{
    QLibrary& clLibrary = library();
    if (clLibrary.isLoaded())
        return true;
    return clLibrary.load();
}
