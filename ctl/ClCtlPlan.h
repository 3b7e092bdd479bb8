#pragma once

#include "ctl/ClCtlOptions.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

// What a command line asks of the camera, checked before anything is sent: the command, the
// number of its arguments, the keys and values they name and the files to read or to write. The
// check opens no session, takes no lock and prints nothing: a line that cannot be run gives its
// exit code and the messages to print.
class ClCtlPlan
{
public:
    enum class Command
    {
        Status,
        Get,
        Set,
        SyncTime,
        Format,
        Snapshot,
        Stream,
        Serve,
        Save,
        Apply
    };

    // Once per plan; false with iExit and clMessages set when the line cannot be run.
    bool check(const ClCtlOptions& clOptions);

    // The keys set takes: every setting of the pages but the actions.
    static QStringList settableKeys();
    // The keys get takes: the settings and what the camera reports of its state.
    static QStringList readableKeys();
    // The camera's set-up, as save writes it and apply reads it, in the pages' order.
    static QStringList storedKeys();

    Command eCommand = Command::Status;
    bool bAppliesKeys = false; // names the keys applied when its work stops early
    // The keys and values set was given, in their order.
    QList<QPair<QString, QString>> clKeys;
    // The settings of the file apply was given.
    QMap<QString, QString> clFileValues;
    // Where the stream goes (empty: standard output), and when it ends (0: at a signal only).
    QString strStreamPath;
    int iStreamFrames = 0;
    qint64 llStreamMs = 0;
    // Where serve listens (an address as QHostAddress writes it; port 0: a free one) and the token
    // every request must carry (empty: none).
    static constexpr int SERVE_PORT = 8554;
    QString strServeHost = QStringLiteral("127.0.0.1");
    int iServePort = SERVE_PORT;
    QString strServeToken;
    int iExit = 0; // CtlExit
    QStringList clMessages; // one line each, without the program's name

private:
    struct stCommand
    {
        const char* pcName;
        Command eCommand;
        int iMinArgs;
        int iMaxArgs; // -1: any number
        // Checks the arguments and plans the work; false after a message.
        bool (ClCtlPlan::*pfnCheck)(const ClCtlOptions& clOptions);
        bool bAppliesKeys;
    };
    static const stCommand COMMANDS[];

    bool checkNothing(const ClCtlOptions& clOptions);
    bool checkGet(const ClCtlOptions& clOptions);
    bool checkSet(const ClCtlOptions& clOptions);
    bool checkFormat(const ClCtlOptions& clOptions);
    bool checkOutputFile(const ClCtlOptions& clOptions);
    bool checkStream(const ClCtlOptions& clOptions);
    bool checkServe(const ClCtlOptions& clOptions);
    bool checkApply(const ClCtlOptions& clOptions);

    // The file can be written: replaced (its folder must take a new file), or written in place
    // when bInPlace (an existing file, FIFO or device then needs only to be writable itself).
    bool checkWritable(const QString& strPath, bool bInPlace);
    // A usage error: the line is not run.
    void refuse(const QString& strMessage);
};
