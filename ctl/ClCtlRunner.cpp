#include "ctl/ClCtlRunner.h"

#include "camera/ClCameraAddress.h"
#include "camera/ClCommands.h"
#include "camera/ClCurlLibrary.h"
#include "camera/ClKD4CgiWorker.h"
#include "camera/ZK_CMD.h"
#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"
#include "config/kd4_config.h"
#include "ctl/ClCtlQuit.h"
#include "ctl/ClCtlSession.h"
#include "ctl/ClServeServer.h"
#include "ctl/CtlExit.h"
#include "platform/ClPlatform.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>

#include <csignal>
#include <cstdio>

namespace {

using ZkVocabulary::CLOCK_FORMAT;
const QString UNKNOWN = QStringLiteral("unknown");

QString signalName(int iSignal)
{
    if (iSignal == SIGINT)
        return QStringLiteral("SIGINT");
    if (iSignal == SIGTERM)
        return QStringLiteral("SIGTERM");
#ifdef SIGHUP
    if (iSignal == SIGHUP)
        return QStringLiteral("SIGHUP");
#endif
    return QStringLiteral("signal %1").arg(iSignal);
}

} // namespace

ClCtlRunner::ClCtlRunner() = default;

ClCtlRunner::~ClCtlRunner() = default;

int ClCtlRunner::run(const QStringList& clArguments)
{
    const int iCode = runCommand(clArguments);
    // Output lost on the way fails the run, whatever else came of it.
    return iCode == CtlExit::DONE && clOutput.failed() ? CtlExit::USAGE : iCode;
}

int ClCtlRunner::runCommand(const QStringList& clArguments)
{
    if (!clOptions.parse(clArguments)) {
        clOutput.printError(clOptions.strError + QStringLiteral("; see kd4ctl --help"));
        return CtlExit::USAGE;
    }
    if (clOptions.bHelp) {
        clOutput.printText(ClCtlOptions::usage());
        return CtlExit::DONE;
    }
    if (clOptions.bVersion) {
        clOutput.printLine(QStringLiteral("kd4ctl ") + QLatin1String(Kd4Config::VERSION_TEXT));
        return CtlExit::DONE;
    }
    if (clOptions.bListKeys) {
        clOutput.listKeys();
        return CtlExit::DONE;
    }

    // Nothing is sent before everything the command line names has been checked.
    if (!clPlan.check(clOptions)) {
        for (const QString& strMessage : qAsConst(clPlan.clMessages))
            clOutput.printError(strMessage);
        return clPlan.iExit;
    }
    if (!checkProgramNotRunning())
        return CtlExit::PROGRAM_RUNNING;
    if (!ClCurlLibrary::load()) {
        clOutput.printError(QStringLiteral("the HTTP library %1 could not be loaded")
                                .arg(QLatin1String(ClCurlLibrary::defaultFileName())));
        return CtlExit::TRANSPORT;
    }
    // Still before the handlers: until they are installed a signal ends the run at once, also
    // while a FIFO waits for its reader.
    if (!prepare())
        return iExit;

    ClCtlQuit::install();
    pclSession = std::make_shared<ClCtlSession>(
        clOptions.strCamera.isEmpty() ? ClCameraAddress::current() : clOptions.strCamera);
    // A second signal does not wait for a camera that does not answer: the closing message goes
    // out beside the step in progress, with a short limit, and the run ends.
    ClCtlQuit::onSecondSignal([pclOpen = pclSession] {
        const QByteArray clStopped = signalName(ClCtlQuit::signal()).toLocal8Bit();
        const bool bClosed = pclOpen->closeNow();
        std::fprintf(stderr, "kd4ctl: stopped by %s again: %s\n", clStopped.constData(),
            bClosed ? "the session was closed at once" : "the camera did not take the closing message");
        std::fflush(stderr);
    });
    clToApply = clPlan.clKeys;
    if (step(QStringLiteral("opening the session"), CMD_START_SESSION)) {
        const bool bDone = !signalled() && work();
        if (clPlan.bAppliesKeys && (!bDone || ClCtlQuit::signal() != 0))
            reportUnapplied();
        step(QStringLiteral("closing the session"), CMD_STOP_SESSION);
    }
    if (signalled())
        return CtlExit::SIGNALLED + ClCtlQuit::signal();
    return iExit;
}

