#pragma once

#include "ctl/ClCtlOptions.h"
#include "ctl/ClCtlOutput.h"
#include "ctl/ClCtlPlan.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <functional>
#include <memory>

class ClCtlSession;
class ClServeServer;

// One run of kd4ctl: has the command line checked before anything is sent, makes sure kd4tool
// does not run, then opens a camera session, does the command's work and closes the session
// again, also after a failure or a signal.
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
    int runCommand(const QStringList& clArguments);
    // What the command needs before the session opens; false after a message.
    bool prepare();
    // The planned command inside the session; false when it stopped early (after a failure or a
    // signal).
    bool work();
    bool workStatus();
    bool workGet();
    bool workSet();
    bool workSyncTime();
    bool workFormat();
    bool workSnapshot();
    bool workStream();
    // Listens for serve's viewers before the session opens; false after a message.
    bool prepareServe();
    bool workServe();
    bool workSave();
    bool workApply();
    // Starts the view finder, does fnWork with the URL of its frames and stops it again, whatever
    // came of it; false when any of it failed.
    bool withViewFinder(const std::function<bool(const QString& strUrl)>& fnWork);
    // The frames to the stream's output until the plan's limit, a signal or a closed pipe.
    bool streamFrames(const QString& strUrl);
    // Sets the file's values that differ from the camera's; clChanges gets each key changed.
    bool applyFile(QJsonObject& clChanges);

    // The instance lock of kd4tool, taken and given back at once; false when it is held and no
    // --force was given.
    bool checkProgramNotRunning();
    // Runs one command of the work; false (reported as "<strWhat> failed: ...") when it failed.
    bool step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam1 = QVariant(),
        const QVariant& clParam2 = QVariant(), QVariant* pclResult = nullptr);
    bool readSettings(QMap<QString, QString>& clSettings);
    // Sets one key as the settings pages do; false when it failed.
    bool setKey(const QString& strKey, const QString& strValue);
    // True after the message when the camera records and no --force was given: set and apply
    // change nothing then.
    bool refusedWhileRecording(const QMap<QString, QString>& clSettings);
    // A signal came (said once on standard error): the work stops before its next step.
    bool signalled();
    void reportUnapplied();
    bool writeFile(const QString& strPath, const QByteArray& clData);

    void fail(int iExit, const QString& strMessage);

    ClCtlOptions clOptions;
    ClCtlPlan clPlan;
    ClCtlOutput clOutput;
    // Shared with the watcher of a second signal, which may close it while the run ends.
    std::shared_ptr<ClCtlSession> pclSession;
    std::unique_ptr<ClServeServer> pclServer;
    int iExit = 0;
    int iLastError = 0; // of the last step
    bool bSignalReported = false;
    // Keys to apply, in order, and the keys applied so far.
    QList<QPair<QString, QString>> clToApply;
    QStringList clApplied;
};
