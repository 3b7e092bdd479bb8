#include "camera/ClFrameFetch.h"

#include "camera/ZkFrame.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <utility>

namespace {

constexpr qint64 READ_MARGIN_BYTES = 1024 * 1024;

} // namespace

ClFrameFetch::ClFrameFetch(QNetworkAccessManager& clManager, const QUrl& clUrl, QObject* pclParent)
    : QObject(pclParent)
{
    // Not Qt's transfer limit (QNetworkRequest::setTransferTimeout): it, too, counts from the
    // request and from every piece of the body, but on a coarse timer that gives up after anything
    // from 0.95 to 1.05 s without data. A frame gets its full second.
    clTimer.setSingleShot(true);
    clTimer.setTimerType(Qt::PreciseTimer);
    connect(&clTimer, &QTimer::timeout, this, &ClFrameFetch::checkQuiet);

    pclReply = clManager.get(QNetworkRequest(clUrl));
    pclReply->setParent(this);
    // With a bounded read buffer the network layer stops reading from the socket a little past the
    // cap, instead of taking in whatever the sender pushes while the abort is on its way. The margin
    // matters: the network layer fills the buffer in whole blocks and may stop short of its limit.
    pclReply->setReadBufferSize(ZkFrame::MAX_BYTES + READ_MARGIN_BYTES);
    connect(pclReply, &QNetworkReply::metaDataChanged, this,
        [this] { checkSize(pclReply->header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    connect(pclReply, &QNetworkReply::readyRead, this, [this] {
        // The body stays in the reply until it has finished, so what is available is what came
        // so far.
        checkSize(pclReply->bytesAvailable());
        // Not the timer for every piece of a frame: checkQuiet sets it again for the rest.
        clLastData.start();
    });
    connect(pclReply, &QNetworkReply::finished, this, &ClFrameFetch::finish);
    clLastData.start();
    clTimer.start(ZkFrame::TIMEOUT_MS);
}

ClFrameFetch::~ClFrameFetch() = default;

void ClFrameFetch::ignoreSslErrors()
{
    pclReply->ignoreSslErrors();
}

void ClFrameFetch::cancel()
{
    if (eOutcome != Outcome::Running || bCancelled)
        return;
    bCancelled = true;
    pclReply->close(); // finishes the reply with OperationCanceledError
}

QByteArray ClFrameFetch::takeBody()
{
    return std::exchange(clBody, QByteArray());
}

QByteArray ClFrameFetch::rawHeader(const QByteArray& clName) const
{
    return pclReply->rawHeader(clName);
}

bool ClFrameFetch::isRetried(int iRetries) const
{
    return iRetries < ZkFrame::MAX_RETRIES
        && (eOutcome == Outcome::TimedOut || eOutcome == Outcome::Cancelled || eOutcome == Outcome::NotFound);
}

void ClFrameFetch::checkSize(qint64 llBytes)
{
    if (bOversize || eOutcome != Outcome::Running || llBytes <= ZkFrame::MAX_BYTES)
        return;
    bOversize = true;
    pclReply->abort(); // finishes the reply
}

void ClFrameFetch::checkQuiet()
{
    if (eOutcome != Outcome::Running)
        return;
    const qint64 llQuietMs = clLastData.elapsed();
    if (llQuietMs < ZkFrame::TIMEOUT_MS) {
        clTimer.start(int(ZkFrame::TIMEOUT_MS - llQuietMs));
        return;
    }
    bTimedOut = true;
    pclReply->abort(); // finishes the reply with OperationCanceledError
}

void ClFrameFetch::finish()
{
    clTimer.stop();
    const QNetworkReply::NetworkError eError = pclReply->error();
    strError = pclReply->errorString();
    if (bOversize) {
        eOutcome = Outcome::Oversize;
    } else if (eError == QNetworkReply::NoError) {
        clBody = pclReply->readAll();
        eOutcome = Outcome::Frame;
    } else if (bTimedOut || eError == QNetworkReply::TimeoutError) {
        eOutcome = Outcome::TimedOut;
    } else if (bCancelled || eError == QNetworkReply::OperationCanceledError) {
        eOutcome = Outcome::Cancelled;
    } else if (eError == QNetworkReply::ContentNotFoundError) {
        eOutcome = Outcome::NotFound;
    } else {
        eOutcome = Outcome::Failed;
    }
    emit sigFinished();
}
