#include "ctl/ClCtlPlan.h"

#include "camera/ZkVocabulary.h"
#include "ctl/ClCtlOutput.h"
#include "ctl/CtlExit.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

namespace {

using ZkVocabulary::Kind;
using ZkVocabulary::stSetting;

constexpr qint64 MAX_FILE_BYTES = 1 << 20;
constexpr int MAX_SHOWN_VALUE = 40;

} // namespace

const ClCtlPlan::stCommand ClCtlPlan::COMMANDS[] = {
    { "status", Command::Status, 0, 0, &ClCtlPlan::checkNothing, false },
    { "get", Command::Get, 0, -1, &ClCtlPlan::checkGet, false },
    { "set", Command::Set, 1, -1, &ClCtlPlan::checkSet, true },
    { "sync-time", Command::SyncTime, 0, 0, &ClCtlPlan::checkNothing, true },
    { "format", Command::Format, 0, 0, &ClCtlPlan::checkFormat, false },
    { "snapshot", Command::Snapshot, 1, 1, &ClCtlPlan::checkOutputFile, false },
    { "stream", Command::Stream, 0, 0, &ClCtlPlan::checkStream, false },
    { "serve", Command::Serve, 0, 0, &ClCtlPlan::checkServe, false },
    { "save", Command::Save, 1, 1, &ClCtlPlan::checkOutputFile, false },
    { "apply", Command::Apply, 1, 1, &ClCtlPlan::checkApply, true },
};

bool ClCtlPlan::check(const ClCtlOptions& clOptions)
{
    const stCommand* pclCommand = nullptr;
    QStringList clNames;
    for (const stCommand& clCommand : COMMANDS) {
        clNames.append(QLatin1String(clCommand.pcName));
        if (clOptions.strCommand == QLatin1String(clCommand.pcName))
            pclCommand = &clCommand;
    }
    if (!pclCommand) {
        refuse(QStringLiteral("unknown command '%1'; commands: %2")
                   .arg(clOptions.strCommand, ClCtlOutput::keysText(clNames)));
        return false;
    }
    const int iArgs = clOptions.clArgs.size();
    if (iArgs < pclCommand->iMinArgs || (pclCommand->iMaxArgs >= 0 && iArgs > pclCommand->iMaxArgs)) {
        refuse(QStringLiteral("%1 takes %2 argument(s), not %3; see kd4ctl --help")
                   .arg(clOptions.strCommand,
                       pclCommand->iMinArgs == pclCommand->iMaxArgs
                           ? QString::number(pclCommand->iMinArgs)
                           : QStringLiteral("at least %1").arg(pclCommand->iMinArgs))
                   .arg(iArgs));
        return false;
    }
    eCommand = pclCommand->eCommand;
    bAppliesKeys = pclCommand->bAppliesKeys;
    return (this->*pclCommand->pfnCheck)(clOptions);
}

QStringList ClCtlPlan::settableKeys()
{
    QStringList clKeys;
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        if (clSetting.eKind != Kind::Action)
            clKeys.append(clSetting.strKey);
    }
    return clKeys;
}

QStringList ClCtlPlan::readableKeys()
{
    return settableKeys() + ZkVocabulary::reportedOnlyKeys();
}

QStringList ClCtlPlan::storedKeys()
{
    QStringList clKeys;
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        if (ZkVocabulary::isStored(clSetting))
            clKeys.append(clSetting.strKey);
    }
    return clKeys;
}

bool ClCtlPlan::checkNothing(const ClCtlOptions&)
{
    return true;
}

bool ClCtlPlan::checkGet(const ClCtlOptions& clOptions)
{
    const QStringList clKnown = readableKeys();
    bool bOk = true;
    for (const QString& strKey : qAsConst(clOptions.clArgs)) {
        if (!clKnown.contains(strKey)) {
            refuse(QStringLiteral("unknown key '%1'; keys: %2").arg(strKey, ClCtlOutput::keysText(clKnown)));
            bOk = false;
        }
    }
    return bOk;
}

