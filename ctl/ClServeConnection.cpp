#include "ctl/ClServeConnection.h"

#include "ctl/ClServeHub.h"

#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

namespace {

// A connection that does not close within this long after its answer is dropped.
constexpr int CLOSE_MS = 5000;

QByteArray statusLine(int iStatus)
{
    switch (iStatus) {
    case 200:
        return QByteArrayLiteral("200 OK");
    case 400:
        return QByteArrayLiteral("400 Bad Request");
    case 401:
        return QByteArrayLiteral("401 Unauthorized");
    case 404:
        return QByteArrayLiteral("404 Not Found");
    case 405:
        return QByteArrayLiteral("405 Method Not Allowed");
    case 408:
        return QByteArrayLiteral("408 Request Timeout");
    case 431:
        return QByteArrayLiteral("431 Request Header Fields Too Large");
    default:
        return QByteArrayLiteral("503 Service Unavailable");
    }
}

// The same time whatever the given token holds: the loop runs over the expected one.
bool sameToken(const QByteArray& clGiven, const QByteArray& clExpected)
{
    unsigned int uDiffers = clGiven.size() == clExpected.size() ? 0 : 1;
    for (int i = 0; i < clExpected.size(); ++i) {
        const unsigned char ucGiven = i < clGiven.size() ? static_cast<unsigned char>(clGiven.at(i)) : 0;
        uDiffers |= ucGiven ^ static_cast<unsigned char>(clExpected.at(i));
    }
    return uDiffers == 0;
}

// The value of a header line "Name: value" when its name is clName (lowercase), else null.
QByteArray headerValue(const QByteArray& clLine, const QByteArray& clName)
{
    const int iColon = clLine.indexOf(':');
    if (iColon < 0 || clLine.left(iColon).trimmed().toLower() != clName)
        return QByteArray();
    return clLine.mid(iColon + 1).trimmed();
}

} // namespace

ClServeConnection::ClServeConnection(
    QTcpSocket* pclSocket, ClServeHub& clHub, const QByteArray& clToken, QObject* pclParent)
    : QObject(pclParent)
    , pclSocket(pclSocket)
    , clHub(clHub)
    , clToken(clToken)
    , clDeadline(this)
{
    pclSocket->setParent(this);
    // Nothing a client sends is kept beyond the head of one request.
    pclSocket->setReadBufferSize(MAX_HEAD_BYTES);
    connect(pclSocket, &QTcpSocket::readyRead, this, &ClServeConnection::readRequest);
    connect(pclSocket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(pclSocket, &QAbstractSocket::errorOccurred, this, &ClServeConnection::drop);
    clDeadline.setSingleShot(true);
    connect(&clDeadline, &QTimer::timeout, this, [this] {
        if (ePhase == Phase::Request)
            respond(408, "text/plain; charset=utf-8", "the request did not come in time\n");
        else if (ePhase == Phase::Snapshot)
            sendSnapshot();
        else
            drop();
    });
    clDeadline.start(REQUEST_MS);
    if (pclSocket->bytesAvailable() > 0)
        readRequest();
}

ClServeConnection::~ClServeConnection()
{
    clHub.forget(this);
}

void ClServeConnection::readRequest()
{
    if (ePhase != Phase::Request) {
        pclSocket->readAll(); // whatever follows the request is not used
        return;
    }
    clHead += pclSocket->readAll();
    int iEnd = clHead.indexOf("\r\n\r\n");
    if (iEnd < 0)
        iEnd = clHead.indexOf("\n\n");
    if (iEnd < 0 || iEnd > MAX_HEAD_BYTES) {
        if (clHead.size() >= MAX_HEAD_BYTES) {
            clHead.clear();
            respond(431, "text/plain; charset=utf-8", "the request's head is too large\n");
        }
        return;
    }
    QList<QByteArray> clLines = clHead.left(iEnd).split('\n');
    clHead.clear();
    for (QByteArray& clLine : clLines) {
        if (clLine.endsWith('\r'))
            clLine.chop(1);
    }
    const QList<QByteArray> clRequest = clLines.takeFirst().split(' ');
    if (clRequest.size() != 3 || !clRequest.at(1).startsWith('/') || !clRequest.at(2).startsWith("HTTP/1.")) {
        respond(400, "text/plain; charset=utf-8", "no HTTP request\n");
        return;
    }
    answer(clRequest.at(0), clRequest.at(1), clLines);
}

bool ClServeConnection::authorized(const QByteArray& clQuery, const QList<QByteArray>& clHeaders) const
{
    if (clToken.isEmpty())
        return true;
    QByteArray clGiven = QUrlQuery(QString::fromLatin1(clQuery))
                             .queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded)
                             .toUtf8();
    for (const QByteArray& clLine : clHeaders) {
        const QByteArray clAuthorization = headerValue(clLine, "authorization");
        if (clAuthorization.toLower().startsWith("bearer "))
            clGiven = clAuthorization.mid(7).trimmed();
        const QByteArray clHeader = headerValue(clLine, "x-kd4-token");
        if (!clHeader.isEmpty())
            clGiven = clHeader;
    }
    return sameToken(clGiven, clToken);
}