bool ClCtlRunner::checkProgramNotRunning()
{
    // Only probed: holding the lock for the whole run would make kd4tool, started meanwhile, say
    // that it is already running, and a second kd4ctl that kd4tool runs.
    qintptr llHandle = 0;
    switch (ClPlatform::acquireInstanceLock(QLatin1String(Kd4Config::SETTINGS_APPLICATION), &llHandle)) {
    case ClPlatform::LockTaken:
        ClPlatform::releaseInstanceLock(llHandle);
        return true;
    case ClPlatform::LockHeldByThisUser:
    case ClPlatform::LockHeldByOtherUser:
        if (clOptions.bForce) {
            clOutput.printError(
                QStringLiteral("kd4tool is running; going ahead as --force says, so it loses its camera "
                               "session"));
            return true;
        }
        clOutput.printError(
            QStringLiteral("kd4tool is running, and a second client would take over its camera session; "
                           "close it, or give --force to go ahead anyway"));
        return false;
    default:
        clOutput.printError(QStringLiteral("could not check whether kd4tool is running; going ahead"));
        return true;
    }
}

bool ClCtlRunner::prepare()
{
    if (clPlan.eCommand == ClCtlPlan::Command::Serve)
        return prepareServe();
    if (clPlan.eCommand != ClCtlPlan::Command::Stream)
        return true;
    QString strError;
    if (clOutput.openRaw(clPlan.strStreamPath, strError))
        return true;
    fail(CtlExit::USAGE, strError);
    return false;
}

bool ClCtlRunner::work()
{
    switch (clPlan.eCommand) {
    case ClCtlPlan::Command::Status:
        return workStatus();
    case ClCtlPlan::Command::Get:
        return workGet();
    case ClCtlPlan::Command::Set:
        return workSet();
    case ClCtlPlan::Command::SyncTime:
        return workSyncTime();
    case ClCtlPlan::Command::Format:
        return workFormat();
    case ClCtlPlan::Command::Snapshot:
        return workSnapshot();
    case ClCtlPlan::Command::Stream:
        return workStream();
    case ClCtlPlan::Command::Serve:
        return workServe();
    case ClCtlPlan::Command::Save:
        return workSave();
    case ClCtlPlan::Command::Apply:
        return workApply();
    }
    return false;
}

bool ClCtlRunner::workStatus()
{
    QMap<QString, QString> clSettings;
    if (!readSettings(clSettings))
        return false;
    const QString strRecording = clSettings.value(ZkSetting::APP_STATUS);
    const QList<QPair<QString, QString>> clLines = {
        { QStringLiteral("session"), QStringLiteral("opened") },
        { QStringLiteral("firmware"), clSettings.value(ZkSetting::GET_VERSION, UNKNOWN) },
        { QStringLiteral("battery"), clSettings.value(ZkSetting::BATTERY, UNKNOWN) },
        { QStringLiteral("mains_adapter"), clSettings.value(ZkSetting::GET_AC_CONNECTION, UNKNOWN) },
        { QStringLiteral("recording"),
            strRecording.isEmpty()                ? UNKNOWN
                : strRecording == ZkValue::RECORD ? QStringLiteral("yes")
                                                  : QStringLiteral("no") },
        { ZkSetting::VIDEO_RESOLUTION, clSettings.value(ZkSetting::VIDEO_RESOLUTION, UNKNOWN) },
    };
    QJsonObject clObject;
    for (const auto& clLine : clLines) {
        if (clOptions.bJson)
            clObject.insert(clLine.first, clLine.second);
        else
            clOutput.printLine(clLine.first + QStringLiteral(": ") + clLine.second);
    }
    if (clOptions.bJson)
        clOutput.printJson(clObject);
    return true;
}

