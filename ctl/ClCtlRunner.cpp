#include "ctl/ClCtlRunner.h"

#include "camera/ClCameraAddress.h"
#include "camera/ClCommands.h"
#include "camera/ClCurlLibrary.h"
#include "camera/ClKD4CgiWorker.h"
#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"
#include "config/kd4_config.h"
#include "ctl/ClCtlQuit.h"
#include "ctl/ClCtlSession.h"
#include "ctl/CtlExit.h"
#include "platform/ClPlatform.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSaveFile>

#include <csignal>
#include <cstdio>

namespace {

using ZkVocabulary::Kind;
using ZkVocabulary::stSetting;

using ZkVocabulary::CLOCK_FORMAT;
const QString UNKNOWN = QStringLiteral("unknown");

// The keys set takes: every setting of the pages but the actions.
QStringList settableKeys()
{
    QStringList clKeys;
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        if (clSetting.eKind != Kind::Action)
            clKeys.append(clSetting.strKey);
    }
    return clKeys;
}

// The keys get takes: the settings and what the camera reports of its state.
QStringList readableKeys()
{
    return settableKeys() + ZkVocabulary::reportedOnlyKeys();
}

// The camera's set-up, as save writes it and apply reads it, in the pages' order.
QStringList storedKeys()
{
    QStringList clKeys;
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        if (ZkVocabulary::isStored(clSetting))
            clKeys.append(clSetting.strKey);
    }
    return clKeys;
}

QString signalName(int iSignal)
{
    if (iSignal == SIGINT)
        return QStringLiteral("SIGINT");
    if (iSignal == SIGTERM)
        return QStringLiteral("SIGTERM");
    return QStringLiteral("signal %1").arg(iSignal);
}

QString keysText(const QStringList& clKeys)
{
    return clKeys.join(QStringLiteral(", "));
}

} // namespace

const ClCtlRunner::stCommand ClCtlRunner::COMMANDS[] = {
    { "status", 0, 0, &ClCtlRunner::checkNothing, &ClCtlRunner::workStatus, false },
    { "get", 0, -1, &ClCtlRunner::checkGet, &ClCtlRunner::workGet, false },
    { "set", 1, -1, &ClCtlRunner::checkSet, &ClCtlRunner::workSet, true },
    { "sync-time", 0, 0, &ClCtlRunner::checkNothing, &ClCtlRunner::workSyncTime, true },
    { "format", 0, 0, &ClCtlRunner::checkFormat, &ClCtlRunner::workFormat, false },
    { "snapshot", 1, 1, &ClCtlRunner::checkOutputFile, &ClCtlRunner::workSnapshot, false },
    { "save", 1, 1, &ClCtlRunner::checkOutputFile, &ClCtlRunner::workSave, false },
    { "apply", 1, 1, &ClCtlRunner::checkApply, &ClCtlRunner::workApply, true },
};

ClCtlRunner::ClCtlRunner() = default;

ClCtlRunner::~ClCtlRunner() = default;

int ClCtlRunner::run(const QStringList& clArguments)
{
    if (!clOptions.parse(clArguments)) {
        printError(clOptions.strError + QStringLiteral("; see kd4ctl --help"));
        return CtlExit::USAGE;
    }
    if (clOptions.bHelp) {
        std::fputs(ClCtlOptions::usage().toUtf8().constData(), stdout);
        return CtlExit::DONE;
    }
    if (clOptions.bVersion) {
        printLine(QStringLiteral("kd4ctl ") + QLatin1String(Kd4Config::VERSION_TEXT));
        return CtlExit::DONE;
    }
    if (clOptions.bListKeys) {
        listKeys();
        return CtlExit::DONE;
    }

    const stCommand* pclCommand = nullptr;
    QStringList clNames;
    for (const stCommand& clCommand : COMMANDS) {
        clNames.append(QLatin1String(clCommand.pcName));
        if (clOptions.strCommand == QLatin1String(clCommand.pcName))
            pclCommand = &clCommand;
    }
    if (!pclCommand) {
        printError(QStringLiteral("unknown command '%1'; commands: %2")
                       .arg(clOptions.strCommand, keysText(clNames)));
        return CtlExit::USAGE;
    }
    const int iArgs = clOptions.clArgs.size();
    if (iArgs < pclCommand->iMinArgs || (pclCommand->iMaxArgs >= 0 && iArgs > pclCommand->iMaxArgs)) {
        printError(QStringLiteral("%1 takes %2 argument(s), not %3; see kd4ctl --help")
                       .arg(clOptions.strCommand,
                           pclCommand->iMinArgs == pclCommand->iMaxArgs
                               ? QString::number(pclCommand->iMinArgs)
                               : QStringLiteral("at least %1").arg(pclCommand->iMinArgs))
                       .arg(iArgs));
        return CtlExit::USAGE;
    }

    // Nothing is sent before everything the command line names has been checked.
    if (!(this->*pclCommand->pfnCheck)())
        return CtlExit::USAGE;
    if (!checkProgramNotRunning())
        return CtlExit::PROGRAM_RUNNING;
    if (!ClCurlLibrary::load()) {
        printError(QStringLiteral("the HTTP library %1 could not be loaded")
                       .arg(QLatin1String(ClCurlLibrary::defaultFileName())));
        return CtlExit::TRANSPORT;
    }

    ClCtlQuit::install();
    pclSession = std::make_unique<ClCtlSession>(
        clOptions.strCamera.isEmpty() ? ClCameraAddress::current() : clOptions.strCamera);
    if (step(QStringLiteral("opening the session"), CMD_START_SESSION)) {
        const bool bDone = !signalled() && (this->*pclCommand->pfnWork)();
        if (pclCommand->bAppliesKeys && (!bDone || ClCtlQuit::signal() != 0))
            reportUnapplied();
        step(QStringLiteral("closing the session"), CMD_STOP_SESSION);
    }
    if (signalled())
        return CtlExit::SIGNALLED + ClCtlQuit::signal();
    return iExit;
}