void ClServeConnection::answer(
    const QByteArray& clMethod, const QByteArray& clTarget, const QList<QByteArray>& clHeaders)
{
    const int iQuery = clTarget.indexOf('?');
    const QByteArray clPath = iQuery < 0 ? clTarget : clTarget.left(iQuery);
    const QByteArray clQuery = iQuery < 0 ? QByteArray() : clTarget.mid(iQuery + 1);
    bHeadOnly = clMethod == "HEAD";
    const QByteArray TEXT = "text/plain; charset=utf-8";
    if (!authorized(clQuery, clHeaders)) {
        respond(401, TEXT, "a token is needed: ?token=T or Authorization: Bearer T\n",
            "WWW-Authenticate: Bearer\r\n");
    } else if (clMethod != "GET" && !bHeadOnly) {
        respond(405, TEXT, "only GET and HEAD\n", "Allow: GET, HEAD\r\n");
    } else if (clPath == "/") {
        respond(200, "text/html; charset=utf-8", page(clToken));
    } else if (clPath == "/status.json") {
        respond(200, "application/json", QJsonDocument(clHub.status()).toJson(QJsonDocument::Compact) + '\n');
    } else if (clPath == "/snapshot.jpg") {
        waitForSnapshot();
    } else if (clPath == "/live.mjpg") {
        startLive();
    } else {
        respond(404, TEXT, "not found; there are /, /live.mjpg, /snapshot.jpg and /status.json\n");
    }
}

void ClServeConnection::respond(
    int iStatus, const QByteArray& clType, const QByteArray& clBody, const QByteArray& clExtraHeaders)
{
    clDeadline.stop();
    QByteArray clHeadOut = "HTTP/1.1 " + statusLine(iStatus) + "\r\nContent-Type: " + clType
        + "\r\nContent-Length: " + QByteArray::number(clBody.size())
        + "\r\nCache-Control: no-store\r\nConnection: close\r\n" + clExtraHeaders + "\r\n";
    pclSocket->write(clHeadOut);
    // The body as a whole: a frame is not copied into the write buffer, only shared.
    if (!bHeadOnly)
        pclSocket->write(clBody);
    closeWhenSent();
}

void ClServeConnection::startLive()
{
    clDeadline.stop();
    pclSocket->write(
        "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=" + ClServeHub::BOUNDARY
        + "\r\nCache-Control: no-store\r\nPragma: no-cache\r\nConnection: close\r\n\r\n");
    if (bHeadOnly) {
        closeWhenSent();
        return;
    }
    ePhase = Phase::Live;
    // Each part ends with the next boundary line (ClServeHub::stFrame::clPart).
    pclSocket->write("--" + ClServeHub::BOUNDARY + "\r\n");
    connect(&clHub, &ClServeHub::sigFrame, this, &ClServeConnection::offerFrame);
    connect(pclSocket, &QTcpSocket::bytesWritten, this, &ClServeConnection::offerFrame);
    clHub.setViewer(this, true);
    if (!clHub.hasFreshFrame())
        llLastSent = clHub.newest().llNumber; // an old picture waits for a new one
}

