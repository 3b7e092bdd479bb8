// The real kd4ctl program as a separate process against the camera simulator: one table of runs,
// each with the simulator's state and faults, the exit code, fragments of what the program prints
// (or of what a program reading its output prints) and exactly the messages the camera receives
// (257 first, 258 last, nothing at all when the command line is refused). The checks made before
// anything is sent run in the test's own process, one table of command lines and the files they
// name.

#include "config/kd4_config.h"
#include "ctl/ClCtlOptions.h"
#include "ctl/ClCtlPlan.h"
#include "ctl/CtlExit.h"
#include "platform/ClPlatform.h"
#include "tests/support/SimSupport.h"
#include "tools/camsim/CamSim.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/stat.h>

namespace {

constexpr int RUN_MS = 60000;

// Each fragment must be in the text; one starting with "!" must not.
void checkFragments(const QString& strWhat, const QString& strText, const QStringList& clFragments)
{
    for (const QString& strFragment : clFragments) {
        const bool bAbsent = strFragment.startsWith(QLatin1Char('!'));
        const QString strNeedle = bAbsent ? strFragment.mid(1) : strFragment;
        QVERIFY2(strText.contains(strNeedle) != bAbsent,
            qPrintable(QStringLiteral("%1 %2 \"%3\":\n%4")
                           .arg(strWhat, bAbsent ? QStringLiteral("holds") : QStringLiteral("lacks"),
                               strNeedle, strText)));
    }
}

// Exactly the expected lines; an expected entry ending in "*" matches any rest.
void checkLines(const QString& strWhat, const QStringList& clLines, const QStringList& clExpected)
{
    bool bMatch = clLines.size() == clExpected.size();
    for (int i = 0; bMatch && i < clLines.size(); ++i) {
        const QString& strWant = clExpected.at(i);
        bMatch = strWant.endsWith(QLatin1Char('*')) ? clLines.at(i).startsWith(strWant.chopped(1))
                                                    : clLines.at(i) == strWant;
    }
    QVERIFY2(bMatch,
        qPrintable(QStringLiteral("%1:\n  %2\nexpected:\n  %3")
                       .arg(strWhat, clLines.join(QStringLiteral("\n  ")),
                           clExpected.join(QStringLiteral("\n  ")))));
}

const QStringList SESSION_OPEN = { QStringLiteral("257"), QStringLiteral("260") };
const QStringList READ = SESSION_OPEN + QStringList { QStringLiteral("3"), QStringLiteral("258") };

QStringList opened(const QStringList& clMiddle)
{
    return SESSION_OPEN + clMiddle + QStringList { QStringLiteral("258") };
}

} // namespace

class TestKd4Ctl : public QObject
{
    Q_OBJECT

private slots:
    void run_data();
    void run();
    void check_data();
    void check();
    void listKeys_matchManualPage();
};