bool ClCtlRunner::checkNothing()
{
    return true;
}

bool ClCtlRunner::checkGet()
{
    const QStringList clKnown = readableKeys();
    bool bOk = true;
    for (const QString& strKey : qAsConst(clOptions.clArgs)) {
        if (!clKnown.contains(strKey)) {
            printError(QStringLiteral("unknown key '%1'; keys: %2").arg(strKey, keysText(clKnown)));
            bOk = false;
        }
    }
    return bOk;
}

bool ClCtlRunner::checkSet()
{
    bool bOk = true;
    for (const QString& strArg : qAsConst(clOptions.clArgs)) {
        const int iEquals = strArg.indexOf(QLatin1Char('='));
        const QString strKey = strArg.left(iEquals);
        const QString strValue = strArg.mid(iEquals + 1);
        const stSetting* pclSetting = ZkVocabulary::find(strKey);
        if (iEquals < 0) {
            printError(QStringLiteral("'%1' is not KEY=VALUE").arg(strArg));
        } else if (!pclSetting || pclSetting->eKind == Kind::Action) {
            printError(
                QStringLiteral("unknown key '%1'; keys set takes: %2").arg(strKey, keysText(settableKeys())));
        } else if (!ZkVocabulary::accepts(*pclSetting, strValue)) {
            printError(QStringLiteral("'%1' is not a value of %2; allowed: %3")
                           .arg(strValue, strKey, ZkVocabulary::allowedText(*pclSetting)));
        } else {
            clPlan.append(qMakePair(strKey, strValue));
            continue;
        }
        bOk = false;
    }
    return bOk;
}

bool ClCtlRunner::checkFormat()
{
    if (clOptions.bYes)
        return true;
    printError(QStringLiteral("format erases every file on the camera's card; give --yes to go ahead"));
    return false;
}

bool ClCtlRunner::checkOutputFile()
{
    const QString strPath = clOptions.clArgs.value(0);
    const QFileInfo clFile(strPath);
    const QFileInfo clFolder(clFile.absolutePath());
    QString strProblem;
    if (clFile.isDir())
        strProblem = QStringLiteral("it is a folder");
    else if (!clFolder.isDir())
        strProblem = QStringLiteral("the folder %1 does not exist").arg(clFolder.filePath());
    else if (!clFolder.isWritable() || (clFile.exists() && !clFile.isWritable()))
        strProblem = QStringLiteral("permission denied");
    if (strProblem.isEmpty())
        return true;
    printError(QStringLiteral("cannot write %1: %2").arg(strPath, strProblem));
    return false;
}