bool ClCtlRunner::workGet()
{
    QMap<QString, QString> clSettings;
    if (!readSettings(clSettings))
        return false;
    const QStringList clKeys = clOptions.clArgs.isEmpty() ? clSettings.keys() : clOptions.clArgs;
    QJsonObject clObject;
    for (const QString& strKey : clKeys) {
        if (!clSettings.contains(strKey)) {
            fail(CtlExit::TRANSPORT, QStringLiteral("the camera's settings lack %1").arg(strKey));
            continue;
        }
        if (clOptions.bJson)
            clObject.insert(strKey, clSettings.value(strKey));
        else
            clOutput.printLine(strKey + QLatin1Char('=') + clSettings.value(strKey));
    }
    if (clOptions.bJson)
        clOutput.printJson(clObject);
    return true;
}

bool ClCtlRunner::workSet()
{
    QMap<QString, QString> clSettings;
    if (!readSettings(clSettings) || refusedWhileRecording(clSettings))
        return false;
    for (const auto& clItem : qAsConst(clToApply)) {
        if (signalled() || !setKey(clItem.first, clItem.second))
            return false;
    }
    return true;
}

bool ClCtlRunner::workSyncTime()
{
    // As the program does at connecting: the computer's local time.
    const QString strNow = QDateTime::currentDateTime().toString(CLOCK_FORMAT);
    clToApply = { qMakePair(ZkSetting::CAMERA_CLOCK, strNow) };
    if (!setKey(ZkSetting::CAMERA_CLOCK, strNow))
        return false;
    if (clOptions.bJson)
        clOutput.printJson(QJsonObject { { ZkSetting::CAMERA_CLOCK, strNow } });
    else
        clOutput.printLine(ZkSetting::CAMERA_CLOCK + QLatin1Char('=') + strNow);
    return true;
}

bool ClCtlRunner::workFormat()
{
    return step(QStringLiteral("formatting the card"), CMD_FORMAT);
}

bool ClCtlRunner::workSnapshot()
{
    return withViewFinder([this](const QString& strUrl) {
        QByteArray clFrame;
        QString strError;
        if (!pclSession->fetchFrame(strUrl, clFrame, strError)) {
            fail(CtlExit::TRANSPORT, QStringLiteral("fetching a frame failed: %1").arg(strError));
            return false;
        }
        if (clFrame.isEmpty()) {
            fail(CtlExit::TRANSPORT,
                QStringLiteral("fetching a frame failed: the camera sent an empty frame"));
            return false;
        }
        return writeFile(clOptions.clArgs.value(0), clFrame);
    });
}

bool ClCtlRunner::workStream()
{
    const bool bStreamed = withViewFinder([this](const QString& strUrl) { return streamFrames(strUrl); });
    QString strError;
    if (clOutput.closeRaw(strError))
        return bStreamed;
    fail(CtlExit::USAGE, strError);
    return false;
}

bool ClCtlRunner::withViewFinder(const std::function<bool(const QString& strUrl)>& fnWork)
{
    QVariant clUrl;
    const bool bDone = step(QStringLiteral("starting the view finder"), CMD_START_LIVE, ZkValue::STREAM_MJPG,
                           QVariant(), &clUrl)
        && !signalled() && fnWork(clUrl.toString());
    // Whatever came of it, the view finder does not stay on.
    const bool bStopped = step(QStringLiteral("stopping the view finder"), CMD_STOP_LIVE);
    return bDone && bStopped;
}