bool ClCtlPlan::checkSet(const ClCtlOptions& clOptions)
{
    bool bOk = true;
    for (const QString& strArg : qAsConst(clOptions.clArgs)) {
        const int iEquals = strArg.indexOf(QLatin1Char('='));
        const QString strKey = strArg.left(iEquals);
        const QString strValue = strArg.mid(iEquals + 1);
        const stSetting* pclSetting = ZkVocabulary::find(strKey);
        if (iEquals < 0) {
            refuse(QStringLiteral("'%1' is not KEY=VALUE").arg(strArg));
        } else if (!pclSetting || pclSetting->eKind == Kind::Action) {
            refuse(QStringLiteral("unknown key '%1'; keys set takes: %2")
                       .arg(strKey, ClCtlOutput::keysText(settableKeys())));
        } else if (!ZkVocabulary::accepts(*pclSetting, strValue)) {
            refuse(QStringLiteral("'%1' is not a value of %2; allowed: %3")
                       .arg(strValue, strKey, ZkVocabulary::allowedText(*pclSetting)));
        } else {
            clKeys.append(qMakePair(strKey, strValue));
            continue;
        }
        bOk = false;
    }
    return bOk;
}

bool ClCtlPlan::checkFormat(const ClCtlOptions& clOptions)
{
    if (clOptions.bYes)
        return true;
    refuse(QStringLiteral("format erases every file on the camera's card; give --yes to go ahead"));
    return false;
}

bool ClCtlPlan::checkOutputFile(const ClCtlOptions& clOptions)
{
    const QString strPath = clOptions.clArgs.value(0);
    return strPath == QLatin1String("-") || checkWritable(strPath, ClCtlOutput::writtenInPlace(strPath));
}

bool ClCtlPlan::checkStream(const ClCtlOptions& clOptions)
{
    bool bOk = true;
    if (!clOptions.strFrames.isEmpty()) {
        // Digits only: no sign, no blanks, and a count that fits.
        static const QRegularExpression clCount(QStringLiteral("^[0-9]{1,9}$"));
        iStreamFrames = clCount.match(clOptions.strFrames).hasMatch() ? clOptions.strFrames.toInt() : 0;
        if (iStreamFrames <= 0) {
            refuse(QStringLiteral("--frames takes a whole number of frames from 1 to 999999999, not '%1'")
                       .arg(clOptions.strFrames));
            bOk = false;
        }
    }
    if (!clOptions.strSeconds.isEmpty()) {
        static const QRegularExpression clTime(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,3})?$"));
        llStreamMs = clTime.match(clOptions.strSeconds).hasMatch()
            ? qRound64(clOptions.strSeconds.toDouble() * 1000)
            : 0;
        if (llStreamMs <= 0) {
            refuse(QStringLiteral("--seconds takes a number of seconds above 0 with up to three decimals, "
                                  "such as 10 or 2.5, not '%1'")
                       .arg(clOptions.strSeconds));
            bOk = false;
        }
    }
    if (!clOptions.strOutput.isEmpty() && clOptions.strOutput != QLatin1String("-")) {
        strStreamPath = clOptions.strOutput;
        bOk = checkWritable(strStreamPath, true) && bOk;
    }
    return bOk;
}

bool ClCtlPlan::checkWritable(const QString& strPath, bool bInPlace)
{
    const QFileInfo clFile(strPath);
    const QFileInfo clFolder(clFile.absolutePath());
    // A file replaced is a new file in the folder; one written in place only when it is not there.
    const bool bFolderTakesFile = !bInPlace || !clFile.exists();
    QString strProblem;
    if (clFile.isDir())
        strProblem = QStringLiteral("it is a folder");
    else if (!clFolder.isDir())
        strProblem = QStringLiteral("the folder %1 does not exist").arg(clFolder.filePath());
    else if ((clFile.exists() && !clFile.isWritable()) || (bFolderTakesFile && !clFolder.isWritable()))
        strProblem = QStringLiteral("permission denied");
    if (strProblem.isEmpty())
        return true;
    refuse(QStringLiteral("cannot write %1: %2").arg(strPath, strProblem));
    return false;
}

