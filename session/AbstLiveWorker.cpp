#include "session/AbstLiveWorker.h"

#include "camera/ClCommands.h"
#include "camera/ClKD4Cgi.h"

AbstLiveWorker::AbstLiveWorker(const QString& strAddress)
    : strAddress(strAddress)
{
    zkRegisterMetaTypes();
}

AbstLiveWorker::~AbstLiveWorker() = default;

void AbstLiveWorker::slotStartLive()
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(CMD_START_LIVE));
    clCmd.insert(ZkKey::PARAM1, streamType());
    emit sigCgiRequest(clCmd);
}

void AbstLiveWorker::slotCgiResponse(ZK_CMD clCmd)
{
    const int iError = zkError(clCmd);
    if (iError != 0)
        emit sigError(QString::number(iError));

    // A refused start still names a URL worth trying; the error above already ends the session.
    const QUuid clId = zkCommand(clCmd);
    if (clId == CMD_START_LIVE)
        startStream(clCmd.value(ZkKey::PARAM1).toString());
    else if (clId == CMD_STOP_LIVE)
        emit sigLiveFinished();
}
