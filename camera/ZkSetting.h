#pragma once

#include <QString>

// The camera's setting keys, each spelled once. A name is its key in capitals, without "zk_".
namespace ZkSetting {
// Recording and live stream.
inline const QString VIDEO_RESOLUTION = QStringLiteral("video_resolution");
inline const QString STREAM_TYPE = QStringLiteral("stream_type");
inline const QString STD_DEF_VIDEO = QStringLiteral("std_def_video");
inline const QString STREAM_WHILE_RECORD = QStringLiteral("stream_while_record");
inline const QString CAMERA_CLOCK = QStringLiteral("camera_clock");

// The camera's state, read from every settings snapshot.
inline const QString APP_STATUS = QStringLiteral("app_status");
inline const QString BATTERY = QStringLiteral("zk_battery");
inline const QString GET_AC_CONNECTION = QStringLiteral("zk_get_ac_connection");
inline const QString GET_VERSION = QStringLiteral("zk_get_version");

// Picture.
inline const QString ANGLE_DEG = QStringLiteral("zk_angle_deg");
inline const QString WHITE_BALANCE = QStringLiteral("zk_white_balance");
inline const QString SELF_TIMER = QStringLiteral("zk_self_timer");
inline const QString WDR = QStringLiteral("zk_wdr");
inline const QString AE_EXPOSURE_LEVEL = QStringLiteral("zk_ae_exposure_level");
inline const QString AE_LIGHT_METERING = QStringLiteral("zk_ae_light_metering");
inline const QString WARP_CORRECTION = QStringLiteral("zk_warp_correction");
inline const QString STABILIZATION = QStringLiteral("zk_stabilization");
inline const QString IMAGE_ROTATION = QStringLiteral("zk_image_rotation");

// Shooting.
inline const QString CAPTURE_MODE = QStringLiteral("zk_capture_mode");
inline const QString BURST_PER_SEC = QStringLiteral("zk_burst_per_sec");
inline const QString INTERVAL_TIME = QStringLiteral("zk_interval_time");
inline const QString REC_DURATION = QStringLiteral("zk_rec_duration");

// Sound: these three travel as integers, every other key as text (camera_clock as a time).
inline const QString REC_AUDIO_LEVEL = QStringLiteral("zk_rec_audio_level");
inline const QString REC_AUDIO_BALANCE = QStringLiteral("zk_rec_audio_balance");
inline const QString SPEAKER_VOLUME = QStringLiteral("zk_speaker_volume");

// Power and network.
inline const QString AUTO_POWER_OFF = QStringLiteral("zk_auto_power_off");
inline const QString WIFI_AUTO_POWER_OFF = QStringLiteral("zk_wifi_auto_power_off");
inline const QString AP_SSID = QStringLiteral("zk_ap_ssid");
inline const QString AP_KEY = QStringLiteral("zk_ap_key");
inline const QString WIFI_APPLY_NEW_PARAM = QStringLiteral("zk_wifi_apply_new_param");

// One-shot actions: sent with the value SET.
inline const QString FACTORY_RESET_NETWORK = QStringLiteral("zk_factory_reset_network");
inline const QString FACTORY_RESET_CAM = QStringLiteral("zk_factory_reset_cam");
} // namespace ZkSetting

// Setting values the program itself names (the choices a page only offers stay in its table).
namespace ZkValue {
inline const QString ON = QStringLiteral("on");
inline const QString OFF = QStringLiteral("off");
// Starts a one-shot action.
inline const QString SET = QStringLiteral("set");
// APP_STATUS while the camera records.
inline const QString RECORD = QStringLiteral("record");
// GET_AC_CONNECTION while the mains adapter is in.
inline const QString CONNECTED = QStringLiteral("connected");
// STREAM_TYPE.
inline const QString STREAM_RTSP = QStringLiteral("rtsp");
inline const QString STREAM_MJPG = QStringLiteral("mjpg");
inline const QString STREAM_HLS = QStringLiteral("hls");
} // namespace ZkValue

// Notification types the program acts on.
namespace ZkNotification {
inline const QString STARTING_VIDEO_RECORD = QStringLiteral("starting_video_record");
inline const QString VIDEO_RECORD_COMPLETE = QStringLiteral("video_record_complete");
} // namespace ZkNotification
