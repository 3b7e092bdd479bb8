#include "camera/ClCurlLibrary.h"

#include "platform/ClPlatform.h"

#include <QLibrary>

QLibrary& ClCurlLibrary::library()
{
    static QLibrary clLibrary(QString::fromLatin1(defaultFileName()));
    return clLibrary;
}

const char* ClCurlLibrary::defaultFileName()
{
    return ClPlatform::httpLibraryFileName();
}

bool ClCurlLibrary::load()
{
    QLibrary& clLibrary = library();
    if (clLibrary.isLoaded())
        return true;
    return clLibrary.load();
}
