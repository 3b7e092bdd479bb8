#pragma once

#include "ctl/ClCtlOptions.h"

#include <QJsonObject>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <memory>

class ClCtlSession;

// One run of kd4ctl: checks the command line and everything it names before anything is sent,
// makes sure kd4tool does not run, then opens a camera session, does the command's work and closes
// the session again, also after a failure or a signal. Messages go to standard error, one line
// each; results to standard output.
class ClCtlRunner
{
public:
    ClCtlRunner();
    ~ClCtlRunner();
    ClCtlRunner(const ClCtlRunner&) = delete;
    ClCtlRunner& operator=(const ClCtlRunner&) = delete;

    // The program's arguments, the program's name first; returns the exit code (CtlExit).
    int run(const QStringList& clArguments);

private:
    struct stCommand
    {
        const char* pcName;
        int iMinArgs;
        int iMaxArgs; // -1: any number
        // Before anything is sent: checks the arguments and plans the work; false after a message.
        bool (ClCtlRunner::*pfnCheck)();
        // Inside the session; false when it stopped early (after a failure or a signal).
        bool (ClCtlRunner::*pfnWork)();
        bool bAppliesKeys; // names the keys applied when it stops early
    };
    static const stCommand COMMANDS[];

    bool checkNothing();
    bool checkGet();
    bool checkSet();
    bool checkFormat();
    bool checkOutputFile();
    bool checkApply();

    bool workStatus();
    bool workGet();
    bool workSet();
    bool workSyncTime();
    bool workFormat();
    bool workSnapshot();
    bool workSave();
    bool workApply();
    // Sets the file's values that differ from the camera's; clChanges gets each key changed.
    bool applyFile(QJsonObject& clChanges);
    static void listKeys();

    // The instance lock of kd4tool, taken and given back at once; false when it is held and no
    // --force was given.
    bool checkProgramNotRunning();
    // Runs one command of the work; false (reported as "<strWhat> failed: ...") when it failed.
    bool step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam1 = QVariant(),
        const QVariant& clParam2 = QVariant(), QVariant* pclResult = nullptr);
    bool readSettings(QMap<QString, QString>& clSettings);
    // Sets one key as the settings pages do; false when it failed.
    bool setKey(const QString& strKey, const QString& strValue);
    // A signal came (said once on standard error): the work stops before its next step.
    bool signalled();
    void reportUnapplied();
    bool writeFile(const QString& strPath, const QByteArray& clData);

    void fail(int iExit, const QString& strMessage);
    static void printError(const QString& strMessage);
    static void printLine(const QString& strLine);
    void printJson(const QJsonObject& clObject);

    ClCtlOptions clOptions;
    std::unique_ptr<ClCtlSession> pclSession;
    int iExit = 0;
    bool bSignalReported = false;
    // Keys to apply, in order, and the keys applied so far.
    QList<QPair<QString, QString>> clPlan;
    QStringList clApplied;
    // The settings of the file apply was given.
    QMap<QString, QString> clFileValues;
};