void TestKd4Ctl::run_data()
{
    // Arguments ("@DIR" a scratch folder, "@SIM" the simulator's address); the simulator's set-up,
    // word by word: "rval:MSG:N", "http:MSG:STATUS", "broken:MSG", "norval:MSG", "drop:MSG",
    // "delay:MSG:MS", "late:MSG:MS" (the camera acts at once, answers MS later) (each once, queued
    // in order), "ok:MSG" (one normal answer first),
    // "setting:KEY:VALUE", "record", "noframes", "down" (the address in the environment leads
    // nowhere), "address:TEXT" (the address in the environment), "lock" (kd4tool's lock is held), "file:JSON"
    // (@DIR/in.json), "signal:SIG:MSG" (sent once the camera has received MSG; "again": a second time 300 ms
    // later), "signal-frames:SIG:N" (once it has served N frames), "ffprobe" or "head:N" (standard output
    // read by ffprobe counting the frames, or by head -c N, which must end cleanly), "fifo" (@DIR/out a FIFO,
    // read by cat as standard output is, and a FIFO still afterwards), "stdout:PATH" (standard output into
    // PATH), "stdin" (standard input from
    // @DIR/in.json), "closed" (started with standard output closed), "full" (@DIR/full a tmpfs of 8 KiB of
    // its own; standard output then says "left:" and what it holds afterwards), "lasts:MIN:MAX" (the run
    // takes MIN to MAX ms); the exit code; fragments of standard output (the reader's, when read), of
    // standard error and of the file
    // @DIR/out; the camera's log; its settings afterwards.
    QTest::addColumn<QStringList>("clArgs");
    QTest::addColumn<QStringList>("clSetup");
    QTest::addColumn<int>("iExit");
    QTest::addColumn<QStringList>("clOut");
    QTest::addColumn<QStringList>("clErr");
    QTest::addColumn<QStringList>("clFile");
    QTest::addColumn<QStringList>("clLog");
    QTest::addColumn<QStringList>("clAfter");

    const QStringList NONE;
    const QString RES_HS = QStringLiteral("848x480 240P 16:9");
    const QString RES_720 = QStringLiteral("1280x720 60P 16:9");
    const QString NOTHING_APPLIED = QStringLiteral("kd4ctl: nothing was applied");

    // Reading.
    QTest::newRow("status") << QStringList { "status" } << NONE << 0
                            << QStringList { "session: opened\nfirmware: 01.00.0009\nbattery: 80\n"
                                             "mains_adapter: disconnected\nrecording: no\n"
                                             "video_resolution: 1920x1080 30P 16:9\n" }
                            << NONE << NONE << READ << NONE;
    QTest::newRow("status json, recording on mains")
        << QStringList { "--json", "status" }
        << QStringList { "record", "setting:zk_battery:30", "setting:zk_get_ac_connection:connected" } << 0
        << QStringList { "{\"battery\":\"30\",\"firmware\":\"01.00.0009\",\"mains_adapter\":\"connected\","
                         "\"recording\":\"yes\",\"session\":\"opened\","
                         "\"video_resolution\":\"1920x1080 30P 16:9\"}\n" }
        << NONE << NONE << READ << NONE;
    QTest::newRow("get all") << QStringList { "get" } << QStringList { "setting:zk_wdr:on" } << 0
                             << QStringList { "\nzk_wdr=on\n", "\nzk_battery=80\n", "\ncamera_clock=20",
                                    "\nvideo_resolution=1920x1080 30P 16:9\n" }
                             << NONE << NONE << READ << NONE;
    QTest::newRow("get named, json") << QStringList { "get", "--json", "zk_wdr", "zk_battery" } << NONE << 0
                                     << QStringList { "{\"zk_battery\":\"80\",\"zk_wdr\":\"off\"}\n" } << NONE
                                     << NONE << READ << NONE;
    // Output that does not make it fails the run.
    QTest::newRow("get, disk full")
        << QStringList { "get", "zk_wdr" } << QStringList { "stdout:/dev/full" } << 1 << NONE
        << QStringList { "kd4ctl: cannot write standard output: No space left on device\n" } << NONE << READ
        << NONE;
    QTest::newRow("get, standard output closed")
        << QStringList { "get", "zk_wdr" } << QStringList { "closed" } << 1 << NONE
        << QStringList { "kd4ctl: cannot write standard output: Bad file descriptor\n" } << NONE << READ
        << NONE;
    // A refused command line: each message on a line of its own, nothing sent (the checks
    // themselves: check_data).
    QTest::newRow("get unknown keys")
        << QStringList { "get", "zk_nope", "zk_wdr", "zk_nada" } << NONE << 1 << NONE
        << QStringList { "kd4ctl: unknown key 'zk_nope'; keys: zk_angle_deg,",
               "\nkd4ctl: unknown key 'zk_nada'; keys: zk_angle_deg," }
        << NONE << NONE << NONE;
    QTest::newRow("unknown option") << QStringList { "-x", "status" } << NONE << 1 << NONE
                                    << QStringList { "kd4ctl: Unknown option 'x'; see kd4ctl --help\n" }
                                    << NONE << NONE << NONE;
    QTest::newRow("a URL in the environment")
        << QStringList { "status" } << QStringList { "address:http://127.0.0.1:1/" } << 1 << NONE
        << QStringList { "kd4ctl: KD4TOOL_CAMERA_ADDRESS takes HOST or HOST:PORT, not 'http://127.0.0.1:1/'" }
        << NONE << NONE << NONE;

    // Setting, in the order given, with the steps around a high-speed resolution.
    QTest::newRow("set") << QStringList { "set", "video_resolution=" + RES_HS, "zk_wdr=on",
        "zk_rec_audio_balance=-5", "zk_interval_time=24:00:00", "camera_clock=2024-02-29 23:59:58" }
                         << NONE << 0 << NONE << NONE << NONE
                         << opened({ "3", "2 std_def_video=off", "2 stream_while_record=off",
                                "2 video_resolution=" + RES_HS, "2 zk_wdr=on", "2 zk_rec_audio_balance=-5",
                                "2 zk_interval_time=24:00:00", "2 camera_clock=2024-02-29 23:59:58" })
                         << QStringList { "video_resolution=" + RES_HS, "zk_wdr=on",
                                "zk_rec_audio_balance=-5", "zk_interval_time=24:00:00" };
    QTest::newRow("set retried after a time-out")
        << QStringList { "set", "zk_wdr=on" } << QStringList { "delay:2:6000" } << 0 << NONE << NONE << NONE
        << opened({ "3", "2 zk_wdr=on", "2 zk_wdr=on" }) << QStringList { "zk_wdr=on" };
    QTest::newRow("set refused, second key")
        << QStringList { "set", "zk_wdr=on", "zk_self_timer=5sec", "zk_stabilization=off" }
        << QStringList { "ok:2", "rval:2:-14" } << 3 << NONE
        << QStringList { "kd4ctl: setting zk_self_timer=5sec failed: the camera refused it (rval -14)\n",
               "kd4ctl: applied: zk_wdr\n", "kd4ctl: not applied: zk_self_timer, zk_stabilization\n" }
        << NONE << opened({ "3", "2 zk_wdr=on", "2 zk_self_timer=5sec" })
        << QStringList { "zk_wdr=on", "zk_self_timer=off" };
    QTest::newRow("set, HTTP 500") << QStringList { "set", "zk_wdr=on" } << QStringList { "http:2:500" } << 2
                                   << NONE << QStringList { "HTTP error status", NOTHING_APPLIED } << NONE
                                   << opened({ "3", "2 zk_wdr=on" }) << QStringList { "zk_wdr=off" };
    QTest::newRow("set, broken reply") << QStringList { "set", "zk_wdr=on" } << QStringList { "broken:2" }
                                       << 2 << NONE << QStringList { "answer was broken", NOTHING_APPLIED }
                                       << NONE << opened({ "3", "2 zk_wdr=on" }) << NONE;
    // The camera's own -1 and an answer without "rval" cannot be told apart: both are refusals.
    for (const char* pszFault : { "rval:2:-1", "norval:2" })
        QTest::newRow(qPrintable(QStringLiteral("set, %1").arg(QLatin1String(pszFault))))
            << QStringList { "set", "zk_wdr=on" } << QStringList { QLatin1String(pszFault) } << 3 << NONE
            << QStringList { "the camera refused it (rval -1, or an answer without a result code)",
                   NOTHING_APPLIED }
            << NONE << opened({ "3", "2 zk_wdr=on" }) << NONE;
    // Timed out each time it was sent, but taken: the camera's value says it was applied.
    QTest::newRow("set times out, applied all the same")
        << QStringList { "set", "zk_wdr=on", "zk_self_timer=5sec" }
        << QStringList { "late:2:6000", "late:2:6000", "late:2:6000" } << 2 << NONE
        << QStringList { "did not answer in time", "kd4ctl: the camera has zk_wdr=on all the same\n",
               "kd4ctl: applied: zk_wdr\n", "kd4ctl: not applied: zk_self_timer\n" }
        << NONE << opened({ "3", "2 zk_wdr=on", "2 zk_wdr=on", "2 zk_wdr=on", "3" })
        << QStringList { "zk_wdr=on", "zk_self_timer=off" };
    // A recording camera keeps its settings unless --force says otherwise.
    const QString RECORDING = QStringLiteral("kd4ctl: the camera is recording");
    QTest::newRow("set while recording") << QStringList { "set", "zk_wdr=on" } << QStringList { "record" }
                                         << 3 << NONE << QStringList { RECORDING, "--force", NOTHING_APPLIED }
                                         << NONE << opened({ "3" }) << QStringList { "zk_wdr=off" };
    QTest::newRow("set while recording, --force")
        << QStringList { "--force", "set", "zk_wdr=on" } << QStringList { "record" } << 0 << NONE << NONE
        << NONE << opened({ "3", "2 zk_wdr=on" }) << QStringList { "zk_wdr=on" };
    QTest::newRow("apply while recording")
        << QStringList { "apply", "@DIR/in.json" } << QStringList { "record", "file:{\"zk_wdr\":\"on\"}" }
        << 3 << NONE << QStringList { RECORDING, NOTHING_APPLIED } << NONE << opened({ "3" })
        << QStringList { "zk_wdr=off" };
    QTest::newRow("sync-time") << QStringList { "sync-time" } << NONE << 0
                               << QStringList { "camera_clock=20" } << NONE << NONE
                               << opened({ "2 camera_clock=20*" }) << NONE;

    // The session itself.
    QTest::newRow("session open times out")
        << QStringList { "status" } << QStringList { "delay:257:8000" } << 2 << NONE
        << QStringList { "opening the session failed: the camera at 127.0.0.1:", "did not answer in time" }
        << NONE << QStringList { "257" } << NONE;
    QTest::newRow("session refused")
        << QStringList { "get" } << QStringList { "rval:257:-3" } << 3 << NONE
        << QStringList { "opening the session failed: the camera refused it (rval -3)" } << NONE
        << QStringList { "257" } << NONE;
    QTest::newRow("camera unreachable") << QStringList { "status" } << QStringList { "down" } << 2 << NONE
                                        << QStringList { "could not be reached" } << NONE << NONE << NONE;
    QTest::newRow("--camera over the environment")
        << QStringList { "--camera", "@SIM", "get", "zk_wdr" } << QStringList { "down" } << 0
        << QStringList { "zk_wdr=off\n" } << NONE << NONE << READ << NONE;
    QTest::newRow("connection dropped")
        << QStringList { "get" } << QStringList { "drop:3" } << 2 << NONE
        << QStringList { "reading the settings failed" } << NONE << READ << NONE;

    // Format.
    QTest::newRow("format") << QStringList { "format", "--yes" } << NONE << 0 << NONE << NONE << NONE
                            << opened({ "4 =D:" }) << NONE;
    QTest::newRow("format refused by the camera")
        << QStringList { "format", "--yes" } << QStringList { "rval:4:-9" } << 3 << NONE
        << QStringList { "formatting the card failed: the camera refused it (rval -9)" } << NONE
        << opened({ "4 =D:" }) << NONE;

    // A live frame: the view finder is started, one frame fetched and the view finder stopped.
    const QStringList LIVE = { "260", "3", "260", "2 stream_while_record=on", "259 =none_force" };
    QTest::newRow("snapshot") << QStringList { "snapshot", "@DIR/out" } << NONE << 0 << NONE << NONE
                              << QStringList { "JFIF" } << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("snapshot, no frame")
        << QStringList { "snapshot", "@DIR/out" } << QStringList { "noframes" } << 2 << NONE
        << QStringList { "fetching a frame failed" } << NONE << opened(LIVE + QStringList { "260" }) << NONE;
    // "-" and a descriptor are standard output; a FIFO or a device is written in place.
    QTest::newRow("snapshot to -") << QStringList { "snapshot", "-" } << NONE << 0 << QStringList { "JFIF" }
                                   << NONE << NONE << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("snapshot to /dev/stdout, a pipe")
        << QStringList { "snapshot", "/dev/stdout" } << NONE << 0 << QStringList { "JFIF" } << NONE << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("snapshot into a FIFO")
        << QStringList { "snapshot", "@DIR/out" } << QStringList { "fifo" } << 0 << QStringList { "JFIF" }
        << NONE << NONE << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("snapshot onto a full device")
        << QStringList { "snapshot", "/dev/full" } << NONE << 1 << NONE
        << QStringList { "kd4ctl: cannot write /dev/full: No space left on device\n" } << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("snapshot to -, disk full")
        << QStringList { "snapshot", "-" } << QStringList { "stdout:/dev/full" } << 1 << NONE
        << QStringList { "kd4ctl: cannot write standard output: No space left on device\n" } << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    // No file cut short is left behind.
    QTest::newRow("snapshot, disk full")
        << QStringList { "snapshot", "@DIR/full/out" } << QStringList { "full" } << 1
        << QStringList { "left:\n" }
        << QStringList { "kd4ctl: cannot write /", "/full/out: No space left on device\n" } << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    // The view finder does not start: the session is closed all the same.
    QTest::newRow("snapshot, the view finder refused")
        << QStringList { "snapshot", "@DIR/out" } << QStringList { "rval:259:-9" } << 3 << NONE
        << QStringList { "starting the view finder failed" } << NONE << opened(LIVE + QStringList { "260" })
        << NONE;
    // The frames as they come, until a limit, a signal or a reader that has had enough.
    QTest::newRow("stream into ffprobe")
        << QStringList { "stream", "-o", "-", "--frames", "4" } << QStringList { "ffprobe" } << 0
        << QStringList { "\"nb_read_frames\": \"4\"", "\"width\": 640", "\"height\": 360" } << NONE << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("stream into a file")
        << QStringList { "stream", "--frames", "3", "-o", "@DIR/out" } << NONE << 0 << NONE << NONE
        << QStringList { "JFIF" } << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("stream, the reader goes away")
        << QStringList { "stream" } << QStringList { "head:1000" } << 0 << NONE << QStringList { "!kd4ctl" }
        << NONE << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("stream, SIGTERM") << QStringList { "stream", "-o", "@DIR/out" }
                                     << QStringList { "signal-frames:TERM:3" } << 143 << NONE
                                     << QStringList { "kd4ctl: stopped by SIGTERM\n" }
                                     << QStringList { "JFIF" } << opened(LIVE + QStringList { "260" })
                                     << NONE;
    QTest::newRow("stream for seconds")
        << QStringList { "stream", "--seconds", "1.5", "-o", "@DIR/out" } << QStringList { "lasts:1500:9000" }
        << 0 << NONE << NONE << QStringList { "JFIF" } << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("stream, disk full")
        << QStringList { "stream", "-o", "/dev/full" } << NONE << 1 << NONE
        << QStringList { "kd4ctl: cannot write /dev/full: No space left on device\n" } << NONE
        << opened(LIVE + QStringList { "260" }) << NONE;
    QTest::newRow("stream, no frame")
        << QStringList { "stream", "--frames", "3" } << QStringList { "noframes" } << 2 << NONE
        << QStringList { "fetching a frame failed" } << NONE << opened(LIVE + QStringList { "260" }) << NONE;

    // Save and apply.
    QTest::newRow("save") << QStringList { "save", "@DIR/out" } << QStringList { "setting:zk_wdr:on" } << 0
                          << NONE << NONE
                          << QStringList { "\"zk_wdr\": \"on\"", "\"zk_speaker_volume\": \"32\"",
                                 "\"zk_interval_time\": \"00:00:10\"", "!zk_battery", "!zk_get_version",
                                 "!app_status", "!camera_clock", "!stream_type", "!zk_ap_", "!reset" }
                          << READ << NONE;
    QTest::newRow("save to -") << QStringList { "save", "-" } << NONE << 0
                               << QStringList { "\"zk_wdr\": \"off\"" } << NONE << NONE << READ << NONE;
    QTest::newRow("apply from -") << QStringList { "apply", "-" }
                                  << QStringList { "file:{\"zk_wdr\":\"on\"}", "stdin" } << 0
                                  << QStringList { "zk_wdr: off -> on\n" } << NONE << NONE
                                  << opened({ "3", "2 zk_wdr=on" }) << QStringList { "zk_wdr=on" };
    QTest::newRow("apply")
        << QStringList { "apply", "@DIR/in.json" }
        << QStringList { "file:{\"zk_wdr\":\"on\",\"zk_white_balance\":\"auto\",\"zk_speaker_volume\":40,"
                         "\"video_resolution\":\"1280x720 60P 16:9\"}" }
        << 0
        << QStringList { "video_resolution: 1920x1080 30P 16:9 -> " + RES_720 + "\n",
               "\nzk_wdr: off -> on\nzk_speaker_volume: 32 -> 40\n", "!zk_white_balance" }
        << NONE << NONE
        << opened({ "3", "2 video_resolution=" + RES_720, "2 std_def_video=on", "2 stream_while_record=on",
               "3", "2 zk_wdr=on", "2 zk_speaker_volume=40" })
        << QStringList { "zk_wdr=on", "video_resolution=" + RES_720, "zk_speaker_volume=40" };
    QTest::newRow("apply, json, stops at a refusal")
        << QStringList { "--json", "apply", "@DIR/in.json" }
        << QStringList { "file:{\"zk_wdr\":\"on\",\"zk_stabilization\":\"off\",\"zk_angle_deg\":\"120\"}",
               "ok:2", "rval:2:-14" }
        << 3 << QStringList { "{\"zk_angle_deg\":{\"from\":\"170\",\"to\":\"120\"}}\n" }
        << QStringList { "setting zk_wdr=on failed: the camera refused it (rval -14)",
               "applied: zk_angle_deg\n", "not applied: zk_wdr, zk_stabilization\n" }
        << NONE << opened({ "3", "2 zk_angle_deg=120", "2 zk_wdr=on" })
        << QStringList { "zk_angle_deg=120", "zk_wdr=off" };

    // kd4tool runs: a second client would take its session over.
    QTest::newRow("kd4tool runs") << QStringList { "set", "zk_wdr=on" } << QStringList { "lock" } << 4 << NONE
                                  << QStringList { "kd4tool is running", "--force" } << NONE << NONE
                                  << QStringList { "zk_wdr=off" };
    QTest::newRow("kd4tool runs, --force")
        << QStringList { "--force", "get", "zk_wdr" } << QStringList { "lock" } << 0
        << QStringList { "zk_wdr=off\n" } << QStringList { "going ahead" } << NONE << READ << NONE;

    // A signal: the step in progress finishes, the session is closed, the applied keys are named.
    QTest::newRow("SIGTERM while setting")
        << QStringList { "set", "zk_wdr=on", "zk_self_timer=5sec" }
        << QStringList { "delay:2:1500", "signal:TERM:2" } << 143 << NONE
        << QStringList { "kd4ctl: stopped by SIGTERM\n", "kd4ctl: applied: zk_wdr\n",
               "kd4ctl: not applied: zk_self_timer\n" }
        << NONE << opened({ "3", "2 zk_wdr=on" }) << QStringList { "zk_wdr=on", "zk_self_timer=off" };
    QTest::newRow("SIGINT while reading")
        << QStringList { "status" } << QStringList { "delay:3:1500", "signal:INT:3" } << 130 << NONE
        << QStringList { "stopped by SIGINT" } << NONE << READ << NONE;
    // A camera that does not answer: a second Ctrl+C closes the session at once and ends the run.
    QTest::newRow("SIGINT twice, camera silent")
        << QStringList { "status" }
        << QStringList { "delay:3:20000", "signal:INT:3", "again", "lasts:0:6000" } << 130 << NONE
        << QStringList { "kd4ctl: stopped by SIGINT again: the session was closed at once\n" } << NONE << READ
        << NONE;
    QTest::newRow("SIGHUP while reading")
        << QStringList { "status" } << QStringList { "delay:3:1500", "signal:HUP:3" } << 129 << NONE
        << QStringList { "kd4ctl: stopped by SIGHUP\n" } << NONE << READ << NONE;
}

