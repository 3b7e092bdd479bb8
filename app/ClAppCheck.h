#pragma once

#include "platform/ClPlatform.h"

#include <QObject>
#include <QString>

#include <optional>

// The single-instance guard: holds the machine-wide instance lock ("Global\" + name on Windows)
// from the first successful check until the process ends; the system releases it then.
class ClAppCheck : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClAppCheck)

public:
    // The platform layer's answers under the names the start-up uses.
    enum Status
    {
        OnlyInstance = ClPlatform::LockTaken,
        AlreadyRunning = ClPlatform::LockHeldByThisUser,
        OtherUserRunning = ClPlatform::LockHeldByOtherUser,
        CheckFailed = ClPlatform::LockFailed,
    };

    // An empty instance name stands for the application name.
    explicit ClAppCheck(const QString& strInstanceName, QObject* pclParent = nullptr);

    // One of Status. After a success it returns 0 at once without asking the system again.
    virtual int checkInstance(const QString& strName);

private:
    QString strInstanceName;
    std::optional<qintptr> clHandle; // empty until a check succeeds; never closed by the program
};