bool ClCtlRunner::checkApply()
{
    const QString strPath = clOptions.clArgs.value(0);
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read %1: %2").arg(strPath, clFile.errorString()));
        return false;
    }
    QJsonParseError clError;
    const QJsonDocument clDocument = QJsonDocument::fromJson(clFile.readAll(), &clError);
    if (clError.error != QJsonParseError::NoError) {
        printError(QStringLiteral("%1 is no JSON: %2 at byte %3")
                       .arg(strPath, clError.errorString())
                       .arg(clError.offset));
        return false;
    }
    if (!clDocument.isObject()) {
        printError(QStringLiteral("%1 holds no JSON object of settings").arg(strPath));
        return false;
    }

    const QJsonObject clObject = clDocument.object();
    bool bOk = true;
    for (auto it = clObject.begin(); it != clObject.end(); ++it) {
        const QString strKey = it.key();
        const stSetting* pclSetting = ZkVocabulary::find(strKey);
        QString strValue = it.value().toString();
        // A number the way a person may write it in the file.
        if (pclSetting && pclSetting->eKind == Kind::Number && it.value().isDouble()
            && it.value().toDouble() == it.value().toInt())
            strValue = QString::number(it.value().toInt());
        if (!pclSetting || !ZkVocabulary::isStored(*pclSetting)) {
            printError(QStringLiteral("%1: '%2' is not a setting apply takes; keys: %3")
                           .arg(strPath, strKey, keysText(storedKeys())));
        } else if (!it.value().isString() && strValue.isEmpty()) {
            printError(QStringLiteral("%1: the value of %2 is not a text").arg(strPath, strKey));
        } else if (!ZkVocabulary::accepts(*pclSetting, strValue)) {
            printError(QStringLiteral("%1: '%2' is not a value of %3; allowed: %4")
                           .arg(strPath, strValue, strKey, ZkVocabulary::allowedText(*pclSetting)));
        } else {
            clFileValues.insert(strKey, strValue);
            continue;
        }
        bOk = false;
    }
    return bOk;
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
            printError(
                QStringLiteral("kd4tool is running; going ahead as --force says, so it loses its camera "
                               "session"));
            return true;
        }
        printError(
            QStringLiteral("kd4tool is running, and a second client would take over its camera session; "
                           "close it, or give --force to go ahead anyway"));
        return false;
    default:
        printError(QStringLiteral("could not check whether kd4tool is running; going ahead"));
        return true;
    }
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
            printLine(clLine.first + QStringLiteral(": ") + clLine.second);
    }
    if (clOptions.bJson)
        printJson(clObject);
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
            printLine(strKey + QLatin1Char('=') + clSettings.value(strKey));
    }
    if (clOptions.bJson)
        printJson(clObject);
    return true;
}

bool ClCtlRunner::workSet()
{
    for (const auto& clItem : qAsConst(clPlan)) {
        if (signalled() || !setKey(clItem.first, clItem.second))
            return false;
    }
    return true;
}

bool ClCtlRunner::workSyncTime()
{
    // As the program does at connecting: the computer's local time.
    const QString strNow = QDateTime::currentDateTime().toString(CLOCK_FORMAT);
    clPlan = { qMakePair(ZkSetting::CAMERA_CLOCK, strNow) };
    if (!setKey(ZkSetting::CAMERA_CLOCK, strNow))
        return false;
    if (clOptions.bJson)
        printJson(QJsonObject { { ZkSetting::CAMERA_CLOCK, strNow } });
    else
        printLine(ZkSetting::CAMERA_CLOCK + QLatin1Char('=') + strNow);
    return true;
}

bool ClCtlRunner::workFormat()
{
    return step(QStringLiteral("formatting the card"), CMD_FORMAT);
}

bool ClCtlRunner::workSnapshot()
{
    QVariant clUrl;
    bool bSaved = false;
    if (step(QStringLiteral("starting the view finder"), CMD_START_LIVE, ZkValue::STREAM_MJPG, QVariant(),
            &clUrl)
        && !signalled()) {
        QByteArray clFrame;
        QString strError;
        if (pclSession->fetchFrame(clUrl.toString(), clFrame, strError))
            bSaved = writeFile(clOptions.clArgs.value(0), clFrame);
        else
            fail(CtlExit::TRANSPORT, QStringLiteral("fetching a frame failed: %1").arg(strError));
    }
    // Whatever came of it, the view finder does not stay on.
    const bool bStopped = step(QStringLiteral("stopping the view finder"), CMD_STOP_LIVE);
    return bSaved && bStopped;
}