void TestKd4Ctl::run()
{
    QFETCH(QStringList, clArgs);
    QFETCH(QStringList, clSetup);
    QFETCH(int, iExit);
    QFETCH(QStringList, clOut);
    QFETCH(QStringList, clErr);
    QFETCH(QStringList, clFile);
    QFETCH(QStringList, clLog);
    QFETCH(QStringList, clAfter);

    camsim::CamSim clSim;
    QVERIFY(clSim.start());
    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    const QString strSim = QString::fromStdString(clSim.address());
    QString strAddress = strSim;
    QString strSignal;
    qint64 llSignalMsg = 0;
    std::uint64_t llSignalFrames = 0;
    bool bSignalTwice = false;
    QStringList clReader; // the program reading standard output, and its arguments
    qint64 llMinMs = 0;
    qint64 llMaxMs = RUN_MS;
    qintptr llLock = 0;
    bool bLocked = false;
    bool bFifo = false;
    QString strStdout;
    QString strStdin;
    QString strShell;

    QProcessEnvironment clEnv = QProcessEnvironment::systemEnvironment();
    clEnv.insert(QStringLiteral("KD4TOOL_LOCK_DIR"), clDir.path());
    qputenv("KD4TOOL_LOCK_DIR", clDir.path().toLocal8Bit());

    for (const QString& strWord : qAsConst(clSetup)) {
        const QStringList clPart = strWord.split(QLatin1Char(':'));
        const QString strKind = clPart.value(0);
        const qint64 llMsg = clPart.value(1).toLongLong();
        if (strKind == QLatin1String("rval")) {
            clSim.addFault(llMsg, camsim::Fault::withRval(clPart.value(2).toInt(), 1));
        } else if (strKind == QLatin1String("http")) {
            clSim.addFault(llMsg, camsim::Fault::status(clPart.value(2).toInt(), 1));
        } else if (strKind == QLatin1String("broken")) {
            clSim.addFault(llMsg, camsim::Fault::brokenJson(1));
        } else if (strKind == QLatin1String("norval")) {
            clSim.addFault(llMsg, camsim::Fault::noRval(1));
        } else if (strKind == QLatin1String("drop")) {
            clSim.addFault(llMsg, camsim::Fault::drop(1));
        } else if (strKind == QLatin1String("delay")) {
            clSim.addFault(llMsg, camsim::Fault::delay(clPart.value(2).toInt(), 1));
        } else if (strKind == QLatin1String("late")) {
            clSim.addFault(llMsg, camsim::Fault::lateAnswer(clPart.value(2).toInt(), 1));
        } else if (strKind == QLatin1String("ok")) {
            clSim.addFault(llMsg, camsim::Fault::delay(0, 1));
        } else if (strKind == QLatin1String("setting")) {
            clSim.setSetting(clPart.value(1).toStdString(), clPart.value(2).toStdString());
        } else if (strKind == QLatin1String("record")) {
            clSim.startRecording();
        } else if (strKind == QLatin1String("noframes")) {
            camsim::FrameFault clFault;
            clFault.kind = camsim::FrameFault::Kind::NotFound;
            clSim.setFrameFault(clFault);
        } else if (strKind == QLatin1String("down")) {
            // A port that was free a moment ago: nothing answers there.
            QTcpServer clServer;
            QVERIFY(clServer.listen(QHostAddress::LocalHost));
            strAddress = QStringLiteral("127.0.0.1:%1").arg(clServer.serverPort());
        } else if (strKind == QLatin1String("address")) {
            strAddress = strWord.mid(strKind.size() + 1);
        } else if (strKind == QLatin1String("lock")) {
            QCOMPARE(ClPlatform::acquireInstanceLock(QLatin1String(Kd4Config::SETTINGS_APPLICATION), &llLock),
                int(ClPlatform::LockTaken));
            bLocked = true;
        } else if (strKind == QLatin1String("file")) {
            QFile clIn(clDir.filePath(QStringLiteral("in.json")));
            QVERIFY(clIn.open(QIODevice::WriteOnly));
            clIn.write(strWord.mid(strKind.size() + 1).toUtf8());
        } else if (strKind == QLatin1String("signal")) {
            strSignal = clPart.value(1);
            llSignalMsg = clPart.value(2).toLongLong();
        } else if (strKind == QLatin1String("again")) {
            bSignalTwice = true;
        } else if (strKind == QLatin1String("signal-frames")) {
            strSignal = clPart.value(1);
            llSignalFrames = clPart.value(2).toULongLong();
        } else if (strKind == QLatin1String("ffprobe")) {
            if (QStandardPaths::findExecutable(strKind).isEmpty())
                QSKIP("ffprobe is not installed");
            clReader = QStringList { strKind, "-v", "error", "-f", "mjpeg", "-i", "-", "-count_frames",
                "-show_entries", "stream=nb_read_frames,width,height", "-of", "json" };
        } else if (strKind == QLatin1String("head")) {
            clReader = QStringList { strKind, "-c", clPart.value(1) };
        } else if (strKind == QLatin1String("fifo")) {
            const QString strFifo = clDir.filePath(QStringLiteral("out"));
            QCOMPARE(::mkfifo(QFile::encodeName(strFifo).constData(), 0600), 0);
            clReader = QStringList { "cat", strFifo };
            bFifo = true;
        } else if (strKind == QLatin1String("stdout")) {
            strStdout = clPart.value(1);
        } else if (strKind == QLatin1String("stdin")) {
            strStdin = clDir.filePath(QStringLiteral("in.json"));
        } else if (strKind == QLatin1String("closed") || strKind == QLatin1String("full")) {
            strShell = strKind;
        } else if (strKind == QLatin1String("lasts")) {
            llMinMs = clPart.value(1).toLongLong();
            llMaxMs = clPart.value(2).toLongLong();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown set-up word ") + strWord));
        }
    }
    clEnv.insert(QStringLiteral("KD4TOOL_CAMERA_ADDRESS"), strAddress);
    clEnv.insert(QStringLiteral("KD4TOOL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    clArgs.replaceInStrings(QStringLiteral("@DIR"), clDir.path());
    clArgs.replaceInStrings(QStringLiteral("@SIM"), strSim);

    QProcess clProgram;
    QProcess clReading;
    const bool bRead = !clReader.isEmpty();
    clProgram.setProcessEnvironment(clEnv);
    if (bRead) {
        if (!bFifo)
            clProgram.setStandardOutputProcess(&clReading);
        clReading.start(clReader.takeFirst(), clReader);
        QVERIFY(clReading.waitForStarted());
    }
    if (!strStdout.isEmpty())
        clProgram.setStandardOutputFile(strStdout);
    if (!strStdin.isEmpty())
        clProgram.setStandardInputFile(strStdin);
    QString strProgram = QStringLiteral(KD4CTL_BINARY);
    if (strShell == QLatin1String("closed")) {
        clArgs = QStringList { "-c", "exec \"$0\" \"$@\" >&-", strProgram } + clArgs;
        strProgram = QStringLiteral("/bin/sh");
    } else if (strShell == QLatin1String("full")) {
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty()
            || QProcess::execute(QStringLiteral("unshare"),
                   { "-m", "mount", "-t", "tmpfs", "-o", "size=8k", "tmpfs", clDir.path() })
                != 0)
            QSKIP("no tmpfs of its own can be mounted here");
        QVERIFY(QDir(clDir.path()).mkdir(QStringLiteral("full")));
        clArgs = QStringList { "-m", "/bin/sh", "-c",
            "D=\"$1\"; shift; mount -t tmpfs -o size=8k tmpfs \"$D\" || exit 99; \"$0\" \"$@\"; "
            "iExit=$?; printf 'left:%s\\n' \"$(ls -A \"$D\")\"; exit $iExit",
            strProgram, clDir.filePath(QStringLiteral("full")) }
            + clArgs;
        strProgram = QStringLiteral("unshare");
    }
    QElapsedTimer clClock;
    clClock.start();
    clProgram.start(strProgram, clArgs);
    QVERIFY(clProgram.waitForStarted());
    if (!strSignal.isEmpty()) {
        if (llSignalFrames > 0)
            QVERIFY(clSim.waitFor([&] { return clSim.framesServed() >= llSignalFrames; }, RUN_MS));
        else
            QVERIFY(clSim.waitForMessage(llSignalMsg, 1, RUN_MS));
        const int iSignal = strSignal == QLatin1String("INT") ? SIGINT
            : strSignal == QLatin1String("HUP")               ? SIGHUP
                                                              : SIGTERM;
        ::kill(pid_t(clProgram.processId()), iSignal);
        if (bSignalTwice) {
            QTest::qWait(300);
            ::kill(pid_t(clProgram.processId()), iSignal);
        }
    }
    QVERIFY(clProgram.waitForFinished(RUN_MS));
    const qint64 llRunMs = clClock.elapsed();
    if (bLocked)
        ClPlatform::releaseInstanceLock(llLock);
    if (bRead) {
        QVERIFY(clReading.state() == QProcess::NotRunning || clReading.waitForFinished(RUN_MS));
        const QString strReaderErr = QString::fromUtf8(clReading.readAllStandardError());
        QVERIFY2(clReading.exitStatus() == QProcess::NormalExit && clReading.exitCode() == 0
                && strReaderErr.isEmpty(),
            qPrintable(
                QStringLiteral("the reader exited %1:\n%2").arg(clReading.exitCode()).arg(strReaderErr)));
    }
    QVERIFY2(llRunMs >= llMinMs && llRunMs <= llMaxMs,
        qPrintable(
            QStringLiteral("the run took %1 ms, not %2 to %3").arg(llRunMs).arg(llMinMs).arg(llMaxMs)));

    // Frames too: all of it, past any zero byte.
    const QByteArray clOutBytes
        = bRead ? clReading.readAllStandardOutput() : clProgram.readAllStandardOutput();
    const QString strOut = QString::fromUtf8(clOutBytes.constData(), clOutBytes.size());
    const QString strErr = QString::fromUtf8(clProgram.readAllStandardError());
    QVERIFY2(clProgram.exitStatus() == QProcess::NormalExit && clProgram.exitCode() == iExit,
        qPrintable(QStringLiteral("exit %1, expected %2; standard error:\n%3")
                       .arg(clProgram.exitCode())
                       .arg(iExit)
                       .arg(strErr)));
    checkFragments(QStringLiteral("standard output"), strOut, clOut);
    checkFragments(QStringLiteral("standard error"), strErr, clErr);
    if (QTest::currentTestFailed())
        return;
    // Every message is one line of plain text.
    for (const QString& strLine : strErr.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(strLine.startsWith(QLatin1String("kd4ctl: ")), qPrintable(strLine));
    if (!clFile.isEmpty()) {
        QFile clOutFile(clDir.filePath(QStringLiteral("out")));
        QVERIFY(clOutFile.open(QIODevice::ReadOnly));
        const QByteArray clBytes = clOutFile.readAll();
        checkFragments(
            QStringLiteral("the file"), QString::fromLatin1(clBytes.constData(), clBytes.size()), clFile);
        // The frames are written as they came: whole JPEGs, exactly the bodies the camera served,
        // one after the other.
        if (clArgs.contains(QStringLiteral("snapshot")) || clArgs.contains(QStringLiteral("stream"))) {
            qsizetype iAt = 0;
            for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
                if (clFrame.status != 200)
                    continue;
                const QByteArray clPiece = clBytes.mid(iAt, qsizetype(clFrame.bytes));
                QCOMPARE(QCryptographicHash::hash(clPiece, QCryptographicHash::Sha256).toHex(),
                    QByteArray::fromStdString(clFrame.sha256));
                iAt += clPiece.size();
            }
            QVERIFY(clBytes.startsWith("\xff\xd8"));
            QCOMPARE(iAt, qsizetype(clBytes.size()));
        }
    }
    if (bFifo) {
        struct stat clStat = {};
        QVERIFY(::stat(QFile::encodeName(clDir.filePath(QStringLiteral("out"))).constData(), &clStat) == 0
            && S_ISFIFO(clStat.st_mode));
    }
    if (QTest::currentTestFailed())
        return;

    checkLines(QStringLiteral("camera received"), Kd4Test::messageLog(clSim), clLog);
    QVERIFY(!clSim.sessionOpen());
    for (const QString& strSetting : qAsConst(clAfter)) {
        const QString strKey = strSetting.section(QLatin1Char('='), 0, 0);
        QCOMPARE(QString::fromStdString(clSim.setting(strKey.toStdString())),
            strSetting.section(QLatin1Char('='), 1));
    }
}

void TestKd4Ctl::check_data()
{
    // Arguments ("@DIR" a scratch folder, also in the messages); the text of @DIR/in.json (none
    // when empty); the exit code; exactly the messages, in order (an entry ending in "*" matches
    // any rest); for a line that passes, what it plans as KEY=VALUE: set's keys, then the file's
    // values apply compares with the camera's, then the stream's limits and target.
    QTest::addColumn<QStringList>("clArgs");
    QTest::addColumn<QString>("strFile");
    QTest::addColumn<int>("iExit");
    QTest::addColumn<QStringList>("clMessages");
    QTest::addColumn<QStringList>("clPlanned");

    const QStringList NONE;
    const int USAGE = CtlExit::USAGE;

    QTest::newRow("unknown command")
        << QStringList { "reboot" } << QString() << USAGE
        << QStringList { "unknown command 'reboot'; commands: status, get, set, sync-time, format, snapshot, "
                         "stream, serve, save, apply" }
        << NONE;
    QTest::newRow("an argument too many")
        << QStringList { "status", "now" } << QString() << USAGE
        << QStringList { "status takes 0 argument(s), not 1; see kd4ctl --help" } << NONE;
    QTest::newRow("an argument too few")
        << QStringList { "set" } << QString() << USAGE
        << QStringList { "set takes at least 1 argument(s), not 0; see kd4ctl --help" } << NONE;

    QTest::newRow("set, in the order given")
        << QStringList { "set", "zk_wdr=on", "zk_angle_deg=120", "camera_clock=2024-02-29 23:59:58" }
        << QString() << 0 << NONE
        << QStringList { "zk_wdr=on", "zk_angle_deg=120", "camera_clock=2024-02-29 23:59:58" };
    QTest::newRow("set, unknown value")
        << QStringList { "set", "zk_wdr=on", "zk_white_balance=sunny", "zk_rec_audio_level=11",
               "zk_interval_time=24:00:01", "camera_clock=2023-02-29 10:00:00", "zk_speaker_volume=+5" }
        << QString() << USAGE
        << QStringList { "'sunny' is not a value of zk_white_balance; "
                         "allowed: auto, night, daylight, cloudy, incandecent, fluorescent",
               "'11' is not a value of zk_rec_audio_level; allowed: a whole number from 0 to 10",
               "'24:00:01' is not a value of zk_interval_time; allowed: hh:mm:ss from 00:00:02 to 24:00:00",
               "'2023-02-29 10:00:00' is not a value of camera_clock; allowed: a date and time as yyyy-MM-dd "
               "hh:mm:ss",
               "'+5' is not a value of zk_speaker_volume; allowed: *" }
        << NONE;
    // The camera takes no line break after a number or a duration.
    QTest::newRow("set, a value with a line break")
        << QStringList { "set", "zk_rec_audio_level=5\n", "zk_interval_time=00:00:10\n" } << QString()
        << USAGE
        << QStringList { "'5\n' is not a value of zk_rec_audio_level; allowed: a whole number from 0 to 10",
               "'00:00:10\n' is not a value of zk_interval_time; allowed: *" }
        << NONE;
    QTest::newRow("set, an action is no setting")
        << QStringList { "set", "zk_factory_reset_cam=set", "zk_wdr" } << QString() << USAGE
        << QStringList { "unknown key 'zk_factory_reset_cam'; keys set takes: zk_angle_deg, *",
               "'zk_wdr' is not KEY=VALUE" }
        << NONE;
    QTest::newRow("format refused without --yes")
        << QStringList { "format" } << QString() << USAGE
        << QStringList { "format erases every file on the camera's card; give --yes to go ahead" } << NONE;

    // Nothing is written before the session: only where it would go is looked at.
    QTest::newRow("snapshot into a missing folder")
        << QStringList { "snapshot", "@DIR/no/out.jpg" } << QString() << USAGE
        << QStringList { "cannot write @DIR/no/out.jpg: the folder @DIR/no does not exist" } << NONE;
    // A stream's target is written in place: a device needs no writable folder.
    QTest::newRow("stream, its limits")
        << QStringList { "stream", "--frames", "007", "--seconds", "2.5", "-o", "/dev/null" } << QString()
        << 0 << NONE << QStringList { "frames=7", "ms=2500", "output=/dev/null" };
    const QString FRAMES
        = QStringLiteral("--frames takes a whole number of frames from 1 to 999999999, not '%1'");
    const QString SECONDS = QStringLiteral(
        "--seconds takes a number of seconds above 0 with up to three decimals, such as 10 or 2.5, not '%1'");
    QTest::newRow("stream, bad limits, missing folder")
        << QStringList { "stream", "--frames", "0", "--seconds=-1", "-o", "@DIR/no/out.mjpg" } << QString()
        << USAGE
        << QStringList { FRAMES.arg("0"), SECONDS.arg("-1"),
               "cannot write @DIR/no/out.mjpg: the folder @DIR/no does not exist" }
        << NONE;
    QTest::newRow("stream, more bad limits")
        << QStringList { "stream", "--frames", "+3", "--seconds", "0.0001" } << QString() << USAGE
        << QStringList { FRAMES.arg("+3"), SECONDS.arg("0.0001") } << NONE;
    // Where serve listens: 127.0.0.1 unless --listen says otherwise, never a host name.
    QTest::newRow("serve, on loopback by default") << QStringList { "serve" } << QString() << 0 << NONE
                                                   << QStringList { "listen=127.0.0.1:8554", "token=" };
    QTest::newRow("serve, IPv6 with a token") << QStringList { "serve", "--listen", "[::1]:0", "--token",
        "a.B_c~-9" } << QString() << 0 << NONE << QStringList { "listen=::1:0", "token=a.B_c~-9" };
    QTest::newRow("serve, a host name and a token with a blank")
        << QStringList { "serve", "--listen", "localhost:8554", "--token", "a b" } << QString() << USAGE
        << QStringList { "--listen takes ADDR:PORT, an IP address ([ADDR] for IPv6) and a port "
                         "(0: a free one), not 'localhost:8554'",
               "--token takes 1 to 256 of the characters A-Z a-z 0-9 - . _ ~" }
        << NONE;
    QTest::newRow("save onto a folder") << QStringList { "save", "@DIR" } << QString() << USAGE
                                        << QStringList { "cannot write @DIR: it is a folder" } << NONE;
    // "-" is standard output, a descriptor is written in place: neither needs a writable folder.
    QTest::newRow("snapshot to -") << QStringList { "snapshot", "-" } << QString() << 0 << NONE << NONE;
    QTest::newRow("save to /dev/stdout")
        << QStringList { "save", "/dev/stdout" } << QString() << 0 << NONE << NONE;

    QTest::newRow("apply, numbers as a person writes them")
        << QStringList { "apply", "@DIR/in.json" }
        << QStringLiteral("{\"zk_wdr\":\"on\",\"zk_speaker_volume\":40,\"zk_rec_audio_balance\":-5}") << 0
        << NONE << QStringList { "zk_rec_audio_balance=-5", "zk_speaker_volume=40", "zk_wdr=on" };
    QTest::newRow("apply, unreadable file")
        << QStringList { "apply", "@DIR/missing.json" } << QString() << USAGE
        << QStringList { "cannot read @DIR/missing.json: No such file or directory" } << NONE;
    QTest::newRow("apply, no JSON") << QStringList { "apply", "@DIR/in.json" }
                                    << QStringLiteral("{\"zk_wdr\": ") << USAGE
                                    << QStringList { "@DIR/in.json is no JSON: *" } << NONE;
    QTest::newRow("apply, no object")
        << QStringList { "apply", "@DIR/in.json" } << QStringLiteral("[\"zk_wdr\"]") << USAGE
        << QStringList { "@DIR/in.json holds no JSON object of settings" } << NONE;
    // A file of settings is small, and a message shows only the start of a long value.
    QTest::newRow("apply, too large a file")
        << QStringList { "apply", "@DIR/in.json" }
        << QStringLiteral("{\"zk_wdr\":\"%1\"}").arg(QString(1 << 20, QLatin1Char('x'))) << USAGE
        << QStringList { "@DIR/in.json is larger than 1048576 bytes: no file of settings" } << NONE;
    QTest::newRow("apply, a long value")
        << QStringList { "apply", "@DIR/in.json" }
        << QStringLiteral("{\"zk_wdr\":\"%1\"}").arg(QString(5000, QLatin1Char('x'))) << USAGE
        << QStringList { "@DIR/in.json: '" + QString(40, QLatin1Char('x'))
               + "...' is not a value of zk_wdr; allowed: off, on" }
        << NONE;
    QTest::newRow("apply, read-only key and bad values")
        << QStringList { "apply", "@DIR/in.json" }
        << QStringLiteral("{\"zk_battery\":\"10\",\"zk_wdr\":\"maybe\",\"zk_speaker_volume\":40.5,"
                          "\"zk_stabilization\":true}")
        << USAGE
        << QStringList { "@DIR/in.json: 'zk_battery' is not a setting apply takes; keys: zk_angle_deg, *",
               "@DIR/in.json: the value of zk_speaker_volume is not a text",
               "@DIR/in.json: the value of zk_stabilization is not a text",
               "@DIR/in.json: 'maybe' is not a value of zk_wdr; allowed: off, on" }
        << NONE;
}

// The checks alone, in this process: no camera, no lock, nothing printed.
void TestKd4Ctl::check()
{
    QFETCH(QStringList, clArgs);
    QFETCH(QString, strFile);
    QFETCH(int, iExit);
    QFETCH(QStringList, clMessages);
    QFETCH(QStringList, clPlanned);

    QTemporaryDir clDir;
    QVERIFY(clDir.isValid());
    if (!strFile.isEmpty()) {
        QFile clIn(clDir.filePath(QStringLiteral("in.json")));
        QVERIFY(clIn.open(QIODevice::WriteOnly));
        clIn.write(strFile.toUtf8());
    }
    clArgs.replaceInStrings(QStringLiteral("@DIR"), clDir.path());
    clMessages.replaceInStrings(QStringLiteral("@DIR"), clDir.path());

    ClCtlOptions clOptions;
    QVERIFY2(
        clOptions.parse(QStringList { QStringLiteral("kd4ctl") } + clArgs), qPrintable(clOptions.strError));
    ClCtlPlan clPlan;
    const bool bPassed = clPlan.check(clOptions);
    checkLines(QStringLiteral("the check said"), clPlan.clMessages, clMessages);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(clPlan.iExit, iExit);
    QCOMPARE(bPassed, iExit == CtlExit::DONE);
    if (!bPassed)
        return;
    QStringList clGot;
    for (const auto& clKey : qAsConst(clPlan.clKeys))
        clGot.append(clKey.first + QLatin1Char('=') + clKey.second);
    for (auto it = clPlan.clFileValues.cbegin(); it != clPlan.clFileValues.cend(); ++it)
        clGot.append(it.key() + QLatin1Char('=') + it.value());
    if (clPlan.eCommand == ClCtlPlan::Command::Stream)
        clGot << QStringLiteral("frames=%1").arg(clPlan.iStreamFrames)
              << QStringLiteral("ms=%1").arg(clPlan.llStreamMs)
              << QStringLiteral("output=") + clPlan.strStreamPath;
    if (clPlan.eCommand == ClCtlPlan::Command::Serve)
        clGot << QStringLiteral("listen=%1:%2").arg(clPlan.strServeHost).arg(clPlan.iServePort)
              << QStringLiteral("token=") + clPlan.strServeToken;
    QCOMPARE(clGot, clPlanned);
}

// The manual page lists every key kd4ctl knows, and under each setting its values or limits as
// the program's vocabulary has them.
void TestKd4Ctl::listKeys_matchManualPage()
{
    QProcess clProgram;
    clProgram.start(QStringLiteral(KD4CTL_BINARY), { QStringLiteral("--list-keys") });
    QVERIFY(clProgram.waitForFinished(RUN_MS));
    QCOMPARE(clProgram.exitCode(), 0);
    QFile clPage(QStringLiteral(KD4CTL_MANUAL));
    QVERIFY(clPage.open(QIODevice::ReadOnly));
    const QString strPage = QString::fromUtf8(clPage.readAll()).remove(QLatin1Char('\\'));
    const QStringList clLines
        = QString::fromUtf8(clProgram.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(clLines.size() > 20);
    const QRegularExpression clParagraph(QStringLiteral("^\\.(TP|PP)"), QRegularExpression::MultilineOption);
    for (const QString& strLine : clLines) {
        const QStringList clFields = strLine.split(QLatin1Char('\t'));
        const QString strKey = QRegularExpression::escape(clFields.at(0));
        QVERIFY2(strPage.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(strKey))),
            qPrintable(strLine));
        // A setting's entry: its ".B" line and the text up to the next paragraph.
        const QRegularExpressionMatch clEntry = QRegularExpression(
            QStringLiteral("^\\.TP\\n\\.BR? .*\\b%1\\b.*$").arg(strKey), QRegularExpression::MultilineOption)
                                                    .match(strPage);
        const QString strEntry = strPage.mid(clEntry.capturedEnd(),
            strPage.indexOf(clParagraph, clEntry.capturedEnd()) - clEntry.capturedEnd());
        const QString strKind = clFields.value(1);
        QStringList clExpected;
        if (strKind == QLatin1String("choice"))
            clExpected = clFields.mid(2);
        else if (strKind == QLatin1String("number"))
            clExpected.append(QStringLiteral("from %1 to %2").arg(clFields.value(2), clFields.value(3)));
        for (const QString& strValue : qAsConst(clExpected))
            QVERIFY2(clEntry.hasMatch() && strEntry.contains(strValue),
                qPrintable(clFields.at(0) + QLatin1Char('=') + strValue + QStringLiteral(" in:") + strEntry));
    }
}

QTEST_GUILESS_MAIN(TestKd4Ctl)
#include "tst_kd4ctl.moc"
