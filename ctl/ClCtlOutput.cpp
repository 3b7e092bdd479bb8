#include "ctl/ClCtlOutput.h"

#include "camera/ZkVocabulary.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#include <sys/stat.h>
#else
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using ZkVocabulary::Kind;
using ZkVocabulary::stSetting;

bool bStdoutClosed = false; // when the run began

// -1 with errno set when the file cannot be opened.
int openForWriting(const QString& strPath)
{
#ifdef Q_OS_WIN
    return _wopen(reinterpret_cast<const wchar_t*>(strPath.utf16()),
        _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    // Not O_TRUNC: a FIFO or a device is written as it is; only a regular file starts empty.
    int iFd = -1;
    do
        iFd = ::open(QFile::encodeName(strPath).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    while (iFd < 0 && errno == EINTR);
    struct stat clStat = {};
    if (iFd >= 0 && (::fstat(iFd, &clStat) != 0 || (S_ISREG(clStat.st_mode) && ::ftruncate(iFd, 0) != 0))) {
        const int iErrno = errno;
        ::close(iFd);
        errno = iErrno;
        return -1;
    }
    return iFd;
#endif
}

// Bytes taken, or -1 with errno set.
qint64 writeSome(int iFd, const char* pcData, qint64 llSize)
{
#ifdef Q_OS_WIN
    return _write(iFd, pcData, unsigned(qMin<qint64>(llSize, 1 << 30)));
#else
    return ::write(iFd, pcData, size_t(llSize));
#endif
}

int closeFile(int iFd)
{
#ifdef Q_OS_WIN
    return _close(iFd);
#else
    return ::close(iFd);
#endif
}

} // namespace

ClCtlOutput::~ClCtlOutput()
{
    if (bRawOwned)
        closeFile(iRawFd);
}

void ClCtlOutput::guardStandardOutput()
{
#ifndef Q_OS_WIN
    if (::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF)
        return;
    bStdoutClosed = true;
    const int iFd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (iFd >= 0 && iFd != STDOUT_FILENO) {
        ::dup2(iFd, STDOUT_FILENO); // without O_CLOEXEC, as standard output always is
        ::close(iFd);
    }
#endif
}

void ClCtlOutput::printError(const QString& strMessage)
{
    std::fputs((QStringLiteral("kd4ctl: ") + strMessage + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void ClCtlOutput::printText(const QString& strText)
{
    if (bFailed)
        return;
    const QByteArray clText = strText.toUtf8();
    checkPrinted(!bStdoutClosed
        && std::fwrite(clText.constData(), 1, size_t(clText.size()), stdout) == size_t(clText.size())
        && std::fflush(stdout) == 0);
}

bool ClCtlOutput::checkPrinted(bool bWritten)
{
    if (bWritten)
        return true;
    const int iErrno = bStdoutClosed ? EBADF : errno;
    std::clearerr(stdout);
    bFailed = true;
    printError(QStringLiteral("cannot write standard output: %1").arg(qt_error_string(iErrno)));
    return false;
}

void ClCtlOutput::printLine(const QString& strLine)
{
    printText(strLine + QLatin1Char('\n'));
}

void ClCtlOutput::printJson(const QJsonObject& clObject)
{
    printLine(QString::fromUtf8(QJsonDocument(clObject).toJson(QJsonDocument::Compact)));
}

void ClCtlOutput::listKeys()
{
    const QString strTab = QStringLiteral("\t");
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        QStringList clFields = { clSetting.strKey };
        switch (clSetting.eKind) {
        case Kind::Choice:
            clFields.append(QStringLiteral("choice"));
            for (const ZkVocabulary::stValue& clValue : clSetting.clValues)
                clFields.append(clValue.strWire);
            break;
        case Kind::Number:
            clFields << QStringLiteral("number") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Duration:
            clFields << QStringLiteral("duration") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Clock:
            clFields.append(QStringLiteral("clock"));
            break;
        case Kind::Action:
            continue; // the window's business
        }
        printLine(clFields.join(strTab));
    }
    for (const QString& strKey : ZkVocabulary::reportedOnlyKeys())
        printLine(strKey + strTab + QStringLiteral("read-only"));
}

bool ClCtlOutput::writeFile(const QString& strPath, const QByteArray& clData, QString& strError)
{
    if (strPath == QLatin1String("-") || writtenInPlace(strPath)) {
        if (!openRaw(strPath, strError))
            return false;
        const Written eWritten = writeRaw(clData, strError);
        if (eWritten == Written::Closed)
            strError = QStringLiteral("cannot write %1: %2").arg(strRawName, qt_error_string(EPIPE));
        QString strCloseError;
        const bool bClosed = closeRaw(strCloseError);
        iRawFd = -1;
        if (eWritten != Written::Done)
            return false;
        strError = strCloseError;
        return bClosed;
    }
    QSaveFile clFile(strPath);
    QString strProblem;
    errno = 0;
    if (!clFile.open(QIODevice::WriteOnly) || clFile.write(clData) != clData.size() || !clFile.flush()) {
        // A short write leaves QSaveFile without a reason of its own: the system's is the one.
        strProblem = errno != 0 ? qt_error_string(errno) : clFile.errorString();
#ifndef Q_OS_WIN
    } else if (::fsync(clFile.handle()) != 0) {
        // On the disk before it replaces the old file: a crash leaves the one or the other.
        strProblem = qt_error_string(errno);
#endif
    } else if (!clFile.commit()) {
        strProblem = clFile.errorString();
    }
    if (strProblem.isEmpty())
        return true;
    strError = QStringLiteral("cannot write %1: %2").arg(strPath, strProblem);
    return false; // the new file, cut short, is removed with clFile
}

bool ClCtlOutput::writtenInPlace(const QString& strPath)
{
#ifdef Q_OS_WIN
    Q_UNUSED(strPath)
    return false;
#else
    static const QStringList clDescriptors = { QStringLiteral("/dev/stdout"), QStringLiteral("/dev/stderr"),
        QStringLiteral("/dev/fd/"), QStringLiteral("/proc/self/fd/") };
    for (const QString& strDescriptor : clDescriptors) {
        if (strPath.startsWith(strDescriptor))
            return true;
    }
    struct stat clStat = {};
    return ::stat(QFile::encodeName(strPath).constData(), &clStat) == 0 && !S_ISREG(clStat.st_mode)
        && !S_ISDIR(clStat.st_mode);
#endif
}

bool ClCtlOutput::openRaw(const QString& strPath, QString& strError)
{
    // Standard output by another name, which the guard has put onto the null device.
    const bool bStdoutNamed = bStdoutClosed
        && (strPath == QLatin1String("/dev/stdout") || strPath == QLatin1String("/dev/fd/1")
            || strPath == QLatin1String("/proc/self/fd/1"));
    if (strPath.isEmpty() || strPath == QLatin1String("-") || bStdoutNamed) {
        strRawName = QStringLiteral("standard output");
        // Nothing printed before may come after the stream's first bytes.
        if (bStdoutClosed || std::fflush(stdout) != 0) {
            strError = QStringLiteral("cannot write standard output: %1")
                           .arg(qt_error_string(bStdoutClosed ? EBADF : errno));
            return false;
        }
#ifdef Q_OS_WIN
        iRawFd = _fileno(stdout);
        _setmode(iRawFd, _O_BINARY); // no line ends turned into CR LF inside a picture
#else
        iRawFd = fileno(stdout);
#endif
        return true;
    }
    strRawName = strPath;
    iRawFd = openForWriting(strPath);
    if (iRawFd >= 0) {
        bRawOwned = true;
        return true;
    }
    strError = QStringLiteral("cannot write %1: %2").arg(strPath, qt_error_string(errno));
    return false;
}

ClCtlOutput::Written ClCtlOutput::writeRaw(const QByteArray& clData, QString& strError)
{
    const char* pcData = clData.constData();
    qint64 llLeft = clData.size();
    while (llLeft > 0) {
        const qint64 llTaken = writeSome(iRawFd, pcData, llLeft);
        const int iErrno = errno;
        if (llTaken > 0) {
            pcData += llTaken;
            llLeft -= llTaken;
            continue;
        }
        if (llTaken < 0 && iErrno == EINTR)
            continue;
#ifndef Q_OS_WIN
        if (llTaken < 0 && (iErrno == EAGAIN || iErrno == EWOULDBLOCK)) {
            // Standard output may have been handed over non-blocking: wait until it takes more.
            pollfd clPoll { iRawFd, POLLOUT, 0 };
            ::poll(&clPoll, 1, -1);
            continue;
        }
#endif
        if (llTaken < 0 && iErrno == EPIPE)
            return Written::Closed;
        strError = QStringLiteral("cannot write %1: %2")
                       .arg(strRawName,
                           llTaken < 0 ? qt_error_string(iErrno) : QStringLiteral("it takes no more bytes"));
        return Written::Failed;
    }
    return Written::Done;
}

bool ClCtlOutput::closeRaw(QString& strError)
{
    if (!bRawOwned)
        return true;
    bRawOwned = false;
    // An interrupted close has released the descriptor all the same, and is not repeated.
    if (closeFile(iRawFd) == 0 || errno == EINTR)
        return true;
    strError = QStringLiteral("cannot write %1: %2").arg(strRawName, qt_error_string(errno));
    return false;
}

QString ClCtlOutput::keysText(const QStringList& clKeys)
{
    return clKeys.join(QStringLiteral(", "));
}
