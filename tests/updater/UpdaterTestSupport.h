#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Shared set-up of the updater tests.
namespace UpdaterTest {

// Moves HOME into a private temporary folder, switches QStandardPaths to test mode, sets the
// program's names and settings identity, drops proxy variables from the environment and keeps the
// application running when its last window closes. Call once, before anything reads a path.
void isolate();

// Removes everything the updater keeps in the application-data folder.
void clearDataFolder();

QString md5Hex(const QByteArray& clData);

struct stEntry
{
    QString strVersion;
    QString strHash;
    QString strFile;
    QString strTag = QStringLiteral("app");
};

// An update description: a root with one "own" section holding the entries.
QByteArray description(const QList<stEntry>& clEntries);

// The exact default "network.xml" for this source URL.
QByteArray defaultNetworkXml(const QString& strSourceUrl);

QByteArray readFile(const QString& strPath);
// The file exists and only its owner may read or write it (mode 0600).
bool isOwnerOnly(const QString& strPath);
bool writeFile(const QString& strPath, const QByteArray& clData);

} // namespace UpdaterTest
