#include "tools/camsim/CamSettings.h"

#include "tools/camsim/CamSimTypes.h"

#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cctype>
#include <set>

namespace camsim {

namespace {

using ZkVocabulary::Kind;

// A key or value as it travels.
std::string wire(const QString& strText)
{
    return strText.toStdString();
}

// What the camera keeps besides the settings of the pages: the stream settings the program
// manages itself, with the values it takes.
const std::map<std::string, std::vector<std::string>>& streamChoices()
{
    static const std::map<std::string, std::vector<std::string>> map = {
        { wire(ZkSetting::STREAM_TYPE),
            { wire(ZkValue::STREAM_RTSP), wire(ZkValue::STREAM_MJPG), wire(ZkValue::STREAM_HLS) } },
        { wire(ZkSetting::STREAM_WHILE_RECORD), { wire(ZkValue::ON), wire(ZkValue::OFF) } },
        { wire(ZkSetting::STD_DEF_VIDEO), { wire(ZkValue::ON), wire(ZkValue::OFF) } },
    };
    return map;
}

// The simulated camera's defaults of the user settings (restored by the camera reset): one for
// each stored setting of the pages, and the stream settings.
const std::vector<std::pair<std::string, std::string>>& cameraDefaults()
{
    static const std::vector<std::pair<std::string, std::string>> list = {
        { wire(ZkSetting::ANGLE_DEG), "170" },
        { wire(ZkSetting::WHITE_BALANCE), "auto" },
        { wire(ZkSetting::SELF_TIMER), "off" },
        { wire(ZkSetting::WDR), "off" },
        { wire(ZkSetting::AE_EXPOSURE_LEVEL), "0" },
        { wire(ZkSetting::VIDEO_RESOLUTION), "1920x1080 30P 16:9" },
        { wire(ZkSetting::AE_LIGHT_METERING), "center" },
        { wire(ZkSetting::WARP_CORRECTION), "off" },
        { wire(ZkSetting::STABILIZATION), "on" },
        { wire(ZkSetting::IMAGE_ROTATION), "off" },
        { wire(ZkSetting::CAPTURE_MODE), "single" },
        { wire(ZkSetting::BURST_PER_SEC), "5" },
        { wire(ZkSetting::INTERVAL_TIME), "00:00:10" },
        { wire(ZkSetting::REC_AUDIO_LEVEL), "5" },
        { wire(ZkSetting::REC_AUDIO_BALANCE), "0" },
        { wire(ZkSetting::AUTO_POWER_OFF), "300sec" },
        { wire(ZkSetting::WIFI_AUTO_POWER_OFF), "disable" },
        { wire(ZkSetting::REC_DURATION), "5min" },
        { wire(ZkSetting::SPEAKER_VOLUME), "32" },
        { wire(ZkSetting::STREAM_TYPE), "mjpg" },
        { wire(ZkSetting::STREAM_WHILE_RECORD), "on" },
        { wire(ZkSetting::STD_DEF_VIDEO), "on" },
    };
    return list;
}

const std::vector<std::pair<std::string, std::string>>& networkDefaults()
{
    static const std::vector<std::pair<std::string, std::string>> list = {
        { wire(ZkSetting::AP_SSID), "VEXA_KD4_5A3C" },
        { wire(ZkSetting::AP_KEY), "1234567890" },
    };
    return list;
}

// Message 3 lists the stored settings in the order of the pages, then the camera's state, its
// clock and the stream settings.
const std::vector<std::string>& reportedOrder()
{
    static const std::vector<std::string> list = [] {
        std::vector<std::string> keys;
        for (const ZkVocabulary::stSetting& clSetting : ZkVocabulary::settings()) {
            if (ZkVocabulary::isStored(clSetting))
                keys.push_back(wire(clSetting.strKey));
        }
        for (const QString* pclKey : { &ZkSetting::GET_VERSION, &ZkSetting::BATTERY,
                 &ZkSetting::GET_AC_CONNECTION, &ZkSetting::APP_STATUS, &ZkSetting::CAMERA_CLOCK,
                 &ZkSetting::STREAM_TYPE, &ZkSetting::STREAM_WHILE_RECORD, &ZkSetting::STD_DEF_VIDEO })
            keys.push_back(wire(*pclKey));
        return keys;
    }();
    return list;
}

// Stored, but never listed by message 3.
const std::set<std::string>& unreportedKeys()
{
    static const std::set<std::string> set = { wire(ZkSetting::AP_SSID), wire(ZkSetting::AP_KEY) };
    return set;
}

bool isDigits(const std::string& str, std::size_t iFrom, std::size_t iLen)
{
    if (iFrom + iLen > str.size())
        return false;
    for (std::size_t i = iFrom; i < iFrom + iLen; ++i)
        if (!std::isdigit(static_cast<unsigned char>(str[i])))
            return false;
    return true;
}

bool parseInt(const std::string& str, int& iValue)
{
    std::size_t i = 0;
    bool bNegative = false;
    if (!str.empty() && str[0] == '-') {
        bNegative = true;
        i = 1;
    }
    if (i >= str.size() || str.size() - i > 6 || !isDigits(str, i, str.size() - i))
        return false;
    iValue = std::stoi(str.substr(i));
    if (bNegative)
        iValue = -iValue;
    return true;
}

// "yyyy-MM-dd hh:mm:ss", a real date and a real time of day.
bool parseClock(const std::string& str, QDateTime& clResult)
{
    if (str.size() != 19 || !isDigits(str, 0, 4) || str[4] != '-' || !isDigits(str, 5, 2) || str[7] != '-'
        || !isDigits(str, 8, 2) || str[10] != ' ' || !isDigits(str, 11, 2) || str[13] != ':'
        || !isDigits(str, 14, 2) || str[16] != ':' || !isDigits(str, 17, 2))
        return false;
    const QDate clDate(std::stoi(str.substr(0, 4)), std::stoi(str.substr(5, 2)), std::stoi(str.substr(8, 2)));
    const QTime clTime(
        std::stoi(str.substr(11, 2)), std::stoi(str.substr(14, 2)), std::stoi(str.substr(17, 2)));
    if (!clDate.isValid() || !clTime.isValid())
        return false;
    // Kept as UTC so that no daylight-saving gap of the host can make a valid text invalid.
    clResult = QDateTime(clDate, clTime, Qt::UTC);
    return true;
}

// "hh:mm:ss", minutes and seconds below 60, in seconds.
bool parseDuration(const std::string& str, int& iSeconds)
{
    if (str.size() != 8 || !isDigits(str, 0, 2) || str[2] != ':' || !isDigits(str, 3, 2) || str[5] != ':'
        || !isDigits(str, 6, 2))
        return false;
    const int iH = std::stoi(str.substr(0, 2));
    const int iM = std::stoi(str.substr(3, 2));
    const int iS = std::stoi(str.substr(6, 2));
    if (iM > 59 || iS > 59)
        return false;
    iSeconds = iH * 3600 + iM * 60 + iS;
    return true;
}

bool validApText(const std::string& str, std::size_t iMin, std::size_t iMax)
{
    if (str.size() < iMin || str.size() > iMax)
        return false;
    return std::all_of(str.begin(), str.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '@' || c == '_' || c == '-';
    });
}

// The camera reads a value of a setting of the pages with its own parsers, within the choices and
// limits the program offers. Its clock is read as UTC, so that no daylight-saving gap of the host
// can make a valid text invalid.
bool takes(const ZkVocabulary::stSetting& clSetting, const std::string& strValue)
{
    switch (clSetting.eKind) {
    case Kind::Choice:
    case Kind::Action:
        return std::any_of(clSetting.clValues.begin(), clSetting.clValues.end(),
            [&strValue](const ZkVocabulary::stValue& clValue) { return wire(clValue.strWire) == strValue; });
    case Kind::Number: {
        int iValue = 0;
        return parseInt(strValue, iValue) && iValue >= clSetting.iMinimum && iValue <= clSetting.iMaximum;
    }
    case Kind::Duration: {
        int iSeconds = 0;
        return parseDuration(strValue, iSeconds) && iSeconds >= clSetting.iMinimum
            && iSeconds <= clSetting.iMaximum;
    }
    case Kind::Clock: {
        QDateTime clUnused;
        return parseClock(strValue, clUnused);
    }
    }
    return false;
}

} // namespace

