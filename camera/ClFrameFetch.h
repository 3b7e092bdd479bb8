#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

// One GET of a live frame from the camera's frame resource (the URL of a start-live answer), with
// the limits the live stream and kd4ctl's snapshot share (camera/ZkFrame.h): a frame is given up
// once ZkFrame::TIMEOUT_MS pass without a piece of its body (counted from the request, then from
// the last piece), and once it announces or brings more than ZkFrame::MAX_BYTES. The request goes
// out on construction; sigFinished tells that it is over.
// Lives in the thread that created it, with its reply.
class ClFrameFetch : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClFrameFetch)

public:
    enum class Outcome
    {
        Running,
        // The body came in full (it may be empty, or no picture at all).
        Frame,
        // No piece of the body came for the time limit (headers alone do not count).
        TimedOut,
        // 404: the view finder is not running yet.
        NotFound,
        // More than the size limit, announced or received.
        Oversize,
        // cancel() ended it.
        Cancelled,
        // Any other network error.
        Failed,
    };

    ClFrameFetch(QNetworkAccessManager& clManager, const QUrl& clUrl, QObject* pclParent = nullptr);
    ~ClFrameFetch() override;

    // Takes whatever certificate the camera shows, should it serve its frames over HTTPS.
    void ignoreSslErrors();
    // Ends the fetch as Cancelled, unless it has finished already.
    void cancel();

    Outcome outcome() const { return eOutcome; }
    // The body of a Frame, handed over once.
    QByteArray takeBody();
    QByteArray rawHeader(const QByteArray& clName) const;
    // The network layer's words for how the reply ended.
    QString errorString() const { return strError; }
    // Whether the frame is asked for again after an outcome like this one, iRetries retries in a
    // row having gone before: time-outs, cancellations and 404 answers are, ZkFrame::MAX_RETRIES
    // times, ZkFrame::RETRY_PAUSE_MS apart.
    bool isRetried(int iRetries) const;

signals:
    void sigFinished();

private:
    void checkSize(qint64 llBytes);
    void checkQuiet();
    void finish();

    QNetworkReply* pclReply = nullptr;
    Outcome eOutcome = Outcome::Running;
    // The time limit: the timer wakes up, the clock says how long nothing has come.
    QTimer clTimer;
    QElapsedTimer clLastData;
    bool bOversize = false;
    bool bCancelled = false;
    bool bTimedOut = false;
    QByteArray clBody;
    QString strError;
};
