#include "platform/ClPlatform.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// All users must see the same lock file, so it lives in the shared temporary folder (or where
// KD4TOOL_LOCK_DIR says, which keeps test runs apart).
QString lockFilePath(const QString& strName)
{
    QString strDir = QString::fromLocal8Bit(qgetenv("KD4TOOL_LOCK_DIR"));
    if (strDir.isEmpty())
        strDir = QStringLiteral("/tmp");
    return strDir + QLatin1Char('/') + strName + QStringLiteral(".lock");
}

int openLockFile(const QByteArray& clPath, bool* pbWritable)
{
    for (int iAttempt = 0; iAttempt < 5; ++iAttempt) {
        // Open without O_CREAT first: sticky folders refuse O_CREAT on other users' files.
        // O_NOFOLLOW everywhere: the folder is shared by all users, and a link planted under the
        // lock's name must not make this program write (and trim) the file it points to.
        int iFd = ::open(clPath.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (iFd >= 0) {
            *pbWritable = true;
            return iFd;
        }
        if (errno == EACCES || errno == EPERM) {
            iFd = ::open(clPath.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            *pbWritable = false;
            return iFd;
        }
        if (errno != ENOENT)
            return -1;
        iFd = ::open(clPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (iFd >= 0) {
            ::fchmod(iFd, 0666); // every user's copy must be able to take it later
            *pbWritable = true;
            return iFd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

int ClPlatform::acquireInstanceLock(const QString& strName, qintptr* pHandle)
{
    const QByteArray clPath = QFile::encodeName(lockFilePath(strName));
    bool bWritable = false;
    const int iFd = openLockFile(clPath, &bWritable);
    if (iFd < 0)
        return LockFailed;

    if (::flock(iFd, LOCK_EX | LOCK_NB) == 0) {
        if (!bWritable) {
            // Free, but left behind by another user with a mode we cannot write: still ours.
            *pHandle = iFd;
            return LockTaken;
        }
        // Record the holder so that a second copy can tell whose copy runs.
        const QByteArray clOwner = QByteArray::number(static_cast<qulonglong>(::getuid())) + ' '
            + QByteArray::number(static_cast<qlonglong>(::getpid())) + '\n';
        // Written before trimming, so that a previous record never leaves the file empty meanwhile.
        if (::pwrite(iFd, clOwner.constData(), static_cast<size_t>(clOwner.size()), 0) == clOwner.size()) {
            // Should trimming fail, a longer old record's tail stays after ours; readers take only
            // the first field, so nothing else needs doing.
            const int iTrimmed = ::ftruncate(iFd, clOwner.size());
            Q_UNUSED(iTrimmed)
        }
        *pHandle = iFd;
        return LockTaken;
    }

    const int iLockErr = errno;
    if (iLockErr != EWOULDBLOCK) {
        ::close(iFd);
        return LockFailed;
    }

    // The holder writes its record just after taking the lock: give a copy started at the same
    // moment a short while to see it rather than mistake it for another user's.
    char aBuffer[64] = {};
    ssize_t iRead = 0;
    for (int iAttempt = 0; iAttempt < 25; ++iAttempt) {
        iRead = ::pread(iFd, aBuffer, sizeof(aBuffer) - 1, 0);
        if (iRead != 0)
            break;
        ::usleep(20 * 1000);
    }
    ::close(iFd);
    if (iRead <= 0)
        return LockHeldByOtherUser; // the holder's record is not readable to us
    bool bOk = false;
    const qulonglong ullOwner
        = QByteArray(aBuffer, static_cast<int>(iRead)).split(' ').value(0).toULongLong(&bOk);
    if (bOk && ullOwner == static_cast<qulonglong>(::getuid()))
        return LockHeldByThisUser;
    return LockHeldByOtherUser;
}

void ClPlatform::releaseInstanceLock(qintptr llHandle)
{
    // Closing the only descriptor of the open file gives the flock back.
    ::close(static_cast<int>(llHandle));
}

QString ClPlatform::appDataFolder()
{
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    while (strFolder.endsWith(QLatin1Char('/')))
        strFolder.chop(1);
    return strFolder;
}

const char* ClPlatform::httpLibraryFileName()
{
#if defined(Q_OS_MACOS)
    return "libcurl.4.dylib";
#else
    // The runtime package's name; plain libcurl.so only exists with the development files.
    return "libcurl.so.4";
#endif
}

QString ClPlatform::updateDescriptionPath()
{
    return QStringLiteral("kd4update/linux/update_tool.xml");
}

bool ClPlatform::isInstallerPackage(const QString& strFileName)
{
    // Debian package names carry their version with dots ("kd4tool_01.00.006_amd64.deb"): only
    // the last suffix counts.
    return strFileName.size() > 4 && strFileName.endsWith(QLatin1String(".deb"));
}

void ClPlatform::startInstaller(
    const QString& strPackagePath, QObject* pclContext, const std::function<void(bool)>& fnDone)
{
    // The desktop's software installer opens the package and asks the user before installing.
    // Not detached: only the opener's exit status tells whether anything could open the package.
    // No parent either, so that a tool closed meanwhile does not kill the opener with it.
    auto* pclOpener = new QProcess();
    pclOpener->setProcessChannelMode(QProcess::ForwardedChannels);
    const auto pfnFinished = QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished);
    // A program that could not be started reports no end of its own, only the error.
    QObject::connect(pclOpener, pfnFinished, pclOpener, &QObject::deleteLater);
    QObject::connect(
        pclOpener, &QProcess::errorOccurred, pclOpener, [pclOpener](QProcess::ProcessError eError) {
            if (eError == QProcess::FailedToStart)
                pclOpener->deleteLater();
        });
    QObject::connect(pclOpener, pfnFinished, pclContext, [fnDone](int iCode, QProcess::ExitStatus eStatus) {
        fnDone(eStatus == QProcess::NormalExit && iCode == 0);
    });
    QObject::connect(
        pclOpener, &QProcess::errorOccurred, pclContext, [fnDone](QProcess::ProcessError eError) {
            if (eError == QProcess::FailedToStart)
                fnDone(false);
        });
    pclOpener->start(QStringLiteral("xdg-open"), { strPackagePath });
}
