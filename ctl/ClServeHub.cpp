#include "ctl/ClServeHub.h"

#include <QJsonValue>

#include <cmath>

namespace {

// The frame rate is measured over this much of the recent past.
constexpr qint64 RATE_WINDOW_MS = 3000;

} // namespace

const QByteArray ClServeHub::BOUNDARY = QByteArrayLiteral("kd4frame");

ClServeHub::ClServeHub(QObject* pclParent)
    : QObject(pclParent)
{
    clClock.start();
    clGrace.setSingleShot(true);
    clGrace.setInterval(GRACE_MS);
    connect(&clGrace, &QTimer::timeout, this, [this] {
        if (bWanted && clViewers.isEmpty() && clWaiting.isEmpty()) {
            bWanted = false;
            emit sigWanted(false);
        }
    });
}

ClServeHub::~ClServeHub() = default;

bool ClServeHub::hasFreshFrame() const
{
    return clNewest.llNumber > 0 && newestAgeMs() <= FRESH_MS;
}

qint64 ClServeHub::newestAgeMs() const
{
    return clNewest.llNumber > 0 ? clClock.elapsed() - clNewest.llReceivedMs : -1;
}

void ClServeHub::setViewer(const QObject* pclWho, bool bViewer)
{
    if (bViewer)
        clViewers.insert(pclWho);
    else
        clViewers.remove(pclWho);
    updateDemand();
}

void ClServeHub::setWaiting(const QObject* pclWho, bool bWaiting)
{
    if (bWaiting)
        clWaiting.insert(pclWho);
    else
        clWaiting.remove(pclWho);
    updateDemand();
}

void ClServeHub::forget(const QObject* pclWho)
{
    clViewers.remove(pclWho);
    clWaiting.remove(pclWho);
    updateDemand();
}

void ClServeHub::countServed()
{
    ++llServed;
}

void ClServeHub::updateDemand()
{
    if (!clViewers.isEmpty() || !clWaiting.isEmpty()) {
        clGrace.stop();
        if (!bWanted) {
            bWanted = true;
            emit sigWanted(true);
        }
    } else if (bWanted && !clGrace.isActive()) {
        clGrace.start();
    }
}

void ClServeHub::slotFrame(const QByteArray& clJpeg, qint64 llServedUs)
{
    const qint64 llNowMs = clClock.elapsed();
    clNewest.clJpeg = clJpeg;
    QByteArray clHead
        = "Content-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(clJpeg.size()) + "\r\n";
    if (llServedUs >= 0)
        clHead += "X-KD4-Served-Us: " + QByteArray::number(llServedUs) + "\r\n";
    const QByteArray clTail = "\r\n--" + BOUNDARY + "\r\n";
    clNewest.clPart.clear(); // not kept beside the new one while that is built
    clNewest.clPart.reserve(clHead.size() + 2 + clJpeg.size() + clTail.size());
    clNewest.clPart.append(clHead).append("\r\n").append(clJpeg).append(clTail);
    ++clNewest.llNumber;
    clNewest.llServedUs = llServedUs;
    clNewest.llReceivedMs = llNowMs;
    clArrivals.push_back(llNowMs);
    dropOldArrivals(llNowMs);
    emit sigFrame();
}

void ClServeHub::slotCameraState(bool bNowConnected, const QString& strError)
{
    bConnected = bNowConnected;
    if (!strError.isEmpty())
        strLastError = strError;
}

void ClServeHub::slotViewFinder(bool bRunning)
{
    bViewFinder = bRunning;
}

void ClServeHub::dropOldArrivals(qint64 llNowMs) const
{
    while (!clArrivals.empty() && clArrivals.front() < llNowMs - RATE_WINDOW_MS)
        clArrivals.pop_front();
}

QJsonObject ClServeHub::status() const
{
    const qint64 llNowMs = clClock.elapsed();
    dropOldArrivals(llNowMs);
    // Frames per second over the window, counted between the first and the last frame in it.
    // No rate while frames do not come.
    double dRate = 0;
    if (clArrivals.size() >= 2 && clArrivals.back() > clArrivals.front()
        && llNowMs - clArrivals.back() <= FRESH_MS)
        dRate = double(clArrivals.size() - 1) * 1000.0 / double(clArrivals.back() - clArrivals.front());
    QJsonObject clStatus {
        { QStringLiteral("camera"), strCamera },
        { QStringLiteral("state"),
            bConnected ? QStringLiteral("connected") : QStringLiteral("reconnecting") },
        { QStringLiteral("last_error"), strLastError },
        { QStringLiteral("view_finder"), bViewFinder },
        { QStringLiteral("viewers"), clViewers.size() },
        { QStringLiteral("frames_received"), double(clNewest.llNumber) },
        { QStringLiteral("frames_served"), double(llServed) },
        { QStringLiteral("frame_rate"), std::round(dRate * 10.0) / 10.0 },
        { QStringLiteral("frame_age_ms"),
            clNewest.llNumber > 0 ? QJsonValue(double(newestAgeMs())) : QJsonValue() },
    };
    return clStatus;
}
