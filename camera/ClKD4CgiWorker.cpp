#include "camera/ClKD4CgiWorker.h"

#include "camera/ClCommands.h"
#include "camera/ZkResolution.h"
#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"
#include "camera/raptor_service.h"

#include <QDateTime>

namespace {

using ZkVocabulary::CLOCK_FORMAT;

// A set or get-all message is sent again after a time-out, up to this many attempts in all.
constexpr int MAX_ATTEMPTS = 3;
// The camera needs a moment after a resolution change before it takes the stream settings.
constexpr unsigned long RESOLUTION_SETTLE_MS = 100;

std::string toWire(const QString& strText)
{
    return strText.toUtf8().toStdString();
}

QString fromWire(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

} // namespace

ClKD4CgiWorker::ClKD4CgiWorker(const QString& strAddress)
    : pclService(std::make_unique<raptor_service>(toWire(strAddress)))
{
}

ClKD4CgiWorker::~ClKD4CgiWorker()
{
    // The queue waits before it deletes the worker; this only guards other owners.
    wait();
}

bool ClKD4CgiWorker::startCommand(const ZK_CMD& clCmd)
{
    if (isRunning())
        return false;
    clCurrentCmd = clCmd;
    start(QThread::InheritPriority);
    return true;
}

bool ClKD4CgiWorker::closeSessionNow(int iTimeoutSec)
{
    return pclService && pclService->token() > 0 && pclService->stop_session_within(iTimeoutSec).rval == 0;
}

QString ClKD4CgiWorker::getAddress() const
{
    if (!pclService)
        return QString();
    return fromWire(pclService->get_address());
}

ClNotifyList ClKD4CgiWorker::pollNotifications()
{
    if (!pclService)
        return ClNotifyList();
    return toNotifyList(pclService->list_notification(2));
}

ClNotifyList ClKD4CgiWorker::toNotifyList(const Notification_Rsp& clRsp)
{
    ClNotifyList clList;
    if (clRsp.rval != 0)
        return clList;
    for (const NotificationEntry& clEntry : clRsp.listing)
        clList.append(qMakePair(fromWire(clEntry.type), fromWire(clEntry.param)));
    return clList;
}

ClKD4CgiWorker::ValueType ClKD4CgiWorker::valueType(const QString& strKey)
{
    // The vocabulary's kind of a setting decides how its values travel; keys it does not know
    // (the camera's state, the access point's texts) are text.
    const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(strKey);
    if (!pclSetting)
        return ValueType::Text;
    switch (pclSetting->eKind) {
    case ZkVocabulary::Kind::Clock:
        return ValueType::DateTime;
    case ZkVocabulary::Kind::Number:
        return ValueType::Integer;
    default:
        return ValueType::Text;
    }
}

QPair<QString, QString> ClKD4CgiWorker::toWireValue(const QString& strKey, const QVariant& clValue)
{
    switch (valueType(strKey)) {
    case ValueType::Text:
        if (clValue.canConvert<QString>())
            return qMakePair(strKey, clValue.toString());
        break;
    case ValueType::DateTime: {
        if (!clValue.canConvert<QDateTime>())
            break;
        QDateTime clTime;
        // A text in the camera's own form is taken as it is; anything else goes through QVariant.
        if (clValue.userType() == QMetaType::QString)
            clTime = QDateTime::fromString(clValue.toString(), CLOCK_FORMAT);
        if (!clTime.isValid())
            clTime = clValue.toDateTime();
        // An invalid time has no text form; it is not sent as an empty clock.
        if (clTime.isValid())
            return qMakePair(strKey, clTime.toString(CLOCK_FORMAT));
        break;
    }
    case ValueType::Integer:
        // Any value of a type that converts counts, so a text that is no number is sent as 0.
        if (clValue.canConvert<int>())
            return qMakePair(strKey, QString::number(clValue.toInt()));
        break;
    }
    return qMakePair(QString(), QString());
}

QVariant ClKD4CgiWorker::fromWireValue(const QString& strKey, const QString& strText)
{
    switch (valueType(strKey)) {
    case ValueType::DateTime:
        return QDateTime::fromString(strText, CLOCK_FORMAT);
    case ValueType::Integer: {
        bool bOk = false;
        const int iValue = strText.toInt(&bOk, 10);
        return bOk ? iValue : 0;
    }
    case ValueType::Text:
        break;
    }
    return strText;
}

ClAllSettings ClKD4CgiWorker::toAllSettings(const std::unordered_map<std::string, std::string>& clTable)
{
    ClAllSettings clSettings;
    for (const auto& clEntry : clTable) {
        const QString strKey = fromWire(clEntry.first);
        clSettings.insert(strKey, fromWireValue(strKey, fromWire(clEntry.second)));
    }
    return clSettings;
}

void ClKD4CgiWorker::run()
{
    const ZK_CMD clCmd = clCurrentCmd;
    const ZK_CMD clAnswer = execute(clCmd);
    emit sigResponse(clAnswer);
    clCurrentCmd.clear();
}

ZK_CMD ClKD4CgiWorker::execute(const ZK_CMD& clCmd)
{
    const QUuid clId = zkCommand(clCmd);
    QVariant clResult;
    int iError = ZkError::UnknownCommand;

    if (clId.isNull()) {
        // No identity: nothing to send.
    } else if (clId == CMD_START_SESSION) {
        iError = startSession();
    } else if (clId == CMD_STOP_SESSION) {
        iError = pclService->stop_session().rval;
    } else if (clId == CMD_START_LIVE) {
        iError = startLive(clCmd.value(ZkKey::PARAM1).toString(), clResult);
    } else if (clId == CMD_STOP_LIVE) {
        iError = pclService->stop_vf().rval;
    } else if (clId == CMD_FORMAT) {
        iError = pclService->format_storage().rval;
    } else if (clId == CMD_MSG_513) {
        iError = pclService->send_msg_513().rval;
    } else if (clId == CMD_MSG_514) {
        iError = pclService->send_msg_514().rval;
    } else if (clId == CMD_MSG_769) {
        iError = pclService->send_msg_769().rval;
    } else if (clId == CMD_SET_SETTING) {
        iError = setSetting(clCmd.value(ZkKey::PARAM1).toString(), clCmd.value(ZkKey::PARAM2), clResult);
    } else if (clId == CMD_GET_ALL_SETTINGS) {
        iError = getAllSettings(clResult);
    }

    // A fresh record: nothing of the request but its identity and routing values goes back.
    ZK_CMD clAnswer;
    if (clResult.isValid())
        clAnswer.insert(ZkKey::PARAM1, clResult);
    clAnswer.insert(ZkKey::CMD, QVariant::fromValue(clId));
    clAnswer.insert(ZkKey::ID, clCmd.value(ZkKey::ID));
    if (clCmd.contains(ZkKey::ROUND))
        clAnswer.insert(ZkKey::ROUND, clCmd.value(ZkKey::ROUND));
    clAnswer.insert(ZkKey::ERROR, iError);
    return clAnswer;
}

int ClKD4CgiWorker::startSession()
{
    const int iError = pclService->start_session().rval;
    if (iError != 0)
        return iError;
    // A new session starts without a live view running.
    return pclService->stop_vf().rval;
}

int ClKD4CgiWorker::startLive(const QString& strStreamType, QVariant& clResult)
{
    int iError = pclService->stop_vf().rval;
    if (iError != 0)
        return iError;

    const AllSettings_Rsp clSettings = pclService->get_all_current_settings();
    if (clSettings.rval != 0)
        return clSettings.rval;

    const auto itType = clSettings.param.find(toWire(ZkSetting::STREAM_TYPE));
    const QString strCurrentType = itType == clSettings.param.end() ? QString() : fromWire(itType->second);
    if (strStreamType != strCurrentType) {
        const QPair<QString, QString> clWire = toWireValue(ZkSetting::STREAM_TYPE, strStreamType);
        iError = pclService->set_setting(toWire(clWire.first), toWire(clWire.second)).rval;
        if (iError != 0)
            return iError;
    }

    const auto itResolution = clSettings.param.find(toWire(ZkSetting::VIDEO_RESOLUTION));
    const std::string strResolution
        = itResolution == clSettings.param.end() ? std::string() : itResolution->second;
    iError = pclService->prepare_live_view_for(strResolution).rval;
    if (iError != 0)
        return iError;

    std::string strUrl;
    if (strStreamType == ZkValue::STREAM_RTSP) {
        strUrl = pclService->get_rtsp_url();
    } else if (strStreamType == ZkValue::STREAM_MJPG) {
        strUrl = pclService->get_mjpeg_url();
    } else if (strStreamType == ZkValue::STREAM_HLS) {
        strUrl = pclService->get_hls_url();
    } else {
        iError = ZkError::NoRval;
    }
    clResult = fromWire(strUrl);
    return iError;
}

int ClKD4CgiWorker::setSetting(const QString& strKey, const QVariant& clValue, QVariant& clResult)
{
    const bool bResolution = strKey == ZkSetting::VIDEO_RESOLUTION;
    const QString strValueText = clValue.toString();
    int iError = 0;

    // High-speed modes only run with the standard-definition stream and streaming while
    // recording switched off.
    if (bResolution && ZkResolution::isHighSpeed(strValueText)) {
        iError = setPlain(ZkSetting::STD_DEF_VIDEO, ZkValue::OFF);
        if (iError != 0)
            return iError;
        iError = setPlain(ZkSetting::STREAM_WHILE_RECORD, ZkValue::OFF);
    }
    if (iError != 0)
        return iError;

    const QPair<QString, QString> clWire = toWireValue(strKey, clValue);
    iError = setWithRetries(toWire(clWire.first), toWire(clWire.second));
    clResult = clWire.first;

    if (iError == 0 && bResolution && ZkResolution::isNormal(strValueText)) {
        QThread::msleep(RESOLUTION_SETTLE_MS);
        iError = setPlain(ZkSetting::STD_DEF_VIDEO, ZkValue::ON);
        if (iError == 0)
            setPlain(ZkSetting::STREAM_WHILE_RECORD, ZkValue::ON); // best effort: its result is not used
    }
    return iError;
}

int ClKD4CgiWorker::setPlain(const QString& strKey, const QString& strValue)
{
    return pclService->set_setting(toWire(strKey), toWire(strValue)).rval;
}

int ClKD4CgiWorker::setWithRetries(const std::string& strKey, const std::string& strValue)
{
    int iError = ZkError::Timeout;
    for (int iAttempt = 0; iAttempt < MAX_ATTEMPTS && iError == ZkError::Timeout; ++iAttempt)
        iError = pclService->set_setting(strKey, strValue).rval;
    return iError;
}

int ClKD4CgiWorker::getAllSettings(QVariant& clResult)
{
    std::unordered_map<std::string, std::string> clTable;
    const int iError = readAllSettings(clTable);
    if (iError == 0)
        clResult = QVariant(toAllSettings(clTable));
    return iError;
}

int ClKD4CgiWorker::readAllSettings(std::unordered_map<std::string, std::string>& clTable)
{
    AllSettings_Rsp clRsp;
    for (int iAttempt = 0; iAttempt < MAX_ATTEMPTS; ++iAttempt) {
        clRsp = pclService->get_all_current_settings();
        if (clRsp.rval != ZkError::Timeout)
            break;
    }
    if (clRsp.rval == 0)
        clTable = std::move(clRsp.param);
    return clRsp.rval;
}
