#pragma once

#include "camera/ZK_CMD.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

class ClKD4CgiWorker;

// Entry point of the camera protocol: accepts command records, runs them one at a time on the
// worker thread in arrival order and relays each answer, in this object's thread.
class ClKD4Cgi : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClKD4Cgi)

public:
    explicit ClKD4Cgi(const QString& strAddress, QObject* pclParent = nullptr);
    ~ClKD4Cgi() override;

    QString getAddress() const;
    // One notification long-poll on the calling thread, beside any running command.
    ClNotifyList pollNotifications();
    // Drops the waiting records unanswered and returns them; a running command is still answered.
    QList<ZK_CMD> clearQueue();

signals:
    void sigResponse(ZK_CMD clCmd);

public slots:
    void slotRequest(ZK_CMD clCmd);
    void slotExecQueuedRequest();

private:
    void startNow(const ZK_CMD& clCmd);

    ClKD4CgiWorker* pclWorker = nullptr;
    QList<ZK_CMD> clWaitingList;
    QMutex clMutex;
    // A command has been started and its finished() has not been handled yet.
    bool bBusy = false;
};
