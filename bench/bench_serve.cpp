// kd4ctl serve with 1, 4 and 16 viewers, against the camera simulator at its frame rate.
//
//   bench_serve [--seconds N] [--fps F] [--frame-size WxH]
//                                      (defaults: 20 s per run, the simulator's 15 and 640x360)
//
// Starts the simulator in this process and the real kd4ctl serve as a process of its own, then,
// for each number of viewers, reads /live.mjpg with that many raw QTcpSocket readers here and
// measures over the same seconds: the frames each viewer got per second against the frames the
// simulator served, the server's processor time (user + system from /proc/PID/stat) per
// viewer-second, the frame's added age (the simulator's serve time, carried in each part as
// X-KD4-Served-Us, to the moment the whole part has come here: median and 95th percentile), and
// the server's resident memory (VmRSS) at the start and the end of the run. Prints one markdown
// table, then the goals with whether each was met. Run it in the loopback namespace:
// scripts/loopback-only.sh build/bench/bench_serve
#include "bench/ProcStats.h"
#include "tools/camsim/CamSim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include <csignal>
#include <unistd.h>

namespace {

const int VIEWERS[] = { 1, 4, 16 };
const int WARM_UP_MS = 2000;
const int WAIT_MS = 30000;

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void waitUntil(const std::function<bool()>& fnDone, int iTimeoutMs)
{
    QElapsedTimer clClock;
    clClock.start();
    while (!fnDone() && clClock.elapsed() < iTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void pause(int iMs)
{
    QElapsedTimer clClock;
    clClock.start();
    waitUntil([&] { return clClock.elapsed() >= iMs; }, iMs + 1000);
}

// A reader of the multipart stream: counts the parts and notes each part's added age.
class ClReader : public QObject
{
public:
    ClReader(quint16 iPort, std::vector<double>& clAgesMs)
        : clAgesMs(clAgesMs)
    {
        connect(&clSocket, &QTcpSocket::readyRead, this, &ClReader::read);
        connect(&clSocket, &QTcpSocket::connected, this,
            [this] { clSocket.write("GET /live.mjpg HTTP/1.1\r\nHost: bench\r\n\r\n"); });
        clSocket.connectToHost(QStringLiteral("127.0.0.1"), iPort);
    }

    int iParts = 0;
    bool bMeasuring = false;

private:
    void read()
    {
        clBuffer += clSocket.readAll();
        for (;;) {
            if (llBody < 0) {
                const int iEnd = clBuffer.indexOf("\r\n\r\n");
                if (iEnd < 0)
                    return;
                const QByteArray clHead = clBuffer.left(iEnd);
                clBuffer.remove(0, iEnd + 4);
                if (clHead.startsWith("HTTP/"))
                    continue; // the response's own head
                llBody = 0;
                llServedUs = -1;
                for (const QByteArray& clLine : clHead.split('\n')) {
                    if (clLine.startsWith("Content-Length:"))
                        llBody = clLine.mid(15).trimmed().toLongLong();
                    else if (clLine.startsWith("X-KD4-Served-Us:"))
                        llServedUs = clLine.mid(16).trimmed().toLongLong();
                }
            }
            if (clBuffer.size() < llBody + 2)
                return;
            clBuffer.remove(0, int(llBody) + 2);
            llBody = -1;
            ++iParts;
            if (bMeasuring && llServedUs > 0)
                clAgesMs.push_back(double(nowUs() - llServedUs) / 1000.0);
        }
    }

    std::vector<double>& clAgesMs;
    QTcpSocket clSocket;
    QByteArray clBuffer;
    qint64 llBody = -1;
    qint64 llServedUs = -1;
};

using bench::cpuSeconds;
using bench::residentMiB;

double percentile(std::vector<double> clValues, double dShare)
{
    if (clValues.empty())
        return 0;
    std::sort(clValues.begin(), clValues.end());
    return clValues[std::min(clValues.size() - 1, std::size_t(dShare * double(clValues.size())))];
}

struct stRun
{
    int iViewers = 0;
    double dCameraFps = 0;
    double dLowestFps = 0;
    double dMeanFps = 0;
    double dCpuShare = 0; // of one core
    double dSystemShare = 0;
    double dCpuPerViewerSecondMs = 0;
    double dAgeMedianMs = 0;
    double dAgeP95Ms = 0;
    double dRssStartMiB = 0;
    double dRssEndMiB = 0;
    double dRssPeakMiB = 0;
};

stRun measure(camsim::CamSim& clSim, qint64 llPid, quint16 iPort, int iViewers, int iSeconds)
{
    stRun clRun;
    clRun.iViewers = iViewers;
    std::vector<double> clAges;
    std::vector<std::unique_ptr<ClReader>> clReaders;
    for (int i = 0; i < iViewers; ++i)
        clReaders.push_back(std::make_unique<ClReader>(iPort, clAges));
    waitUntil(
        [&] {
            return std::all_of(
                clReaders.begin(), clReaders.end(), [](const auto& p) { return p->iParts > 0; });
        },
        WAIT_MS);
    pause(WARM_UP_MS);

    std::vector<int> clPartsBefore;
    for (const auto& pclReader : clReaders) {
        clPartsBefore.push_back(pclReader->iParts);
        pclReader->bMeasuring = true;
    }
    const std::uint64_t llServedBefore = clSim.framesServed();
    const std::pair<double, double> clCpuBefore = cpuSeconds(llPid);
    clRun.dRssStartMiB = residentMiB(llPid);
    clRun.dRssPeakMiB = clRun.dRssStartMiB;
    QElapsedTimer clClock;
    clClock.start();
    for (int i = 0; i < iSeconds; ++i) {
        pause(1000);
        clRun.dRssPeakMiB = std::max(clRun.dRssPeakMiB, residentMiB(llPid));
    }
    const double dSeconds = double(clClock.elapsed()) / 1000.0;
    const std::pair<double, double> clCpuAfter = cpuSeconds(llPid);
    const double dSystem = clCpuAfter.second - clCpuBefore.second;
    const double dCpu = clCpuAfter.first - clCpuBefore.first + dSystem;
    clRun.dRssEndMiB = residentMiB(llPid);
    clRun.dCameraFps = double(clSim.framesServed() - llServedBefore) / dSeconds;
    clRun.dLowestFps = 1e9;
    for (std::size_t i = 0; i < clReaders.size(); ++i) {
        const double dFps = double(clReaders[i]->iParts - clPartsBefore[i]) / dSeconds;
        clRun.dLowestFps = std::min(clRun.dLowestFps, dFps);
        clRun.dMeanFps += dFps / double(iViewers);
    }
    clRun.dCpuShare = dCpu / dSeconds;
    clRun.dSystemShare = dSystem / dSeconds;
    clRun.dCpuPerViewerSecondMs = dCpu * 1000.0 / (dSeconds * iViewers);
    clRun.dAgeMedianMs = percentile(clAges, 0.5);
    clRun.dAgeP95Ms = percentile(clAges, 0.95);

    // All gone: the view finder stops after the grace, and the next run starts it anew.
    clReaders.clear();
    waitUntil([&] { return !clSim.viewFinderRunning(); }, WAIT_MS);
    return clRun;
}

const char* met(bool bMet)
{
    return bMet ? "met" : "missed";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication clApp(argc, argv);
    const QStringList clArgs = QCoreApplication::arguments();
    const auto option = [&](const QString& strName, const QString& strDefault) {
        const int i = clArgs.indexOf(strName);
        return i > 0 && i + 1 < clArgs.size() ? clArgs.at(i + 1) : strDefault;
    };
    const int iSeconds = option(QStringLiteral("--seconds"), QStringLiteral("20")).toInt();
    // The simulator's own rate and size unless the command line names others.
    camsim::CamSim::Options clOptions;
    clOptions.fps = option(QStringLiteral("--fps"), QString::number(clOptions.fps)).toDouble();
    const QStringList clSize = option(QStringLiteral("--frame-size"),
        QStringLiteral("%1x%2").arg(clOptions.frameWidth).arg(clOptions.frameHeight))
                                   .split(QLatin1Char('x'));
    clOptions.frameWidth = clSize.value(0).toInt();
    clOptions.frameHeight = clSize.value(1).toInt();
    camsim::CamSim clSim(clOptions);
    if (!clSim.start()) {
        std::fprintf(stderr, "bench_serve: the simulator did not start\n");
        return 1;
    }

    QTemporaryDir clLocks;
    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), QString::fromStdString(clSim.address()));
    clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clLocks.path());
    QProcess clServer;
    clServer.setProcessEnvironment(clEnv);
    clServer.start(QStringLiteral(KD4CTL_BINARY),
        { QStringLiteral("serve"), QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0") });
    waitUntil([&] { return clServer.canReadLine() || clServer.state() == QProcess::NotRunning; }, WAIT_MS);
    const QRegularExpressionMatch clUrl
        = QRegularExpression(QStringLiteral("^serving http://127\\.0\\.0\\.1:(\\d+)/"))
              .match(QString::fromUtf8(clServer.readLine()));
    if (!clUrl.hasMatch()) {
        std::fprintf(stderr, "bench_serve: kd4ctl serve did not start:\n%s\n",
            clServer.readAllStandardError().constData());
        return 1;
    }
    const quint16 iPort = quint16(clUrl.captured(1).toUInt());
    const double dIdleMiB = residentMiB(clServer.processId());

    std::vector<stRun> clRuns;
    for (const int iViewers : VIEWERS)
        clRuns.push_back(measure(clSim, clServer.processId(), iPort, iViewers, iSeconds));
    ::kill(pid_t(clServer.processId()), SIGTERM);
    clServer.waitForFinished(WAIT_MS);
    clSim.stop();

    std::printf("kd4ctl serve, simulator at %.0f frames/s, %dx%d, %d s per run; idle server %.1f MiB\n\n",
        clOptions.fps, clOptions.frameWidth, clOptions.frameHeight, iSeconds, dIdleMiB);
    std::printf("| Viewers | Camera frames/s | Per viewer frames/s, lowest (mean) | Lowest / camera | Server "
                "CPU (system) "
                "| CPU per viewer-second | Added age median / p95 | VmRSS start → end (peak) |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const stRun& clRun : clRuns) {
        std::printf(
            "| %d | %.1f | %.1f (%.1f) | %.3f× | %.1f %% (%.1f %%) | %.2f ms | %.1f / %.1f ms | %.1f → %.1f "
            "(%.1f) MiB |\n",
            clRun.iViewers, clRun.dCameraFps, clRun.dLowestFps, clRun.dMeanFps,
            clRun.dLowestFps / clRun.dCameraFps, clRun.dCpuShare * 100.0, clRun.dSystemShare * 100.0,
            clRun.dCpuPerViewerSecondMs, clRun.dAgeMedianMs, clRun.dAgeP95Ms, clRun.dRssStartMiB,
            clRun.dRssEndMiB, clRun.dRssPeakMiB);
    }

    double dLowestRatio = 1e9;
    double dWorstMedian = 0;
    for (const stRun& clRun : clRuns) {
        dLowestRatio = std::min(dLowestRatio, clRun.dLowestFps / clRun.dCameraFps);
        dWorstMedian = std::max(dWorstMedian, clRun.dAgeMedianMs);
    }
    const double dCpuRatio = clRuns.back().dCpuShare / clRuns.front().dCpuShare;
    const double dGrowth = clRuns.back().dRssEndMiB - clRuns.back().dRssStartMiB;
    std::printf("\n| Goal | Measured | Met |\n|---|---|---|\n");
    std::printf("| each viewer ≥ 0.95× the camera's frame rate, up to 16 viewers | lowest %.3f× | %s |\n",
        dLowestRatio, met(dLowestRatio >= 0.95));
    std::printf("| added frame age, median ≤ 5 ms | at most %.1f ms | %s |\n", dWorstMedian,
        met(dWorstMedian <= 5.0));
    std::printf("| server CPU with 16 viewers ≤ 1.5× that with one | %.2f× | %s |\n", dCpuRatio,
        met(dCpuRatio <= 1.5));
    std::printf("| memory flat with 16 viewers (≤ 1 MiB growth over the run) | %+.1f MiB | %s |\n", dGrowth,
        met(dGrowth <= 1.0));
    return 0;
}