bool ClCtlRunner::streamFrames(const QString& strUrl)
{
    QElapsedTimer clClock;
    clClock.start();
    for (int iFrames = 0;;) {
        if (signalled())
            return false;
        if ((clPlan.iStreamFrames > 0 && iFrames >= clPlan.iStreamFrames)
            || (clPlan.llStreamMs > 0 && clClock.elapsed() >= clPlan.llStreamMs))
            return true;
        QByteArray clFrame;
        QString strError;
        if (!pclSession->fetchFrame(strUrl, clFrame, strError)) {
            fail(CtlExit::TRANSPORT, QStringLiteral("fetching a frame failed: %1").arg(strError));
            return false;
        }
        // A body that is no JPEG (none at all, or noise) is no frame of the stream, as the live
        // view shows none for it; it would only throw a player reading the stream off.
        if (!clFrame.startsWith("\xff\xd8"))
            continue;
        switch (clOutput.writeRaw(clFrame, strError)) {
        case ClCtlOutput::Written::Done:
            ++iFrames;
            break;
        case ClCtlOutput::Written::Closed:
            return true; // the reader has all it wanted
        case ClCtlOutput::Written::Failed:
            fail(CtlExit::USAGE, strError);
            return false;
        }
    }
}

bool ClCtlRunner::prepareServe()
{
    pclServer = std::make_unique<ClServeServer>(clPlan.strServeToken.toLatin1());
    if (pclServer->listen(QHostAddress(clPlan.strServeHost), quint16(clPlan.iServePort)))
        return true;
    fail(CtlExit::USAGE,
        QStringLiteral("cannot listen on %1:%2: %3")
            .arg(clPlan.strServeHost)
            .arg(clPlan.iServePort)
            .arg(pclServer->errorString()));
    return false;
}

bool ClCtlRunner::workServe()
{
    clOutput.printLine(QStringLiteral("serving %1 (live.mjpg, snapshot.jpg, status.json) until Ctrl+C")
                           .arg(pclServer->url()));
    const QString strError = pclServer->serve(
        *pclSession, [this] { return signalled(); },
        [this](const QString& strMessage) { clOutput.printError(strMessage); });
    if (strError.isEmpty())
        return true;
    fail(CtlExit::TRANSPORT, strError);
    return false;
}

bool ClCtlRunner::workSave()
{
    QMap<QString, QString> clSettings;
    if (!readSettings(clSettings))
        return false;
    QJsonObject clObject;
    for (const QString& strKey : ClCtlPlan::storedKeys()) {
        if (clSettings.contains(strKey))
            clObject.insert(strKey, clSettings.value(strKey));
    }
    return writeFile(clOptions.clArgs.value(0), QJsonDocument(clObject).toJson(QJsonDocument::Indented));
}

bool ClCtlRunner::workApply()
{
    QJsonObject clChanges;
    const bool bDone = applyFile(clChanges);
    if (clOptions.bJson)
        clOutput.printJson(clChanges);
    return bDone;
}

bool ClCtlRunner::applyFile(QJsonObject& clChanges)
{
    QMap<QString, QString> clCamera;
    if (!readSettings(clCamera) || refusedWhileRecording(clCamera))
        return false;

    // A new resolution can change other settings on the camera: it goes first, and the others are
    // compared with what the camera has after it.
    const QString strResolution = ZkSetting::VIDEO_RESOLUTION;
    const bool bResolution = clPlan.clFileValues.contains(strResolution)
        && clCamera.value(strResolution, UNKNOWN) != clPlan.clFileValues.value(strResolution);
    const auto planRest = [&] {
        clToApply.clear();
        if (bResolution)
            clToApply.append(qMakePair(strResolution, clPlan.clFileValues.value(strResolution)));
        for (const QString& strKey : ClCtlPlan::storedKeys()) {
            if (strKey != strResolution && clPlan.clFileValues.contains(strKey)
                && (!clCamera.contains(strKey)
                    || clCamera.value(strKey) != clPlan.clFileValues.value(strKey)))
                clToApply.append(qMakePair(strKey, clPlan.clFileValues.value(strKey)));
        }
    };
    planRest();

    for (int i = 0; i < clToApply.size(); ++i) {
        const QString strKey = clToApply.at(i).first;
        const QString strValue = clToApply.at(i).second;
        const QString strOld = clCamera.value(strKey, QStringLiteral("(none)"));
        if (signalled() || !setKey(strKey, strValue))
            return false;
        if (clOptions.bJson)
            clChanges.insert(strKey,
                QJsonObject { { QStringLiteral("from"), strOld }, { QStringLiteral("to"), strValue } });
        else
            clOutput.printLine(QStringLiteral("%1: %2 -> %3").arg(strKey, strOld, strValue));
        if (strKey == strResolution) {
            if (signalled() || !readSettings(clCamera))
                return false;
            planRest();
        }
    }
    return true;
}

