#include "platform/ClPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QProcess>

// windows.h must come before the other system headers.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

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

void ClPlatform::releaseInstanceLock(qintptr llHandle)
{
    ::CloseHandle(reinterpret_cast<HANDLE>(llHandle));
}

QString ClPlatform::appDataFolder()
{
    wchar_t aPath[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, aPath, CSIDL_APPDATA, FALSE))
        return QString();
    return QString::fromWCharArray(aPath);
}

const char* ClPlatform::httpLibraryFileName()
{
    return "libcurl.dll";
}

QString ClPlatform::updateDescriptionPath()
{
    return QStringLiteral("kd4update/update_tool.xml");
}

bool ClPlatform::isInstallerPackage(const QString& strFileName)
{
    // Exactly "name.msi": a name with more dots has another complete suffix and is not taken.
    return QFileInfo(strFileName).completeSuffix() == QLatin1String("msi");
}

void ClPlatform::startInstaller(
    const QString& strPackagePath, QObject* pclContext, const std::function<void(bool)>& fnDone)
{
    // By its full system path: a bare "msiexec" would also find one planted in the program's or
    // the current folder, which Windows searches first.
    wchar_t aSystem[MAX_PATH] = {};
    const UINT uLength = ::GetSystemDirectoryW(aSystem, MAX_PATH);
    bool bStarted = false;
    if (uLength != 0 && uLength < MAX_PATH) {
        const QString strInstaller
            = QString::fromWCharArray(aSystem, int(uLength)) + QStringLiteral("\\msiexec.exe");
        bStarted = QProcess::startDetached(
            strInstaller, { QStringLiteral("/i"), QDir::toNativeSeparators(strPackagePath) });
    }
    // Reported like the other systems' outcome, once the caller is back in the event loop.
    QMetaObject::invokeMethod(
        pclContext, [fnDone, bStarted] { fnDone(bStarted); }, Qt::QueuedConnection);
}
