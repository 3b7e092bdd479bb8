#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Shared set-up of the updater tests.
namespace TestSupport {

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
bool writeFile(const QString& strPath, const QByteArray& clData);

} // namespace TestSupport

// Answers modal dialogs (message dialogs and message boxes, never the progress dialog) as they
// appear, and keeps the texts they showed.
class ModalCloser : public QObject
{
    Q_OBJECT

public:
    enum Answer
    {
        Accept,
        Reject
    };

    explicit ModalCloser(Answer eAnswer = Accept, QObject* pclParent = nullptr);

    void setAnswer(Answer eAnswer) { eCurrent = eAnswer; }
    QStringList texts() const { return clTexts; }

private slots:
    void slotPoll();

private:
    Answer eCurrent;
    QTimer clTimer;
    QStringList clTexts;
};
