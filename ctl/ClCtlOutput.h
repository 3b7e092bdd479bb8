#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Everything kd4ctl hands out: messages to standard error, one line each after the program's
// name; results to standard output, each written out as soon as it is complete; files replaced
// only once the whole of them is written; a stream of raw bytes written piece by piece as it
// comes.
class ClCtlOutput
{
public:
    enum class Written
    {
        Done,
        // The reader went away (a closed pipe): nobody is left to write for.
        Closed,
        Failed,
    };

    ClCtlOutput() = default;
    ~ClCtlOutput();
    ClCtlOutput(const ClCtlOutput&) = delete;
    ClCtlOutput& operator=(const ClCtlOutput&) = delete;

    // Standard output closed when the run began (started with >&-) is opened onto the null device,
    // so that no file or socket opened later takes its place; what is printed then fails. First
    // thing in main, before anything opens a descriptor.
    static void guardStandardOutput();
    // A write to standard output failed (said once on standard error): the run has lost output.
    bool failed() const { return bFailed; }

    void printError(const QString& strMessage);
    // The text as it is; it ends its own lines. Checked and flushed at once.
    void printText(const QString& strText);
    void printLine(const QString& strLine);
    // The object on one line.
    void printJson(const QJsonObject& clObject);
    // Each key with its kind and its values or limits, tab-separated, one line each: the manual
    // page and the shell completion read them.
    void listKeys();
    // The whole of clData as the file: "-" is standard output, a file that is written in place
    // (writtenInPlace) is written as it is, any other is replaced only once all of it is on the
    // disk, never left cut short. False with strError set to the message.
    bool writeFile(const QString& strPath, const QByteArray& clData, QString& strError);
    // An existing FIFO, device or socket, or a descriptor named as /dev/fd/N (/dev/stdout ...):
    // a file of its own kind that a new regular file must not replace.
    static bool writtenInPlace(const QString& strPath);

    // The raw stream's target: standard output for an empty path or "-", else the file, created,
    // or emptied when it is a regular file. A FIFO or a device is written in place, never replaced
    // (opening a FIFO waits for its reader). False with strError set.
    bool openRaw(const QString& strPath, QString& strError);
    // All of clData to the raw stream, unbuffered, so it has reached the system on return; Failed
    // with strError set.
    Written writeRaw(const QByteArray& clData, QString& strError);
    // False with strError set when the system reports that what was written did not make it.
    bool closeRaw(QString& strError);

    // Keys, commands or other names as a message lists them.
    static QString keysText(const QStringList& clKeys);

private:
    // False after the message: standard output lost what was printed.
    bool checkPrinted(bool bWritten);

    bool bFailed = false;
    int iRawFd = -1;
    bool bRawOwned = false; // a file of its own, not standard output
    QString strRawName;
};
