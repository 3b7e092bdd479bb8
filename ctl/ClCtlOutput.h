#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Everything kd4ctl hands out: messages to standard error, one line each after the program's
// name; results to standard output, each written out as soon as it is complete; files replaced
// only once the whole of them is written.
class ClCtlOutput
{
public:
    void printError(const QString& strMessage);
    // The text as it is; it ends its own lines.
    void printText(const QString& strText);
    void printLine(const QString& strLine);
    // The object on one line.
    void printJson(const QJsonObject& clObject);
    // Each key with its kind and its values or limits, tab-separated, one line each: the manual
    // page and the shell completion read them.
    void listKeys();
    // False with strError set to the message when the file could not be written.
    bool writeFile(const QString& strPath, const QByteArray& clData, QString& strError);

    // Keys, commands or other names as a message lists them.
    static QString keysText(const QStringList& clKeys);
};