bool ClCtlRunner::step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam1,
    const QVariant& clParam2, QVariant* pclResult)
{
    ZK_CMD clAnswer;
    const int iError = pclSession->run(clCommand, clParam1, clParam2, &clAnswer);
    iLastError = iError;
    if (pclResult)
        *pclResult = clAnswer.value(ZkKey::PARAM1);
    if (iError == 0)
        return true;
    fail(ClCtlSession::exitCode(iError),
        QStringLiteral("%1 failed: %2").arg(strWhat, pclSession->reason(iError)));
    return false;
}

bool ClCtlRunner::readSettings(QMap<QString, QString>& clSettings)
{
    const int iError = pclSession->readSettings(clSettings);
    if (iError == 0)
        return true;
    fail(ClCtlSession::exitCode(iError),
        QStringLiteral("reading the settings failed: %1").arg(pclSession->reason(iError)));
    return false;
}

bool ClCtlRunner::setKey(const QString& strKey, const QString& strValue)
{
    // Typed as the settings pages send it; the worker writes it back as the same text.
    if (!step(QStringLiteral("setting %1=%2").arg(strKey, strValue), CMD_SET_SETTING, strKey,
            ClKD4CgiWorker::fromWireValue(strKey, strValue))) {
        // Sent more than once without an answer, it may have been taken all the same: the camera's
        // own value says whether it was applied.
        QMap<QString, QString> clSettings;
        if (iLastError == ZkError::Timeout && !signalled() && pclSession->readSettings(clSettings) == 0
            && clSettings.value(strKey) == strValue) {
            clOutput.printError(QStringLiteral("the camera has %1=%2 all the same").arg(strKey, strValue));
            clApplied.append(strKey);
        }
        return false;
    }
    clApplied.append(strKey);
    return true;
}

bool ClCtlRunner::refusedWhileRecording(const QMap<QString, QString>& clSettings)
{
    if (clOptions.bForce || clSettings.value(ZkSetting::APP_STATUS) != ZkValue::RECORD)
        return false;
    fail(CtlExit::REFUSED,
        QStringLiteral("the camera is recording, and a changed setting could break the recording; stop it, "
                       "or give --force to go ahead anyway"));
    return true;
}

bool ClCtlRunner::signalled()
{
    const int iSignal = ClCtlQuit::signal();
    if (iSignal != 0 && !bSignalReported) {
        bSignalReported = true;
        clOutput.printError(QStringLiteral("stopped by %1").arg(signalName(iSignal)));
    }
    return iSignal != 0;
}

void ClCtlRunner::reportUnapplied()
{
    clOutput.printError(clApplied.isEmpty()
            ? QStringLiteral("nothing was applied")
            : QStringLiteral("applied: %1").arg(ClCtlOutput::keysText(clApplied)));
    QStringList clLeft;
    for (int i = clApplied.size(); i < clToApply.size(); ++i)
        clLeft.append(clToApply.at(i).first);
    if (!clLeft.isEmpty())
        clOutput.printError(QStringLiteral("not applied: %1").arg(ClCtlOutput::keysText(clLeft)));
}

bool ClCtlRunner::writeFile(const QString& strPath, const QByteArray& clData)
{
    QString strError;
    if (clOutput.writeFile(strPath, clData, strError))
        return true;
    fail(CtlExit::USAGE, strError);
    return false;
}

void ClCtlRunner::fail(int iCode, const QString& strMessage)
{
    clOutput.printError(strMessage);
    if (iExit == CtlExit::DONE)
        iExit = iCode;
}
