#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

class ClCtlSession;
class ClFrameFetch;
class QUuid;

// The camera's side of kd4ctl serve, on a thread of its own with its own event loop: the
// session's commands are synchronous and may take seconds, and must not hold up the viewers.
// While frames are wanted it keeps the view finder running and fetches one frame after the other
// (the camera paces them), handing each on as it came; when they are no longer wanted it stops the
// view finder. A lost session (a command that fails, frames that stop) is opened again after a
// pause that doubles from 1 up to 30 seconds, and the view finder started again if frames are
// still wanted. While nobody watches, the session is checked with a settings read every
// KEEP_ALIVE_MS, so that a camera that has forgotten it (a Wi-Fi restart) is found out then, not
// only when the next viewer comes.
class ClServeCamera : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClServeCamera)

public:
    static constexpr int FIRST_PAUSE_S = 1;
    static constexpr int LONGEST_PAUSE_S = 30;
    // As often as the window reads the settings.
    static constexpr int KEEP_ALIVE_MS = 20000;

    // clSession has been opened; this object uses it, from its own thread, until sigStopped.
    explicit ClServeCamera(ClCtlSession& clSession, QObject* pclParent = nullptr);
    ~ClServeCamera() override;

public slots:
    // In its own thread, once that runs.
    void slotStart();
    void slotSetWanted(bool bWanted);
    // Stops the view finder if it runs and ends with sigStopped; the session stays open.
    void slotStop();

signals:
    // One frame, its bytes as the camera sent them; llServedUs is the camera's serve time when its
    // answer says it (the simulator's X-Served-Us), else -1.
    void sigFrame(const QByteArray& clJpeg, qint64 llServedUs);
    // Connected again, or the session lost with why and the seconds until the next attempt.
    void sigState(bool bConnected, const QString& strError, int iRetryS);
    void sigViewFinder(bool bRunning);
    // strError: why the view finder could not be stopped, else empty.
    void sigStopped(const QString& strError);

private:
    // Does what the wishes and the state call for next.
    void advance();
    bool step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam, QVariant* pclResult,
        QString& strError);
    void fetch();
    void fetched();
    void dropFetch();
    void setViewFinder(bool bRunning);
    void lose(const QString& strError);
    void reconnect();
    void checkSession();

    ClCtlSession& clSession;
    QNetworkAccessManager clManager;
    ClFrameFetch* pclFetch = nullptr;
    QTimer clRetry; // the pause before a frame is asked for again
    QTimer clReconnect;
    QTimer clKeepAlive;
    QString strFrameUrl;
    bool bWanted = false;
    bool bViewFinder = false;
    bool bConnected = true;
    bool bStopping = false;
    int iRetries = 0;
    int iPauseS = FIRST_PAUSE_S;
};