bool ClCtlRunner::workSave()
{
    QMap<QString, QString> clSettings;
    if (!readSettings(clSettings))
        return false;
    QJsonObject clObject;
    for (const QString& strKey : storedKeys()) {
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
        printJson(clChanges);
    return bDone;
}

bool ClCtlRunner::applyFile(QJsonObject& clChanges)
{
    QMap<QString, QString> clCamera;
    if (!readSettings(clCamera))
        return false;

    // A new resolution can change other settings on the camera: it goes first, and the others are
    // compared with what the camera has after it.
    const QString strResolution = ZkSetting::VIDEO_RESOLUTION;
    const bool bResolution = clFileValues.contains(strResolution)
        && clCamera.value(strResolution, UNKNOWN) != clFileValues.value(strResolution);
    const auto planRest = [&] {
        clPlan.clear();
        if (bResolution)
            clPlan.append(qMakePair(strResolution, clFileValues.value(strResolution)));
        for (const QString& strKey : storedKeys()) {
            if (strKey != strResolution && clFileValues.contains(strKey)
                && (!clCamera.contains(strKey) || clCamera.value(strKey) != clFileValues.value(strKey)))
                clPlan.append(qMakePair(strKey, clFileValues.value(strKey)));
        }
    };
    planRest();

    for (int i = 0; i < clPlan.size(); ++i) {
        const QString strKey = clPlan.at(i).first;
        const QString strValue = clPlan.at(i).second;
        const QString strOld = clCamera.value(strKey, QStringLiteral("(none)"));
        if (signalled() || !setKey(strKey, strValue))
            return false;
        if (clOptions.bJson)
            clChanges.insert(strKey,
                QJsonObject { { QStringLiteral("from"), strOld }, { QStringLiteral("to"), strValue } });
        else
            printLine(QStringLiteral("%1: %2 -> %3").arg(strKey, strOld, strValue));
        if (strKey == strResolution) {
            if (signalled() || !readSettings(clCamera))
                return false;
            planRest();
        }
    }
    return true;
}

void ClCtlRunner::listKeys()
{
    const QString strTab = QStringLiteral("\t");
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        QStringList clFields = { clSetting.strKey };
        switch (clSetting.eKind) {
        case Kind::Choice:
            clFields.append(QStringLiteral("choice"));
            for (const ZkVocabulary::stValue& clValue : clSetting.clValues)
                clFields.append(clValue.strWire);
            break;
        case Kind::Number:
            clFields << QStringLiteral("number") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Duration:
            clFields << QStringLiteral("duration") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Clock:
            clFields.append(QStringLiteral("clock"));
            break;
        case Kind::Action:
            continue; // the window's business
        }
        printLine(clFields.join(strTab));
    }
    for (const QString& strKey : ZkVocabulary::reportedOnlyKeys())
        printLine(strKey + strTab + QStringLiteral("read-only"));
}

bool ClCtlRunner::step(const QString& strWhat, const QUuid& clCommand, const QVariant& clParam1,
    const QVariant& clParam2, QVariant* pclResult)
{
    ZK_CMD clAnswer;
    const int iError = pclSession->run(clCommand, clParam1, clParam2, &clAnswer);
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
            ClKD4CgiWorker::fromWireValue(strKey, strValue)))
        return false;
    clApplied.append(strKey);
    return true;
}

bool ClCtlRunner::signalled()
{
    const int iSignal = ClCtlQuit::signal();
    if (iSignal != 0 && !bSignalReported) {
        bSignalReported = true;
        printError(QStringLiteral("stopped by %1").arg(signalName(iSignal)));
    }
    return iSignal != 0;
}

void ClCtlRunner::reportUnapplied()
{
    printError(clApplied.isEmpty() ? QStringLiteral("nothing was applied")
                                   : QStringLiteral("applied: %1").arg(keysText(clApplied)));
    QStringList clLeft;
    for (int i = clApplied.size(); i < clPlan.size(); ++i)
        clLeft.append(clPlan.at(i).first);
    if (!clLeft.isEmpty())
        printError(QStringLiteral("not applied: %1").arg(keysText(clLeft)));
}

bool ClCtlRunner::writeFile(const QString& strPath, const QByteArray& clData)
{
    QSaveFile clFile(strPath);
    if (clFile.open(QIODevice::WriteOnly) && clFile.write(clData) == clData.size() && clFile.commit())
        return true;
    fail(CtlExit::USAGE, QStringLiteral("cannot write %1: %2").arg(strPath, clFile.errorString()));
    return false;
}

void ClCtlRunner::fail(int iCode, const QString& strMessage)
{
    printError(strMessage);
    if (iExit == CtlExit::DONE)
        iExit = iCode;
}

void ClCtlRunner::printError(const QString& strMessage)
{
    std::fputs((QStringLiteral("kd4ctl: ") + strMessage + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void ClCtlRunner::printLine(const QString& strLine)
{
    std::fputs((strLine + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void ClCtlRunner::printJson(const QJsonObject& clObject)
{
    printLine(QString::fromUtf8(QJsonDocument(clObject).toJson(QJsonDocument::Compact)));
}
