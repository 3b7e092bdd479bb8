#include "camera/ClCurlApi.h"

#include "camera/ClCurlLibrary.h"

#include <QLibrary>

bool ClCurlApi::resolve()
{
    QLibrary& clLibrary = ClCurlLibrary::library();
    // Resolving through a handle that is not loaded would load it; loading is start-up's job.
    if (!clLibrary.isLoaded())
        return false;
    fnEasyInit = reinterpret_cast<FnEasyInit>(clLibrary.resolve("curl_easy_init"));
    fnEasySetopt = reinterpret_cast<FnEasySetopt>(clLibrary.resolve("curl_easy_setopt"));
    fnEasyCleanup = reinterpret_cast<FnEasyCleanup>(clLibrary.resolve("curl_easy_cleanup"));
    fnSlistFreeAll = reinterpret_cast<FnSlistFreeAll>(clLibrary.resolve("curl_slist_free_all"));
    fnSlistAppend = reinterpret_cast<FnSlistAppend>(clLibrary.resolve("curl_slist_append"));
    fnEasyGetinfo = reinterpret_cast<FnEasyGetinfo>(clLibrary.resolve("curl_easy_getinfo"));
    fnEasyPerform = reinterpret_cast<FnEasyPerform>(clLibrary.resolve("curl_easy_perform"));
    return fnEasyInit && fnEasySetopt && fnEasyCleanup && fnSlistFreeAll && fnSlistAppend && fnEasyGetinfo
        && fnEasyPerform;
}
