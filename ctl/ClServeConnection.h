#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class ClServeHub;
class QTcpSocket;

// One client of kd4ctl serve: reads its one request (GET or HEAD, the head at most MAX_HEAD_BYTES
// within REQUEST_MS, else the connection is dropped), checks the token when one is set, and
// answers: the page, the status, a snapshot, or the live stream. A live viewer holds at most one
// frame in its socket's write buffer: when that has gone out it gets the newest frame, if it has
// not had it yet, so a slow viewer skips frames and holds up nobody. The connection deletes itself
// once its socket has closed.
class ClServeConnection : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClServeConnection)

public:
    static constexpr int MAX_HEAD_BYTES = 8 * 1024;
    static constexpr int REQUEST_MS = 5000;
    // How long a snapshot waits for a frame when none is fresh.
    static constexpr int SNAPSHOT_WAIT_MS = 8000;

    // Takes over the socket; an empty token lets every request in.
    ClServeConnection(
        QTcpSocket* pclSocket, ClServeHub& clHub, const QByteArray& clToken, QObject* pclParent = nullptr);
    ~ClServeConnection() override;

    // The page /: the live picture and the camera's status, with the token carried along.
    static QByteArray page(const QByteArray& clToken);

private:
    enum class Phase
    {
        Request,
        Snapshot,
        Live,
        Closing
    };

    void readRequest();
    void answer(const QByteArray& clMethod, const QByteArray& clTarget, const QList<QByteArray>& clHeaders);
    bool authorized(const QByteArray& clQuery, const QList<QByteArray>& clHeaders) const;
    void respond(int iStatus, const QByteArray& clType, const QByteArray& clBody,
        const QByteArray& clExtraHeaders = QByteArray());
    void startLive();
    void offerFrame();
    void waitForSnapshot();
    void sendSnapshot();
    // Lets what was written go out, then closes; drops the connection if that takes too long.
    void closeWhenSent();
    void drop();

    QTcpSocket* pclSocket;
    ClServeHub& clHub;
    QByteArray clToken;
    QByteArray clHead;
    QTimer clDeadline;
    Phase ePhase = Phase::Request;
    bool bHeadOnly = false;
    quint64 llLastSent = 0; // the hub's number of the last frame written
};
