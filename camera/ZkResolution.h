#pragma once

#include <QString>

// The camera's video resolutions (values of ZkSetting::VIDEO_RESOLUTION). The high-speed modes
// record without a live view and need the standard-definition stream switched off first; after a
// change to a normal mode it is switched on again. Any other text is neither.
namespace ZkResolution {
inline const QString RES_1080P_60 = QStringLiteral("1920x1080 60P 16:9");
inline const QString RES_1080P_30 = QStringLiteral("1920x1080 30P 16:9");
inline const QString RES_720P_120 = QStringLiteral("1280x720 120P 16:9");
inline const QString RES_720P_60 = QStringLiteral("1280x720 60P 16:9");
inline const QString RES_720P_30 = QStringLiteral("1280x720 30P 16:9");
inline const QString RES_WVGA_240 = QStringLiteral("848x480 240P 16:9");

// Exact, case-sensitive comparisons.
bool isHighSpeed(const QString& strResolution);
bool isNormal(const QString& strResolution);
} // namespace ZkResolution
