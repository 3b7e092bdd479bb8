#include "ctl/ClCtlOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

bool ClCtlOptions::parse(const QStringList& clArguments)
{
    QCommandLineParser clParser;
    const QCommandLineOption clCamera(QStringLiteral("camera"), QString(), QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption clJson(QStringLiteral("json"));
    const QCommandLineOption clForce(QStringLiteral("force"));
    const QCommandLineOption clYes(QStringLiteral("yes"));
    const QCommandLineOption clHelp(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption clVersion(QStringLiteral("version"));
    const QCommandLineOption clListKeys(QStringLiteral("list-keys"));
    const QCommandLineOption clOutput(
        QStringList { QStringLiteral("o"), QStringLiteral("output") }, QString(), QStringLiteral("FILE"));
    const QCommandLineOption clFrames(QStringLiteral("frames"), QString(), QStringLiteral("N"));
    const QCommandLineOption clSeconds(QStringLiteral("seconds"), QString(), QStringLiteral("S"));
    const QCommandLineOption clListen(QStringLiteral("listen"), QString(), QStringLiteral("ADDR:PORT"));
    const QCommandLineOption clToken(QStringLiteral("token"), QString(), QStringLiteral("T"));
    clParser.addOptions(
        { clCamera, clJson, clForce, clYes, clHelp, clVersion, clListKeys, clOutput, clFrames, clSeconds });
    clParser.addOptions({ clListen, clToken });
    if (!clParser.parse(clArguments)) {
        strError = clParser.errorText();
        // The parser ends its sentence; the program's own hint follows it.
        if (strError.endsWith(QLatin1Char('.')))
            strError.chop(1);
        return false;
    }

    bHelp = clParser.isSet(clHelp);
    bVersion = clParser.isSet(clVersion);
    bListKeys = clParser.isSet(clListKeys);
    bJson = clParser.isSet(clJson);
    bForce = clParser.isSet(clForce);
    bYes = clParser.isSet(clYes);
    strCamera = clParser.value(clCamera);
    strOutput = clParser.value(clOutput);
    strFrames = clParser.value(clFrames);
    strSeconds = clParser.value(clSeconds);
    strListen = clParser.value(clListen);
    strToken = clParser.value(clToken);
    clArgs = clParser.positionalArguments();
    if (!clArgs.isEmpty())
        strCommand = clArgs.takeFirst();
    if (bHelp || bVersion || bListKeys)
        return true;

    // A host name or IPv4 address, or an IPv6 address in brackets, and an optional port; from the
    // command line or, without --camera, from the environment, never a URL or a path.
    const QByteArray clEnvironment = qgetenv("KD4TOOL_CAMERA_ADDRESS").trimmed();
    const bool bFromOption = clParser.isSet(clCamera);
    if (bFromOption || !clEnvironment.isEmpty()) {
        static const QRegularExpression clAddress(
            QStringLiteral("^([A-Za-z0-9._-]+|\\[[0-9A-Fa-f:.]+\\])(:([0-9]{1,5}))?$"));
        const QString strAddress = bFromOption ? strCamera : QString::fromUtf8(clEnvironment);
        const QRegularExpressionMatch clMatch = clAddress.match(strAddress);
        const int iPort = clMatch.captured(3).toInt();
        const bool bPortOk = clMatch.captured(3).isEmpty() || (iPort >= 1 && iPort <= 65535);
        if (!clMatch.hasMatch() || !bPortOk) {
            strError = QStringLiteral("%1 takes HOST or HOST:PORT, not '%2'")
                           .arg(bFromOption ? QStringLiteral("--camera")
                                            : QStringLiteral("KD4TOOL_CAMERA_ADDRESS"),
                               strAddress);
            return false;
        }
    }
    if (strCommand.isEmpty()) {
        strError = QStringLiteral("no command given");
        return false;
    }
    if (bYes && strCommand != QLatin1String("format")) {
        strError = QStringLiteral("--yes belongs to the format command only");
        return false;
    }
    for (const QCommandLineOption* pclOption : { &clOutput, &clFrames, &clSeconds }) {
        if (!clParser.isSet(*pclOption))
            continue;
        const QString strName = QStringLiteral("--") + pclOption->names().constLast();
        if (strCommand != QLatin1String("stream"))
            strError = QStringLiteral("%1 belongs to the stream command only").arg(strName);
        else if (clParser.value(*pclOption).isEmpty())
            strError = QStringLiteral("%1 takes a value, not an empty text").arg(strName);
        else
            continue;
        return false;
    }
    for (const QCommandLineOption* pclOption : { &clListen, &clToken }) {
        if (!clParser.isSet(*pclOption))
            continue;
        const QString strName = QStringLiteral("--") + pclOption->names().constLast();
        if (strCommand != QLatin1String("serve"))
            strError = QStringLiteral("%1 belongs to the serve command only").arg(strName);
        else if (clParser.value(*pclOption).isEmpty())
            strError = QStringLiteral("%1 takes a value, not an empty text").arg(strName);
        else
            continue;
        return false;
    }
    return true;
}

QString ClCtlOptions::usage()
{
    return QStringLiteral(
        "Usage: kd4ctl [--camera HOST[:PORT]] [--json] [--force] COMMAND [ARGS]\n"
        "\n"
        "Commands:\n"
        "  status              session, firmware, battery, mains adapter, recording, resolution\n"
        "  get [KEY...]        all settings, or the named ones, as KEY=VALUE lines\n"
        "  set KEY=VALUE...    change settings, one after the other in the order given\n"
        "  sync-time           set the camera's clock to this computer's time\n"
        "  format --yes        format the camera's card\n"
        "  snapshot FILE.jpg   save one live frame as the camera sent it (-: standard output)\n"
        "  stream [-o FILE|-] [--frames N] [--seconds S]\n"
        "                      write the live frames as they come, as MJPEG (JPEGs one after\n"
        "                      the other), to FILE or standard output, until Ctrl+C, N frames\n"
        "                      or S seconds\n"
        "  serve [--listen ADDR:PORT] [--token T]\n"
        "                      share the live picture over HTTP with any number of viewers\n"
        "                      (http://127.0.0.1:8554/live.mjpg by default), until Ctrl+C\n"
        "  save FILE.json      save the camera's settings (-: standard output)\n"
        "  apply FILE.json     set the saved settings that differ from the camera's\n"
        "                      (-: standard input)\n"
        "\n"
        "Options:\n"
        "  --camera HOST[:PORT]  the camera's address (default: KD4TOOL_CAMERA_ADDRESS, else\n"
        "                        the camera's own 192.168.42.1)\n"
        "  --json                print one JSON object instead of lines\n"
        "  --force               go ahead although kd4tool is running, or set and apply\n"
        "                        although the camera records\n"
        "  -o, --output FILE     stream: where the frames go; - (the default) is standard output\n"
        "  --frames N            stream: end after N frames\n"
        "  --seconds S           stream: end after S seconds (e.g. 10 or 2.5)\n"
        "  --listen ADDR:PORT    serve: where viewers connect (default 127.0.0.1:8554; port 0\n"
        "                        takes a free one); another address than 127.0.0.1 needs --token\n"
        "  --token T             serve: every request must carry ?token=T or the header\n"
        "                        Authorization: Bearer T\n"
        "  --list-keys           print the settings kd4ctl knows with their values, and end\n"
        "  -h, --help            print this help, and end\n"
        "  --version             print the version, and end\n"
        "\n"
        "Exit codes: 0 done; 1 usage error, or output that could not be written; 2 camera\n"
        "unreachable or transport failure; 3 the camera refused, or records while set or apply\n"
        "would change it; 4 kd4tool is running; 128+N when ended by signal N.\n");
}