CamSettings::CamSettings(const std::string& strFirmware)
{
    resetCamera();
    resetNetwork();
    m_values[wire(ZkSetting::GET_VERSION)] = strFirmware;
    m_values[wire(ZkSetting::BATTERY)] = "80";
    m_values[wire(ZkSetting::GET_AC_CONNECTION)] = "disconnected";
    setRecording(false);
    const QDateTime clNow = QDateTime::currentDateTime();
    m_clockBase = QDateTime(
        clNow.date(), QTime(clNow.time().hour(), clNow.time().minute(), clNow.time().second()), Qt::UTC);
    m_clockSetAt = std::chrono::steady_clock::now();
}

bool CamSettings::isReadOnly(const std::string& strKey)
{
    return strKey == wire(ZkSetting::GET_VERSION) || strKey == wire(ZkSetting::BATTERY)
        || strKey == wire(ZkSetting::GET_AC_CONNECTION) || strKey == wire(ZkSetting::APP_STATUS);
}

int CamSettings::validate(const std::string& strKey, const std::string& strValue)
{
    if (const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(QString::fromStdString(strKey)))
        return takes(*pclSetting, strValue) ? rval::Ok : rval::InvalidOption;
    const auto itStream = streamChoices().find(strKey);
    if (itStream != streamChoices().end()) {
        const std::vector<std::string>& list = itStream->second;
        return std::find(list.begin(), list.end(), strValue) != list.end() ? rval::Ok : rval::InvalidOption;
    }
    if (strKey == wire(ZkSetting::AP_SSID))
        return validApText(strValue, 1, 32) ? rval::Ok : rval::InvalidOption;
    if (strKey == wire(ZkSetting::AP_KEY))
        return validApText(strValue, 8, 63) ? rval::Ok : rval::InvalidOption;
    if (strKey == wire(ZkSetting::WIFI_APPLY_NEW_PARAM))
        return strValue.empty() ? rval::InvalidOption : rval::Ok;
    // Read-only and unknown keys.
    return rval::InvalidOption;
}

