#pragma once

#include "camera/ZK_CMD.h"

#include <QList>
#include <QStack>
#include <QUuid>
#include <QWidget>

// Base of every widget that sends camera commands. Such widgets form a tree; a request climbs it
// recording its path under "ID", and the response walks the same path back down to its sender.
class ClNodeWidget : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClNodeWidget)

public:
    explicit ClNodeWidget(QWidget* pclParent = nullptr);

    void addNode(ClNodeWidget* pclNode);
    void sendRequest(const QUuid& clCommand, ZK_CMD clCmd = ZK_CMD());
    void routeResponse(ZK_CMD clCmd);

    // Registers the route stack types under their names, and the command record's types;
    // safe to call any number of times.
    static void registerMetaTypes();

signals:
    void sigSendRequest(ZK_CMD clCmd);
    void sigEndSession();

protected:
    // A response to a request this node sent, failed transfers included; a camera that answers
    // that the session is gone (-4) never gets here: the node emits sigEndSession instead.
    virtual void recvResponse(ZK_CMD clCmd);

private slots:
    void slotSendRequest(ZK_CMD clCmd);

private:
    QList<ClNodeWidget*> clNodeList;
};

Q_DECLARE_METATYPE(QStack<ClNodeWidget*>)
