#include "ClPlatform.h"

#include <QDir>
#include <QProcess>

#include <windows.h>
#include <shlobj.h>

int ClPlatform::acquireInstanceLock(const QString& strName, qintptr* pHandle)
{
    // The global namespace makes the name visible across users' sessions.
    const QString strMutexName = QStringLiteral("Global\\") + strName;
    HANDLE hMutex = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(strMutexName.utf16()));
    const DWORD dwError = ::GetLastError();
    if (hMutex && dwError == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(hMutex);
        return LockHeldByThisUser;
    }
    if (!hMutex)
        return dwError == ERROR_ACCESS_DENIED ? LockHeldByOtherUser : LockFailed;
    *pHandle = reinterpret_cast<qintptr>(hMutex);
    return LockTaken;
}

QString ClPlatform::appDataFolder()
{
    wchar_t aPath[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, aPath, CSIDL_APPDATA, FALSE))
        return QString();
    return QString::fromWCharArray(aPath);
}

bool ClPlatform::startInstaller(const QString& strPackagePath)
{
    return QProcess::startDetached(QStringLiteral("msiexec"),
                                   {QStringLiteral("/i"), QDir::toNativeSeparators(strPackagePath)});
}