void CamSettings::set(const std::string& strKey, const std::string& strValue)
{
    if (strKey == wire(ZkSetting::CAMERA_CLOCK)) {
        QDateTime clParsed;
        if (parseClock(strValue, clParsed)) {
            m_clockBase = clParsed;
            m_clockSetAt = std::chrono::steady_clock::now();
            m_clockRaw.clear();
        } else {
            m_clockBase = QDateTime();
            m_clockRaw = strValue;
        }
        return;
    }
    m_values[strKey] = strValue;
}

std::string CamSettings::value(const std::string& strKey) const
{
    if (strKey == wire(ZkSetting::CAMERA_CLOCK))
        return clockText();
    const auto it = m_values.find(strKey);
    return it == m_values.end() ? std::string() : it->second;
}

bool CamSettings::contains(const std::string& strKey) const
{
    return strKey == wire(ZkSetting::CAMERA_CLOCK) || m_values.count(strKey) != 0;
}

bool CamSettings::isRecording() const
{
    return value(wire(ZkSetting::APP_STATUS)) == wire(ZkValue::RECORD);
}

void CamSettings::setRecording(bool bRecording)
{
    m_values[wire(ZkSetting::APP_STATUS)] = bRecording ? wire(ZkValue::RECORD) : "idle";
}

std::vector<std::pair<std::string, std::string>> CamSettings::reported() const
{
    std::vector<std::pair<std::string, std::string>> list;
    std::set<std::string> listed;
    for (const std::string& strKey : reportedOrder()) {
        if (contains(strKey)) {
            list.emplace_back(strKey, value(strKey));
            listed.insert(strKey);
        }
    }
    for (const auto& entry : m_values) {
        if (!listed.count(entry.first) && !unreportedKeys().count(entry.first))
            list.push_back(entry);
    }
    return list;
}

std::map<std::string, std::string> CamSettings::all() const
{
    std::map<std::string, std::string> map = m_values;
    map[wire(ZkSetting::CAMERA_CLOCK)] = clockText();
    return map;
}

void CamSettings::resetCamera()
{
    for (const auto& entry : cameraDefaults())
        m_values[entry.first] = entry.second;
}

void CamSettings::resetNetwork()
{
    for (const auto& entry : networkDefaults())
        m_values[entry.first] = entry.second;
}

std::string CamSettings::clockText() const
{
    if (!m_clockBase.isValid())
        return m_clockRaw;
    const auto llElapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_clockSetAt)
                               .count();
    return m_clockBase.addMSecs(llElapsed).toString(ZkVocabulary::CLOCK_FORMAT).toStdString();
}

} // namespace camsim
