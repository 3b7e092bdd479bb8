#include "app/ClAppCheck.h"

#include <QCoreApplication>

ClAppCheck::ClAppCheck(const QString& strName, QObject* pclParent)
    : QObject(pclParent)
    , strInstanceName(strName.isEmpty() ? QCoreApplication::applicationName() : strName)
{
}

int ClAppCheck::checkInstance(const QString& strName)
{
    if (clHandle)
        return OnlyInstance;

    // The platform layer puts Windows mutex names into the global namespace ("Global\" + name),
    // so that copies in other users' sessions see the same name.
    qintptr llHandle = 0;
    const int iStatus = ClPlatform::acquireInstanceLock(strName, &llHandle);
    if (iStatus == OnlyInstance)
        clHandle = llHandle;
    return iStatus >= OnlyInstance && iStatus <= CheckFailed ? iStatus : int(CheckFailed);
}