void ClServeConnection::offerFrame()
{
    const ClServeHub::stFrame& clFrame = clHub.newest();
    if (ePhase != Phase::Live || pclSocket->bytesToWrite() > 0 || clFrame.llNumber <= llLastSent)
        return;
    llLastSent = clFrame.llNumber;
    // One piece, shared with the hub and the other viewers: one write to the system each.
    pclSocket->write(clFrame.clPart);
    clHub.countServed();
}

void ClServeConnection::waitForSnapshot()
{
    if (clHub.hasFreshFrame()) {
        sendSnapshot();
        return;
    }
    // Also while the camera is away: it may well be back, with new frames, before the deadline.
    ePhase = Phase::Snapshot;
    connect(&clHub, &ClServeHub::sigFrame, this, &ClServeConnection::sendSnapshot);
    clHub.setWaiting(this, true);
    clDeadline.start(SNAPSHOT_WAIT_MS);
}

void ClServeConnection::sendSnapshot()
{
    disconnect(&clHub, &ClServeHub::sigFrame, this, &ClServeConnection::sendSnapshot);
    clHub.setWaiting(this, false);
    const ClServeHub::stFrame& clFrame = clHub.newest();
    // An old frame is not handed out as the camera's picture: a script taking snapshots would keep
    // the same one without a word.
    if (!clHub.hasFreshFrame()) {
        QByteArray clWhy = clFrame.llNumber == 0
            ? QByteArray("no frame from the camera yet")
            : "no frame from the camera for " + QByteArray::number(clHub.newestAgeMs() / 1000) + " s";
        if (!clHub.isConnected())
            clWhy += " (reconnecting: " + clHub.lastError().toUtf8() + ")";
        respond(503, "text/plain; charset=utf-8", clWhy + '\n', "Retry-After: 1\r\n");
        return;
    }
    clHub.countServed();
    respond(200, "image/jpeg", clFrame.clJpeg,
        clFrame.llServedUs >= 0 ? "X-KD4-Served-Us: " + QByteArray::number(clFrame.llServedUs) + "\r\n"
                                : QByteArray());
}

void ClServeConnection::closeWhenSent()
{
    if (ePhase == Phase::Live)
        clHub.setViewer(this, false);
    ePhase = Phase::Closing;
    clDeadline.start(CLOSE_MS);
    pclSocket->disconnectFromHost();
}

void ClServeConnection::drop()
{
    clHub.forget(this);
    ePhase = Phase::Closing;
    // abort() emits disconnected() while connected; a socket that never was is gone all the same.
    pclSocket->abort();
    deleteLater();
}

QByteArray ClServeConnection::page(const QByteArray& clToken)
{
    // The token is of URL-safe characters only (the check before serving makes sure).
    const QByteArray clQuery = clToken.isEmpty() ? QByteArray() : "?token=" + clToken;
    QByteArray clPage(R"PAGE(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>KD-4 live picture</title>
<style>
body { margin: 0; background: #202020; color: #e8e8e8; font: 14px sans-serif; }
img { display: block; max-width: 100%; margin: 0 auto; }
#status { padding: 8px 12px; }
</style>
</head>
<body>
<img id="live" src="live.mjpg@QUERY@" alt="the camera's live picture">
<div id="status">asking the camera ...</div>
<script>
"use strict";
const line = document.getElementById("status");
async function refresh() {
    try {
        const answer = await fetch("status.json@QUERY@", { cache: "no-store" });
        const s = await answer.json();
        const parts = [s.state + " (" + s.camera + ")"];
        if (s.state !== "connected" && s.last_error)
            parts.push(s.last_error);
        parts.push(s.frame_rate.toFixed(1) + " frames/s");
        parts.push(s.viewers + (s.viewers === 1 ? " viewer" : " viewers"));
        if (s.frame_age_ms !== null)
            parts.push("newest frame " + s.frame_age_ms + " ms old");
        line.textContent = parts.join(" \u00b7 ");
}
catch (error)
{
    line.textContent = "kd4ctl serve does not answer";
}
}
refresh();
setInterval(refresh, 1000);
</script>
</body>
</html>
)PAGE");
    return clPage.replace("@QUERY@", clQuery);
}
