// The live picture side by side with the limit of a one-request-at-a-time live view.
//
//   bench_live run BUILD_DIR [--memory-seconds N] [--only fps|cpu|launch|memory]
//                                                   the comparison (or one part), one table
//   bench_live bare HOST:PORT                       the bare loop: one GET at a time, each body
//                                                   decoded with QImage::loadFromData
//   bench_live window                               a minimal Qt window, for the memory baseline
//
// `run` starts kd4-camsim and, against it, the bare loop and the real kd4tool (with
// KD4TOOL_TRACE_FRAMES set), each as a process of its own, and measures both alike: frames per
// second from the per-frame lines both write (a frame painted by the program, decoded by the bare
// loop), processor time and resident memory from /proc, the frame's age from the simulator's serve
// time (X-Served-Us) to the end of its painting, and the time from process start to the first
// frame. Painting must be real: run it under Xvfb (scripts/bench.sh live does).

#include "bench/ProcStats.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <csignal>
#include <unistd.h>

namespace {

const int WARM_UP_MS = 3000;
// Side by side, in turns: ROUNDS windows each, after SETTLE_MS from each resumption.
const int ROUNDS = 4;
const int SETTLE_MS = 1500;
const int FPS_WINDOW_MS = 3000;
const int CPU_WINDOW_MS = 4000;
const int LAUNCH_RUNS = 5;
const QSize WINDOW_SIZE(848, 620);

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void printFrame(const QByteArray& clServed)
{
    std::fprintf(stderr, "kd4-frame served_us=%s painted_us=%lld\n", clServed.constData(),
        static_cast<long long>(nowUs()));
}

// ---- the bare loop ------------------------------------------------------------------------------

QJsonObject postCamera(QNetworkAccessManager& clNam, const QString& strBase, const QJsonObject& clMsg)
{
    QNetworkRequest clRequest(QUrl(strBase + QStringLiteral("/cgi-bin/cgi")));
    clRequest.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* pclReply = clNam.post(clRequest, QJsonDocument(clMsg).toJson(QJsonDocument::Compact));
    QEventLoop clLoop;
    QObject::connect(pclReply, &QNetworkReply::finished, &clLoop, &QEventLoop::quit);
    clLoop.exec();
    const QJsonObject clAnswer = QJsonDocument::fromJson(pclReply->readAll()).object();
    pclReply->deleteLater();
    return clAnswer;
}

int runBare(const QString& strAddress)
{
    const QString strBase = QStringLiteral("http://") + strAddress;
    QNetworkAccessManager clNam;
    // A session and the view finder, as any client needs before frames come; not measured.
    const int iToken = postCamera(clNam, strBase, { { "msg_id", 257 }, { "token", 0 } })["param"].toInt();
    postCamera(clNam, strBase, { { "msg_id", 259 }, { "token", iToken } });

    const QUrl clUrl(strBase + QStringLiteral("/mjpeg/amba.jpg"));
    QImage clImage;
    std::function<void()> fnNext = [&] {
        QNetworkReply* pclReply = clNam.get(QNetworkRequest(clUrl));
        QObject::connect(pclReply, &QNetworkReply::finished, [&, pclReply] {
            pclReply->deleteLater();
            if (pclReply->error() == QNetworkReply::NoError && clImage.loadFromData(pclReply->readAll()))
                printFrame(pclReply->rawHeader("X-Served-Us"));
            fnNext();
        });
    };
    fnNext();
    return QCoreApplication::exec();
}

int runWindow()
{
    QWidget clWindow;
    clWindow.resize(WINDOW_SIZE);
    clWindow.show();
    return QApplication::exec();
}

// ---- the driver ---------------------------------------------------------------------------------

struct stFrame
{
    qint64 llServedUs = 0;
    qint64 llPaintedUs = 0;
};

// A child process whose per-frame lines are collected as they come.
class ClSubject
{
public:
    ClSubject(const QString& strProgram, const QStringList& clArgs, const QProcessEnvironment& clEnv)
    {
        clProcess.setProcessEnvironment(clEnv);
        clProcess.setProgram(strProgram);
        clProcess.setArguments(clArgs);
        QObject::connect(&clProcess, &QProcess::readyReadStandardError, [this] { readLines(); });
        llStartUs = nowUs();
        clProcess.start();
        clProcess.waitForStarted();
    }
    ~ClSubject() { stop(); }

