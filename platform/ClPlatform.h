#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QObject;

// The few operating-system services the program needs, with one implementation per platform:
// the machine-wide single-instance lock, the user's application-data folder, the HTTP library's
// file name and the installer.
class ClPlatform
{
public:
    enum InstanceLockStatus
    {
        LockTaken = 0, // this process now holds the name
        LockHeldByThisUser = 1, // another copy of this user holds it
        LockHeldByOtherUser = 2, // a copy in another user's session holds it
        LockFailed = 3, // the lock could not be created for any other reason
    };

    // Takes the machine-wide lock of that name. On LockTaken, *pHandle keeps it until the process
    // ends (the system releases it then, even after a crash); otherwise *pHandle is left unchanged.
    static int acquireInstanceLock(const QString& strName, qintptr* pHandle);
    // Gives a lock taken by acquireInstanceLock back at once, for a program that only checks
    // whether another holds it.
    static void releaseInstanceLock(qintptr llHandle);

    // The user's roaming application-data folder, without a trailing separator.
    static QString appDataFolder();

    // The file name of the HTTP library (libcurl) as the system's loader finds it.
    static const char* httpLibraryFileName();

    // The update description below the update server's base URL: the one that lists packages for
    // this system.
    static QString updateDescriptionPath();
    // The system installer takes this file name (the first file of a newer tool).
    static bool isInstallerPackage(const QString& strFileName);
    // Hands a package to the system installer without waiting for it. fnDone(true) once the
    // installer has the package: on Windows as soon as "msiexec" "/i" <path> runs (detached, it
    // replaces the running tool), elsewhere when "xdg-open" <path> has ended with status 0 (the
    // desktop's software installer has opened it). fnDone(false) when it could not be started or
    // ended otherwise. fnDone runs once, and not after pclContext is gone.
    static void startInstaller(
        const QString& strPackagePath, QObject* pclContext, const std::function<void(bool)>& fnDone);
};
