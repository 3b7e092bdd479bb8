#include "tools/camsim/CamSettings.h"

#include "tools/camsim/CamSimTypes.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cctype>
#include <set>

namespace camsim {

namespace {

using Vocabulary = std::vector<std::string>;

// Keys with a closed list of values.
const std::map<std::string, Vocabulary>& vocabularies()
{
    static const std::map<std::string, Vocabulary> map = {
        { "zk_angle_deg", { "170", "145", "120" } },
        { "zk_white_balance", { "auto", "night", "daylight", "cloudy", "incandecent", "fluorescent" } },
        { "zk_self_timer", { "off", "5sec", "10sec", "30sec" } },
        { "zk_wdr", { "off", "on" } },
        { "zk_ae_exposure_level", { "2", "1", "0", "-1", "-2" } },
        { "video_resolution",
            { "1920x1080 60P 16:9", "1920x1080 30P 16:9", "1280x720 120P 16:9", "1280x720 60P 16:9",
                "1280x720 30P 16:9", "848x480 240P 16:9" } },
        { "zk_ae_light_metering", { "center", "multi" } },
        { "zk_warp_correction", { "off", "on" } },
        { "zk_stabilization", { "off", "on" } },
        { "zk_image_rotation", { "off", "180deg" } },
        { "zk_capture_mode", { "single", "burst", "interval" } },
        { "zk_burst_per_sec", { "2", "5", "60" } },
        { "zk_auto_power_off", { "off", "60sec", "120sec", "300sec" } },
        { "zk_wifi_auto_power_off", { "disable", "enable" } },
        { "zk_rec_duration", { "1min", "3min", "5min", "10min", "30min" } },
        { "stream_type", { "rtsp", "mjpg", "hls" } },
        { "stream_while_record", { "on", "off" } },
        { "std_def_video", { "on", "off" } },
        { "zk_factory_reset_network", { "set" } },
        { "zk_factory_reset_cam", { "set" } },
    };
    return map;
}

// Keys with a numeric range (decimal text, optional leading minus).
const std::map<std::string, std::pair<int, int>>& ranges()
{
    static const std::map<std::string, std::pair<int, int>> map = {
        { "zk_rec_audio_level", { 0, 10 } },
        { "zk_rec_audio_balance", { -5, 5 } },
        { "zk_speaker_volume", { 0, 64 } },
    };
    return map;
}

// Defaults of the user settings (restored by the camera reset).
const std::vector<std::pair<std::string, std::string>>& cameraDefaults()
{
    static const std::vector<std::pair<std::string, std::string>> list = {
        { "zk_angle_deg", "170" },
        { "zk_white_balance", "auto" },
        { "zk_self_timer", "off" },
        { "zk_wdr", "off" },
        { "zk_ae_exposure_level", "0" },
        { "video_resolution", "1920x1080 30P 16:9" },
        { "zk_ae_light_metering", "center" },
        { "zk_warp_correction", "off" },
        { "zk_stabilization", "on" },
        { "zk_image_rotation", "off" },
        { "zk_capture_mode", "single" },
        { "zk_burst_per_sec", "5" },
        { "zk_interval_time", "00:00:10" },
        { "zk_rec_audio_level", "5" },
        { "zk_rec_audio_balance", "0" },
        { "zk_auto_power_off", "300sec" },
        { "zk_wifi_auto_power_off", "disable" },
        { "zk_rec_duration", "5min" },
        { "zk_speaker_volume", "32" },
        { "stream_type", "mjpg" },
        { "stream_while_record", "on" },
        { "std_def_video", "on" },
    };
    return list;
}

const std::vector<std::pair<std::string, std::string>>& networkDefaults()
{
    static const std::vector<std::pair<std::string, std::string>> list = {
        { "zk_ap_ssid", "VEXA_KD4_5A3C" },
        { "zk_ap_key", "1234567890" },
    };
    return list;
}

// Message 3 lists these in this order.
const std::vector<std::string>& reportedOrder()
{
    static const std::vector<std::string> list = {
        "zk_angle_deg",
        "zk_white_balance",
        "zk_self_timer",
        "zk_wdr",
        "zk_ae_exposure_level",
        "video_resolution",
        "zk_ae_light_metering",
        "zk_warp_correction",
        "zk_stabilization",
        "zk_image_rotation",
        "zk_capture_mode",
        "zk_burst_per_sec",
        "zk_interval_time",
        "zk_rec_audio_level",
        "zk_rec_audio_balance",
        "zk_auto_power_off",
        "zk_wifi_auto_power_off",
        "zk_rec_duration",
        "zk_speaker_volume",
        "zk_get_version",
        "zk_battery",
        "zk_get_ac_connection",
        "app_status",
        "camera_clock",
        "stream_type",
        "stream_while_record",
        "std_def_video",
    };
    return list;
}

// Stored, but never listed by message 3.
const std::set<std::string>& unreportedKeys()
{
    static const std::set<std::string> set = { "zk_ap_ssid", "zk_ap_key" };
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

// "hh:mm:ss" from 00:00:02 to 24:00:00.
bool validInterval(const std::string& str)
{
    if (str.size() != 8 || !isDigits(str, 0, 2) || str[2] != ':' || !isDigits(str, 3, 2) || str[5] != ':'
        || !isDigits(str, 6, 2))
        return false;
    const int iH = std::stoi(str.substr(0, 2));
    const int iM = std::stoi(str.substr(3, 2));
    const int iS = std::stoi(str.substr(6, 2));
    if (iM > 59 || iS > 59)
        return false;
    const int iTotal = iH * 3600 + iM * 60 + iS;
    return iTotal >= 2 && iTotal <= 24 * 3600;
}

bool validApText(const std::string& str, std::size_t iMin, std::size_t iMax)
{
    if (str.size() < iMin || str.size() > iMax)
        return false;
    return std::all_of(str.begin(), str.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '@' || c == '_' || c == '-';
    });
}

} // namespace

CamSettings::CamSettings(const std::string& strFirmware)
{
    resetCamera();
    resetNetwork();
    m_values["zk_get_version"] = strFirmware;
    m_values["zk_battery"] = "80";
    m_values["zk_get_ac_connection"] = "disconnected";
    m_values["app_status"] = "idle";
    const QDateTime clNow = QDateTime::currentDateTime();
    m_clockBase = QDateTime(
        clNow.date(), QTime(clNow.time().hour(), clNow.time().minute(), clNow.time().second()), Qt::UTC);
    m_clockSetAt = std::chrono::steady_clock::now();
}

bool CamSettings::isReadOnly(const std::string& strKey)
{
    return strKey == "zk_get_version" || strKey == "zk_battery" || strKey == "zk_get_ac_connection"
        || strKey == "app_status";
}

int CamSettings::validate(const std::string& strKey, const std::string& strValue)
{
    const auto itVocabulary = vocabularies().find(strKey);
    if (itVocabulary != vocabularies().end()) {
        const Vocabulary& list = itVocabulary->second;
        return std::find(list.begin(), list.end(), strValue) != list.end() ? rval::Ok : rval::InvalidOption;
    }
    const auto itRange = ranges().find(strKey);
    if (itRange != ranges().end()) {
        int iValue = 0;
        const bool bOk = parseInt(strValue, iValue) && iValue >= itRange->second.first
            && iValue <= itRange->second.second;
        return bOk ? rval::Ok : rval::InvalidOption;
    }
    if (strKey == "camera_clock") {
        QDateTime clUnused;
        return parseClock(strValue, clUnused) ? rval::Ok : rval::InvalidOption;
    }
    if (strKey == "zk_interval_time")
        return validInterval(strValue) ? rval::Ok : rval::InvalidOption;
    if (strKey == "zk_ap_ssid")
        return validApText(strValue, 1, 32) ? rval::Ok : rval::InvalidOption;
    if (strKey == "zk_ap_key")
        return validApText(strValue, 8, 63) ? rval::Ok : rval::InvalidOption;
    if (strKey == "zk_wifi_apply_new_param")
        return strValue.empty() ? rval::InvalidOption : rval::Ok;
    // Read-only and unknown keys.
    return rval::InvalidOption;
}

void CamSettings::set(const std::string& strKey, const std::string& strValue)
{
    if (strKey == "camera_clock") {
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
    if (strKey == "camera_clock")
        return clockText();
    const auto it = m_values.find(strKey);
    return it == m_values.end() ? std::string() : it->second;
}

bool CamSettings::contains(const std::string& strKey) const
{
    return strKey == "camera_clock" || m_values.count(strKey) != 0;
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
    map["camera_clock"] = clockText();
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
    return m_clockBase.addMSecs(llElapsed).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
}

} // namespace camsim
