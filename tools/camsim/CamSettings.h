#pragma once

#include <QDateTime>

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace camsim {

// The camera's setting values and what it accepts for each key: for the settings the pages offer,
// the program's vocabulary (camera/ZkVocabulary), read with the camera's own parsers; the stream
// settings, the access point and the camera's read-only state are the simulator's own.
// Not thread-safe: the simulator guards it with its own mutex.
class CamSettings
{
public:
    explicit CamSettings(const std::string& strFirmware = "01.00.0009");

    // What the camera answers to a change of `key` by message 2: 0 or rval::InvalidOption.
    static int validate(const std::string& strKey, const std::string& strValue);
    static bool isReadOnly(const std::string& strKey);

    // Stores without any check (the simulator's own scripting; message 2 validates first).
    // "camera_clock" in "yyyy-MM-dd hh:mm:ss" form starts advancing from that time.
    void set(const std::string& strKey, const std::string& strValue);
    std::string value(const std::string& strKey) const;
    bool contains(const std::string& strKey) const;
    // "app_status": "record" or "idle".
    bool isRecording() const;
    void setRecording(bool bRecording);

    // The keys message 3 reports, one (key, value) per entry, in a fixed order, followed by any
    // key stored by scripting that is not otherwise reported.
    std::vector<std::pair<std::string, std::string>> reported() const;
    // Every stored key (also the access point keys, which message 3 does not report).
    std::map<std::string, std::string> all() const;

    // "zk_factory_reset_cam": every user setting back to its default (not the clock, the battery,
    // the adapter, the firmware or the recording state); "zk_factory_reset_network": the access point.
    void resetCamera();
    void resetNetwork();

private:
    std::string clockText() const;

    std::map<std::string, std::string> m_values;
    QDateTime m_clockBase; // valid: advancing clock
    std::chrono::steady_clock::time_point m_clockSetAt;
    std::string m_clockRaw; // a scripted text that is no valid time
};

} // namespace camsim
