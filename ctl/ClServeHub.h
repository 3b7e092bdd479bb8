#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <deque>

// What the viewers of kd4ctl serve share, in the server's thread: the newest camera frame, who
// watches, and the camera's state. Frames are wanted from the camera while anyone watches the live
// stream or waits for a snapshot, and no longer GRACE_MS after the last of them has gone, so a
// viewer that reloads the page does not restart the view finder.
class ClServeHub : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClServeHub)

public:
    struct stFrame
    {
        QByteArray clJpeg; // as the camera sent it
        // The frame as a part of the live stream, built once and shared by every viewer: its head
        // (Content-Type, Content-Length, X-KD4-Served-Us when known), the JPEG, and the next
        // boundary line, which ends the part at once for a browser instead of with the next frame.
        QByteArray clPart;
        quint64 llNumber = 0; // counts the frames received, from 1; 0 while none came
        qint64 llServedUs = -1; // the camera's serve time when its answer says it, else -1
        qint64 llReceivedMs = 0; // on the hub's clock
    };

    static constexpr int GRACE_MS = 3000;
    // The live stream's multipart boundary.
    static const QByteArray BOUNDARY;
    // A snapshot takes the newest frame at once only while it is this young.
    static constexpr int FRESH_MS = 1000;

    explicit ClServeHub(QObject* pclParent = nullptr);
    ~ClServeHub() override;

    // The camera's address, as the status names it.
    void setCamera(const QString& strAddress) { strCamera = strAddress; }

    const stFrame& newest() const { return clNewest; }
    bool hasFreshFrame() const;
    // How long ago the newest frame came; -1 while none came.
    qint64 newestAgeMs() const;
    bool isConnected() const { return bConnected; }
    const QString& lastError() const { return strLastError; }

    // pclWho watches the live stream, or waits for a snapshot, until it says otherwise or is
    // forgotten (at the latest when it is destroyed).
    void setViewer(const QObject* pclWho, bool bViewer);
    void setWaiting(const QObject* pclWho, bool bWaiting);
    void forget(const QObject* pclWho);
    // A frame went out to a viewer (a part of the live stream or a snapshot).
    void countServed();

    // The state /status.json shows.
    QJsonObject status() const;

public slots:
    void slotFrame(const QByteArray& clJpeg, qint64 llServedUs);
    void slotCameraState(bool bConnected, const QString& strError);
    void slotViewFinder(bool bRunning);

signals:
    // A newer frame is there.
    void sigFrame();
    // Frames wanted from the camera or no longer.
    void sigWanted(bool bWanted);

private:
    void updateDemand();
    void dropOldArrivals(qint64 llNowMs) const;

    QString strCamera;
    QElapsedTimer clClock;
    QTimer clGrace;
    stFrame clNewest;
    QSet<const QObject*> clViewers;
    QSet<const QObject*> clWaiting;
    bool bWanted = false; // as last told to the camera
    bool bConnected = true;
    bool bViewFinder = false;
    QString strLastError;
    quint64 llServed = 0;
    // When the frames of the last seconds came, for the rate measured; pruned as time goes on.
    mutable std::deque<qint64> clArrivals;
};
