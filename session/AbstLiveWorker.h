#pragma once

#include "camera/ZK_CMD.h"

#include <QImage>
#include <QObject>
#include <QString>

// A live stream worker: asks the camera to start and stop its live stream through camera commands
// and fetches the picture in between. It has no parent; the live controller moves it to its live
// thread.
class AbstLiveWorker : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AbstLiveWorker)

public:
    explicit AbstLiveWorker(const QString& strAddress);
    ~AbstLiveWorker() override;

signals:
    void sigImage(QImage clImg);
    void sigError(QString strErr);
    void sigCgiRequest(ZK_CMD cmCmd);
    void sigLiveFinished();

public slots:
    // Sends the start-live command for streamType().
    virtual void slotStartLive();
    // Ends the stream after the frame in flight and sends the stop-live command.
    virtual void slotStopLive() = 0;
    // Ends the stream at once; safe to call from another thread than the worker's.
    virtual void slotStopForce() = 0;
    // The camera's answer to a start-live or stop-live command of this worker.
    void slotCgiResponse(ZK_CMD clCmd);

protected:
    virtual QString streamType() const = 0;
    // Begins fetching from the URL the camera named.
    virtual void startStream(QString strUrl) = 0;

    QString strAddress;
};
