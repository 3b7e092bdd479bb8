#pragma once

#include "camera/ZK_CMD.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <memory>

class ClKD4CgiWorker;
class QNetworkAccessManager;

// One camera, reached through the camera library's command worker on the calling thread, so every
// command runs exactly as the program runs it: the same messages, the retries after a time-out,
// the steps around a change of the video resolution and the transport's time limits. It also
// fetches one live frame with the live view's limits.
class ClCtlSession
{
public:
    // The limit of the closing message sent by closeNow().
    static constexpr int CLOSE_NOW_SEC = 1;

    explicit ClCtlSession(const QString& strAddress);
    ~ClCtlSession();
    ClCtlSession(const ClCtlSession&) = delete;
    ClCtlSession& operator=(const ClCtlSession&) = delete;

    QString address() const;

    // Runs one command; returns its error code ("ERROR", 0 = success). The whole answer goes to
    // pclAnswer when given.
    int run(const QUuid& clCommand, const QVariant& clParam1 = QVariant(),
        const QVariant& clParam2 = QVariant(), ZK_CMD* pclAnswer = nullptr);
    // All settings as the camera's own texts; returns the error code.
    int readSettings(QMap<QString, QString>& clSettings);
    // One frame from the URL of a start-live answer, its bytes as they came (they may be none).
    // Retries as the live view does; false with strError in words when no frame came. The frames
    // of one session share their connections.
    bool fetchFrame(const QString& strUrl, QByteArray& clFrame, QString& strError);

    // The closing message sent at once with a short limit, from another thread while a command
    // may still be waiting for the camera; true when the camera took it.
    bool closeNow();

    // A failed command's error code as kd4ctl's exit code, and in words.
    static int exitCode(int iError);
    QString reason(int iError) const;

private:
    std::unique_ptr<ClKD4CgiWorker> pclWorker;
    std::unique_ptr<QNetworkAccessManager> pclFrames;
};
