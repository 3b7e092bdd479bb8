#pragma once

#include <QString>
#include <QStringList>

// kd4ctl's command line: [--camera HOST[:PORT]] [--json] [--force] COMMAND [ARGS], options also
// after the command; "--" ends them.
class ClCtlOptions
{
public:
    // False with strError set for a line that cannot be run.
    bool parse(const QStringList& clArguments);

    static QString usage();

    QString strCommand;
    QStringList clArgs;
    QString strCamera; // empty: KD4TOOL_CAMERA_ADDRESS or the camera's own address
    bool bJson = false;
    bool bForce = false;
    bool bYes = false;
    bool bHelp = false;
    bool bVersion = false;
    bool bListKeys = false;
    // The stream command's options as given (never empty when given), checked by the plan.
    QString strOutput;
    QString strFrames;
    QString strSeconds;
    // The serve command's options as given (never empty when given), checked by the plan.
    QString strListen;
    QString strToken;
    QString strError;
};