    void stop()
    {
        if (clProcess.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(clProcess.processId()), SIGTERM);
        if (!clProcess.waitForFinished(15000)) {
            clProcess.kill();
            clProcess.waitForFinished(5000);
        }
    }

    qint64 pid() const { return clProcess.processId(); }
    qint64 startUs() const { return llStartUs; }
    const std::vector<stFrame>& frames() const { return clFrames; }

    // Processor time so far (user and system), in seconds.
    double cpuSeconds() const
    {
        const std::pair<double, double> clCpu = bench::cpuSeconds(pid());
        return clCpu.first + clCpu.second;
    }

    // Resident memory, in MiB.
    double residentMiB() const { return bench::residentMiB(pid()); }

private:
    void readLines()
    {
        clPending += clProcess.readAllStandardError();
        int iEnd = 0;
        while ((iEnd = clPending.indexOf('\n')) >= 0) {
            const QByteArray clLine = clPending.left(iEnd);
            clPending.remove(0, iEnd + 1);
            if (!clLine.startsWith("kd4-frame "))
                continue;
            stFrame stOne;
            for (const QByteArray& clField : clLine.split(' ')) {
                if (clField.startsWith("served_us="))
                    stOne.llServedUs = clField.mid(10).toLongLong();
                else if (clField.startsWith("painted_us="))
                    stOne.llPaintedUs = clField.mid(11).toLongLong();
            }
            clFrames.push_back(stOne);
        }
    }

    QProcess clProcess;
    QByteArray clPending;
    std::vector<stFrame> clFrames;
    qint64 llStartUs = 0;
};

void waitMs(int iMs)
{
    QElapsedTimer clClock;
    clClock.start();
    while (clClock.elapsed() < iMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

double median(std::vector<double> clValues)
{
    if (clValues.empty())
        return 0;
    std::sort(clValues.begin(), clValues.end());
    const std::size_t n = clValues.size();
    return n % 2 ? clValues[n / 2] : (clValues[n / 2 - 1] + clValues[n / 2]) / 2;
}

struct stWindow
{
    double dFps = 0;
    double dCpuPercent = 0;
    double dAgeMs = 0;
};

class ClDriver
{
public:
    explicit ClDriver(const QString& strBuildDir)
        : strBuild(strBuildDir)
    {
        clEnv = QProcessEnvironment::systemEnvironment();
        clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
        clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clTemp.path());
        clEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), clTemp.path() + QStringLiteral("/config"));
        clEnv.insert(QStringLiteral("XDG_DATA_HOME"), clTemp.path() + QStringLiteral("/data"));
        clEnv.insert(QStringLiteral("KD4TOOL_TRACE_FRAMES"), QStringLiteral("1"));
        clEnv.remove(QStringLiteral("QT_QPA_PLATFORM")); // real painting, on the X server
    }

    // kd4-camsim on a free port; its address, or empty.
    QString startSim(double dFps, const QSize& clFrame)
    {
        clSims.push_back(std::make_unique<QProcess>());
        QProcess* pclSim = clSims.back().get();
        pclSim->start(strBuild + QStringLiteral("/tools/camsim/kd4-camsim"),
            { QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--fps"), QString::number(dFps),
                QStringLiteral("--frame-size"),
                QStringLiteral("%1x%2").arg(clFrame.width()).arg(clFrame.height()) });
        if (!pclSim->waitForReadyRead(10000))
            return QString();
        const QByteArray clLine = pclSim->readLine().trimmed();
        return QString::fromLatin1(clLine.mid(clLine.lastIndexOf(' ') + 1));
    }

    void stopSims()
    {
        for (auto& pclSim : clSims) {
            pclSim->terminate();
            pclSim->waitForFinished(10000);
        }
        clSims.clear();
    }

    std::unique_ptr<ClSubject> startBare(const QString& strAddress)
    {
        return std::make_unique<ClSubject>(QCoreApplication::applicationFilePath(),
            QStringList { QStringLiteral("bare"), strAddress }, clEnv);
    }