bool ClCtlPlan::checkServe(const ClCtlOptions& clOptions)
{
    bool bOk = true;
    if (!clOptions.strListen.isEmpty()) {
        // An IPv4 address, or an IPv6 address in brackets, and a port.
        static const QRegularExpression clListen(
            QStringLiteral("^(\\[([0-9A-Fa-f:.]+)\\]|([0-9.]+)):([0-9]{1,5})$"));
        const QRegularExpressionMatch clMatch = clListen.match(clOptions.strListen);
        const QHostAddress clAddress(clMatch.captured(2) + clMatch.captured(3));
        const int iPort = clMatch.captured(4).toInt();
        if (clMatch.hasMatch() && !clAddress.isNull() && iPort <= 65535) {
            strServeHost = clAddress.toString();
            iServePort = iPort;
        } else {
            refuse(QStringLiteral("--listen takes ADDR:PORT, an IP address ([ADDR] for IPv6) and a port "
                                  "(0: a free one), not '%1'")
                       .arg(clOptions.strListen));
            bOk = false;
        }
    }
    if (!clOptions.strToken.isEmpty()) {
        // It travels in URLs as it is.
        static const QRegularExpression clToken(QStringLiteral("^[A-Za-z0-9._~-]{1,256}$"));
        if (clToken.match(clOptions.strToken).hasMatch()) {
            strServeToken = clOptions.strToken;
        } else {
            refuse(QStringLiteral("--token takes 1 to 256 of the characters A-Z a-z 0-9 - . _ ~"));
            bOk = false;
        }
    }
    // 127.0.0.1 is never reached from another computer; any other address may be.
    if (bOk && strServeHost != QLatin1String("127.0.0.1") && strServeToken.isEmpty()) {
        refuse(QStringLiteral("serving on %1 needs --token T: only 127.0.0.1 is served without one")
                   .arg(strServeHost));
        bOk = false;
    }
    return bOk;
}

bool ClCtlPlan::checkApply(const ClCtlOptions& clOptions)
{
    const QString strPath = clOptions.clArgs.value(0);
    QFile clFile(strPath);
    const bool bOpened = strPath == QLatin1String("-") ? clFile.open(stdin, QIODevice::ReadOnly)
                                                       : clFile.open(QIODevice::ReadOnly);
    if (!bOpened) {
        refuse(QStringLiteral("cannot read %1: %2").arg(strPath, clFile.errorString()));
        return false;
    }
    // A set-up is a few kilobytes: anything much larger is no such file.
    const QByteArray clText = clFile.read(MAX_FILE_BYTES + 1);
    if (clText.size() > MAX_FILE_BYTES) {
        refuse(QStringLiteral("%1 is larger than %2 bytes: no file of settings")
                   .arg(strPath)
                   .arg(MAX_FILE_BYTES));
        return false;
    }
    QJsonParseError clError;
    const QJsonDocument clDocument = QJsonDocument::fromJson(clText, &clError);
    if (clError.error != QJsonParseError::NoError) {
        refuse(QStringLiteral("%1 is no JSON: %2 at byte %3")
                   .arg(strPath, clError.errorString())
                   .arg(clError.offset));
        return false;
    }
    if (!clDocument.isObject()) {
        refuse(QStringLiteral("%1 holds no JSON object of settings").arg(strPath));
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
            refuse(QStringLiteral("%1: '%2' is not a setting apply takes; keys: %3")
                       .arg(strPath, strKey, ClCtlOutput::keysText(storedKeys())));
        } else if (!it.value().isString() && strValue.isEmpty()) {
            refuse(QStringLiteral("%1: the value of %2 is not a text").arg(strPath, strKey));
        } else if (!ZkVocabulary::accepts(*pclSetting, strValue)) {
            // Only the start of a long value: the message stays one readable line.
            const QString strShown = strValue.size() > MAX_SHOWN_VALUE
                ? strValue.left(MAX_SHOWN_VALUE) + QStringLiteral("...")
                : strValue;
            refuse(QStringLiteral("%1: '%2' is not a value of %3; allowed: %4")
                       .arg(strPath, strShown, strKey, ZkVocabulary::allowedText(*pclSetting)));
        } else {
            clFileValues.insert(strKey, strValue);
            continue;
        }
        bOk = false;
    }
    return bOk;
}

void ClCtlPlan::refuse(const QString& strMessage)
{
    clMessages.append(strMessage);
    iExit = CtlExit::USAGE;
}
