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

void ClCtlOutput::printError(const QString& strMessage)
{
    std::fputs((QStringLiteral("kd4ctl: ") + strMessage + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void ClCtlOutput::printText(const QString& strText)
{
    std::fputs(strText.toUtf8().constData(), stdout);
    std::fflush(stdout);
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
    QSaveFile clFile(strPath);
    if (clFile.open(QIODevice::WriteOnly) && clFile.write(clData) == clData.size() && clFile.commit())
        return true;
    strError = QStringLiteral("cannot write %1: %2").arg(strPath, clFile.errorString());
    return false;
}

bool ClCtlOutput::openRaw(const QString& strPath, QString& strError)
{
    if (strPath.isEmpty()) {
        // Nothing printed before may come after the stream's first bytes.
        std::fflush(stdout);
#ifdef Q_OS_WIN
        iRawFd = _fileno(stdout);
        _setmode(iRawFd, _O_BINARY); // no line ends turned into CR LF inside a picture
#else
        iRawFd = fileno(stdout);
#endif
        strRawName = QStringLiteral("standard output");
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