    std::unique_ptr<ClSubject> startProgram(const QString& strAddress)
    {
        QProcessEnvironment clOwn = clEnv;
        clOwn.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), strAddress);
        return std::make_unique<ClSubject>(strBuild + QStringLiteral("/app/kd4tool"), QStringList(), clOwn);
    }

    std::unique_ptr<ClSubject> startWindow()
    {
        return std::make_unique<ClSubject>(
            QCoreApplication::applicationFilePath(), QStringList { QStringLiteral("window") }, clEnv);
    }

    // The bare loop and the program side by side, each against a simulator of its own, taking
    // turns: while one is measured the other is stopped (SIGSTOP), so both meet the same machine
    // (a build next door slows both alike) and neither takes processor time from the other.
    static std::pair<stWindow, stWindow> measurePair(
        ClSubject& clBare, ClSubject& clProgram, int iRounds, int iWindowMs)
    {
        ClSubject* apclSubjects[2] = { &clBare, &clProgram };
        double adCpu[2] = { 0, 0 };
        double adSeconds[2] = { 0, 0 };
        std::vector<double> aclAges[2];
        waitMs(WARM_UP_MS); // both start up and stream
        for (ClSubject* pclSubject : apclSubjects)
            ::kill(static_cast<pid_t>(pclSubject->pid()), SIGSTOP);
        for (int iRound = 0; iRound < iRounds; ++iRound) {
            for (int i = 0; i < 2; ++i) {
                ClSubject& clSubject = *apclSubjects[i];
                ::kill(static_cast<pid_t>(clSubject.pid()), SIGCONT);
                waitMs(SETTLE_MS); // a request held over the pause may time out and be retried
                const double dCpu0 = clSubject.cpuSeconds();
                const qint64 llFrom = nowUs();
                waitMs(iWindowMs);
                const qint64 llTo = nowUs();
                adCpu[i] += clSubject.cpuSeconds() - dCpu0;
                ::kill(static_cast<pid_t>(clSubject.pid()), SIGSTOP);
                waitMs(100); // the window's last lines, still in the pipe
                adSeconds[i] += (llTo - llFrom) / 1e6;
                for (const stFrame& stOne : clSubject.frames()) {
                    if (stOne.llPaintedUs >= llFrom && stOne.llPaintedUs < llTo)
                        aclAges[i].push_back((stOne.llPaintedUs - stOne.llServedUs) / 1000.0);
                }
            }
        }
        for (ClSubject* pclSubject : apclSubjects)
            ::kill(static_cast<pid_t>(pclSubject->pid()), SIGCONT);
        stWindow astResult[2];
        for (int i = 0; i < 2; ++i)
            astResult[i]
                = { aclAges[i].size() / adSeconds[i], 100.0 * adCpu[i] / adSeconds[i], median(aclAges[i]) };
        return { astResult[0], astResult[1] };
    }

    // Milliseconds from process start to its first frame line, or -1.
    static double firstFrameMs(ClSubject& clSubject)
    {
        QElapsedTimer clClock;
        clClock.start();
        while (clSubject.frames().empty() && clClock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (clSubject.frames().empty())
            return -1;
        return (clSubject.frames().front().llPaintedUs - clSubject.startUs()) / 1000.0;
    }

    QString strBuild;
    QTemporaryDir clTemp;
    QProcessEnvironment clEnv;
    std::vector<std::unique_ptr<QProcess>> clSims;
};

struct stRow
{
    QString strGoal;
    QString strBare;
    QString strProgram;
    double dRatio = 0;
    QString strRatioGoal;
    bool bMet = false;
};

void printRow(const stRow& stOne)
{
    std::printf("| %s | %s | %s | %.2fx (goal %s) | %s |\n", qPrintable(stOne.strGoal),
        qPrintable(stOne.strBare), qPrintable(stOne.strProgram), stOne.dRatio, qPrintable(stOne.strRatioGoal),
        stOne.bMet ? "PASS" : "MISS");
    std::fflush(stdout);
}

int runDriver(const QString& strBuildDir, int iMemorySeconds, const QString& strOnly)
{
    ClDriver clDriver(strBuildDir);
    std::vector<stRow> clRows;
    auto fnLog = [](const QString& strText) {
        std::printf("bench_live: %s\n", qPrintable(strText));
        std::fflush(stdout);
    };

    auto fnPart
        = [&strOnly](const char* pName) { return strOnly.isEmpty() || strOnly == QLatin1String(pName); };

    // 1. Unpaced frames per second.
    for (const QSize& clFrame : { QSize(1280, 720), QSize(1920, 1080) }) {
        if (!fnPart("fps"))
            break;
        auto pclBare = clDriver.startBare(clDriver.startSim(0, clFrame));
        auto pclProgram = clDriver.startProgram(clDriver.startSim(0, clFrame));
        const auto [stBare, stProgram] = ClDriver::measurePair(*pclBare, *pclProgram, ROUNDS, FPS_WINDOW_MS);
        pclBare->stop();
        pclProgram->stop();
        clDriver.stopSims();
        const QString strSize = QStringLiteral("%1x%2").arg(clFrame.width()).arg(clFrame.height());
        fnLog(QStringLiteral("unpaced %1: bare %2 frames/s (%3 % CPU), program %4 frames/s (%5 % CPU)")
                  .arg(strSize)
                  .arg(stBare.dFps, 0, 'f', 1)
                  .arg(stBare.dCpuPercent, 0, 'f', 1)
                  .arg(stProgram.dFps, 0, 'f', 1)
                  .arg(stProgram.dCpuPercent, 0, 'f', 1));
        const double dRatio = stBare.dFps > 0 ? stProgram.dFps / stBare.dFps : 0;
        clRows.push_back(
            { QStringLiteral("unpaced frames/s, %1").arg(strSize), QString::number(stBare.dFps, 'f', 1),
                QString::number(stProgram.dFps, 'f', 1), dRatio, QStringLiteral(">= 1.0x"), dRatio >= 1.0 });
    }

    // 2. Processor share and frame age at a paced 30 frames/s, 1280x720.
    if (fnPart("cpu")) {
        auto pclBare = clDriver.startBare(clDriver.startSim(30, QSize(1280, 720)));
        auto pclProgram = clDriver.startProgram(clDriver.startSim(30, QSize(1280, 720)));
        const auto [stBare, stProgram] = ClDriver::measurePair(*pclBare, *pclProgram, ROUNDS, CPU_WINDOW_MS);
        pclBare->stop();
        pclProgram->stop();
        clDriver.stopSims();
        fnLog(QStringLiteral("paced 30/s 1280x720: bare %1 frames/s %2 % CPU age %3 ms, program %4 frames/s "
                             "%5 % CPU age %6 ms")
                  .arg(stBare.dFps, 0, 'f', 1)
                  .arg(stBare.dCpuPercent, 0, 'f', 1)
                  .arg(stBare.dAgeMs, 0, 'f', 1)
                  .arg(stProgram.dFps, 0, 'f', 1)
                  .arg(stProgram.dCpuPercent, 0, 'f', 1)
                  .arg(stProgram.dAgeMs, 0, 'f', 1));
        const double dCpuRatio = stBare.dCpuPercent > 0 ? stProgram.dCpuPercent / stBare.dCpuPercent : 0;
        clRows.push_back({ QStringLiteral("CPU at a paced 30 frames/s, 1280x720"),
            QStringLiteral("%1 %").arg(stBare.dCpuPercent, 0, 'f', 1),
            QStringLiteral("%1 %").arg(stProgram.dCpuPercent, 0, 'f', 1), dCpuRatio,
            QStringLiteral("<= 1.2x"), dCpuRatio <= 1.2 });
        clRows.push_back({ QStringLiteral("frame age, served to painted (median), 30 frames/s 1280x720"),
            QStringLiteral("%1 ms (decoded)").arg(stBare.dAgeMs, 0, 'f', 1),
            QStringLiteral("%1 ms").arg(stProgram.dAgeMs, 0, 'f', 1), stProgram.dAgeMs / 20.0,
            QStringLiteral("<= 20 ms"), stProgram.dAgeMs > 0 && stProgram.dAgeMs <= 20.0 });
    }

    // 3. Launch to the first painted frame, median of five.
    if (fnPart("launch")) {
        const QString strAddress = clDriver.startSim(30, QSize(1280, 720));
        std::vector<double> clBare;
        std::vector<double> clProgram;
        for (int i = 0; i < LAUNCH_RUNS; ++i) {
            auto pclBare = clDriver.startBare(strAddress);
            clBare.push_back(ClDriver::firstFrameMs(*pclBare));
            pclBare->stop();
            auto pclProgram = clDriver.startProgram(strAddress);
            clProgram.push_back(ClDriver::firstFrameMs(*pclProgram));
            pclProgram->stop();
        }
        clDriver.stopSims();
        QStringList clAll;
        for (double d : clProgram)
            clAll << QString::number(d, 'f', 0);
        fnLog(QStringLiteral("launch to first frame, program runs: %1 ms")
                  .arg(clAll.join(QStringLiteral(", "))));
        const double dBare = median(clBare);
        const double dProgram = median(clProgram);
        clRows.push_back({ QStringLiteral("launch to first painted frame (median of %1)").arg(LAUNCH_RUNS),
            QStringLiteral("%1 s (decoded)").arg(dBare / 1000, 0, 'f', 3),
            QStringLiteral("%1 s").arg(dProgram / 1000, 0, 'f', 3), dProgram / 300.0,
            QStringLiteral("<= 0.3 s"), dProgram > 0 && dProgram <= 300 });
    }

    // 4. Memory while streaming 1920x1080 at 30 frames/s against a minimal Qt window.
    if (fnPart("memory")) {
        auto pclWindow = clDriver.startWindow();
        waitMs(WARM_UP_MS);
        double dWindow = 0;
        for (int i = 0; i < 5; ++i) {
            dWindow = std::max(dWindow, pclWindow->residentMiB());
            waitMs(1000);
        }
        pclWindow->stop();

        const QString strAddress = clDriver.startSim(30, QSize(1920, 1080));
        auto pclProgram = clDriver.startProgram(strAddress);
        waitMs(WARM_UP_MS);
        std::vector<double> clSamples;
        for (int i = 0; i < iMemorySeconds; ++i) {
            clSamples.push_back(pclProgram->residentMiB());
            waitMs(1000);
        }
        const std::size_t iFrames = pclProgram->frames().size();
        pclProgram->stop();
        clDriver.stopSims();
        const double dPeak = *std::max_element(clSamples.begin(), clSamples.end());
        const double dMedian = median(clSamples);
        // Growth: the last tenth of the run against the tenth after the first (the start settles).
        const std::size_t iTenth = std::max<std::size_t>(1, clSamples.size() / 10);
        auto fnMean = [&](std::size_t iFrom) {
            double dSum = 0;
            for (std::size_t i = iFrom; i < iFrom + iTenth; ++i)
                dSum += clSamples[i];
            return dSum / iTenth;
        };
        const double dGrowth
            = fnMean(clSamples.size() - iTenth) - fnMean(std::min(iTenth, clSamples.size() - iTenth));
        fnLog(
            QStringLiteral("memory: minimal window %1 MiB, program streaming 1920x1080 peak %2 MiB over %3 s "
                           "(%4 frames painted), median %6 MiB, growth %5 MiB")
                .arg(dWindow, 0, 'f', 1)
                .arg(dPeak, 0, 'f', 1)
                .arg(iMemorySeconds)
                .arg(iFrames)
                .arg(dGrowth, 0, 'f', 1)
                .arg(dMedian, 0, 'f', 1));
        clRows.push_back({ QStringLiteral("memory streaming 1920x1080 above a minimal Qt window"),
            QStringLiteral("%1 MiB (window)").arg(dWindow, 0, 'f', 1),
            QStringLiteral("%1 MiB (+%2)").arg(dPeak, 0, 'f', 1).arg(dPeak - dWindow, 0, 'f', 1),
            (dPeak - dWindow) / 15.0, QStringLiteral("<= +15 MiB"), dPeak - dWindow <= 15.0 });
        clRows.push_back({ QStringLiteral("memory growth over %1 s of streaming").arg(iMemorySeconds),
            QStringLiteral("-"), QStringLiteral("%1 MiB").arg(dGrowth, 0, 'f', 1), 0,
            QStringLiteral("none (< 1 MiB)"), dGrowth < 1.0 });
    }

    std::printf("\n| Goal | Bare loop | Program | Ratio | Met |\n|---|---|---|---|---|\n");
    bool bAll = true;
    for (const stRow& stOne : clRows) {
        printRow(stOne);
        bAll = bAll && stOne.bMet;
    }
    return bAll ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString strMode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (strMode == QLatin1String("window")) {
        QApplication clApp(argc, argv);
        return runWindow();
    }
    QCoreApplication clApp(argc, argv);
    if (strMode == QLatin1String("bare") && argc > 2)
        return runBare(QString::fromLocal8Bit(argv[2]));
    if (strMode == QLatin1String("run") && argc > 2) {
        int iMemorySeconds = 60;
        QString strOnly;
        for (int i = 3; i + 1 < argc; ++i) {
            if (QByteArray(argv[i]) == "--memory-seconds")
                iMemorySeconds = std::max(10, QByteArray(argv[i + 1]).toInt());
            else if (QByteArray(argv[i]) == "--only")
                strOnly = QString::fromLocal8Bit(argv[i + 1]);
        }
        return runDriver(QString::fromLocal8Bit(argv[2]), iMemorySeconds, strOnly);
    }
    std::fprintf(stderr,
        "usage: bench_live run BUILD_DIR [--memory-seconds N] [--only fps|cpu|launch|memory] | bare "
        "HOST:PORT | window\n");
    return 2;
}
