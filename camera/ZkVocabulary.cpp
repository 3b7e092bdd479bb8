#include "camera/ZkVocabulary.h"

#include "camera/ZkResolution.h"
#include "camera/ZkSetting.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>

namespace {

using ZkVocabulary::Kind;
using ZkVocabulary::Label;
using ZkVocabulary::stSetting;
using ZkVocabulary::stValue;

// The translation contexts of the labels: the page that shows them, or the general one.
constexpr char SIMPLE[] = "ClSimpleSettingWidget";
constexpr char DETAIL[] = "ClDetailSettingWidget";
constexpr char GENERAL[] = "QObject";

QList<stValue> offOn(const QString& strOff, const QString& strOn)
{
    return { { strOff, GENERAL, QT_TRANSLATE_NOOP("QObject", "OFF") },
        { strOn, GENERAL, QT_TRANSLATE_NOOP("QObject", "ON") } };
}

QList<stSetting> makeSettings()
{
    return {
        // The simple page. The camera's angle values are shown as the angles users know from the box.
        { ZkSetting::ANGLE_DEG, Kind::Choice,
            { { QStringLiteral("170"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "185") },
                { QStringLiteral("145"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "165") },
                { QStringLiteral("120"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "135") } } },
        { ZkSetting::WHITE_BALANCE, Kind::Choice,
            { { QStringLiteral("auto"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Auto") },
                { QStringLiteral("night"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Night") },
                { QStringLiteral("daylight"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Sunny") },
                { QStringLiteral("cloudy"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Cloudy") },
                { QStringLiteral("incandecent"), SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Incandescent light") },
                { QStringLiteral("fluorescent"), SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Fluorescent light") } } },
        { ZkSetting::SELF_TIMER, Kind::Choice,
            { { ZkValue::OFF, GENERAL, QT_TRANSLATE_NOOP("QObject", "OFF") },
                { QStringLiteral("5sec"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "5") },
                { QStringLiteral("10sec"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "10") },
                { QStringLiteral("30sec"), SIMPLE, QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "30") } } },
        { ZkSetting::WDR, Kind::Choice, offOn(ZkValue::OFF, ZkValue::ON) },
        { ZkSetting::AE_EXPOSURE_LEVEL, Kind::Choice,
            { { QStringLiteral("2"), nullptr, "+2", Label::Plain },
                { QStringLiteral("1"), nullptr, "+1", Label::Plain },
                { QStringLiteral("0"), nullptr, "0", Label::Plain },
                { QStringLiteral("-1"), nullptr, "-1", Label::Plain },
                { QStringLiteral("-2"), nullptr, "-2", Label::Plain } } },
        { ZkSetting::VIDEO_RESOLUTION, Kind::Choice,
            { { ZkResolution::RES_1080P_60, SIMPLE,
                  QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "1080p 60fps") },
                { ZkResolution::RES_1080P_30, SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "1080p 30fps") },
                { ZkResolution::RES_720P_120, SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "720p 120fps") },
                { ZkResolution::RES_720P_60, SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "720p 60fps") },
                { ZkResolution::RES_720P_30, SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "720p 30fps") },
                { ZkResolution::RES_WVGA_240, SIMPLE,
                    QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "WVGA 240fps") } } },

        // The detail page.
        { ZkSetting::AE_LIGHT_METERING, Kind::Choice,
            { { QStringLiteral("center"), DETAIL, QT_TRANSLATE_NOOP("ClDetailSettingWidget", "Center") },
                { QStringLiteral("multi"), DETAIL, QT_TRANSLATE_NOOP("ClDetailSettingWidget", "Multi") } } },
        { ZkSetting::WARP_CORRECTION, Kind::Choice, offOn(ZkValue::OFF, ZkValue::ON) },
        { ZkSetting::STABILIZATION, Kind::Choice, offOn(ZkValue::OFF, ZkValue::ON) },
        { ZkSetting::IMAGE_ROTATION, Kind::Choice, offOn(ZkValue::OFF, QStringLiteral("180deg")) },
        { ZkSetting::CAPTURE_MODE, Kind::Choice,
            { { QStringLiteral("single"), DETAIL, QT_TRANSLATE_NOOP("ClDetailSettingWidget", "Single") },
                { QStringLiteral("burst"), DETAIL, QT_TRANSLATE_NOOP("ClDetailSettingWidget", "Burst") },
                { QStringLiteral("interval"), DETAIL,
                    QT_TRANSLATE_NOOP("ClDetailSettingWidget", "Interval") } } },
        { ZkSetting::BURST_PER_SEC, Kind::Choice,
            { { QStringLiteral("2"), nullptr, "2", Label::FramesPerSecond },
                { QStringLiteral("5"), nullptr, "5", Label::FramesPerSecond },
                { QStringLiteral("60"), nullptr, "60", Label::FramesPerSecond } } },
        // From 2 seconds to 24 hours: the interval dialog's limits.
        { ZkSetting::INTERVAL_TIME, Kind::Duration, {}, 2, 24 * 3600 },
        { ZkSetting::REC_AUDIO_LEVEL, Kind::Number, {}, 0, 10 },
        { ZkSetting::REC_AUDIO_BALANCE, Kind::Number, {}, -5, 5 },
        { ZkSetting::AUTO_POWER_OFF, Kind::Choice,
            { { ZkValue::OFF, GENERAL, QT_TRANSLATE_NOOP("QObject", "OFF") },
                { QStringLiteral("60sec"), nullptr, "60", Label::Seconds },
                { QStringLiteral("120sec"), nullptr, "120", Label::Seconds },
                { QStringLiteral("300sec"), nullptr, "300", Label::Seconds } } },
        { ZkSetting::WIFI_AUTO_POWER_OFF, Kind::Choice,
            offOn(QStringLiteral("disable"), QStringLiteral("enable")) },
        { ZkSetting::FACTORY_RESET_NETWORK, Kind::Action,
            { { ZkValue::SET, nullptr, "set", Label::Plain } } },
        { ZkSetting::REC_DURATION, Kind::Choice,
            { { QStringLiteral("1min"), nullptr, "1", Label::Minutes },
                { QStringLiteral("3min"), nullptr, "3", Label::Minutes },
                { QStringLiteral("5min"), nullptr, "5", Label::Minutes },
                { QStringLiteral("10min"), nullptr, "10", Label::Minutes },
                { QStringLiteral("30min"), nullptr, "30", Label::Minutes } } },
        // The camera's scale; the page shows it as 0 to 100 %.
        { ZkSetting::SPEAKER_VOLUME, Kind::Number, {}, 0, 64 },
        { ZkSetting::CAMERA_CLOCK, Kind::Clock },
        { ZkSetting::FACTORY_RESET_CAM, Kind::Action, { { ZkValue::SET, nullptr, "set", Label::Plain } } },
    };
}

QString durationText(int iSeconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(iSeconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(iSeconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(iSeconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

const QList<stSetting>& ZkVocabulary::settings()
{
    static const QList<stSetting> clSettings = makeSettings();
    return clSettings;
}

const stSetting* ZkVocabulary::find(const QString& strKey)
{
    for (const stSetting& clSetting : settings()) {
        if (clSetting.strKey == strKey)
            return &clSetting;
    }
    return nullptr;
}

bool ZkVocabulary::isStored(const stSetting& clSetting)
{
    return clSetting.eKind == Kind::Choice || clSetting.eKind == Kind::Number
        || clSetting.eKind == Kind::Duration;
}

QStringList ZkVocabulary::reportedOnlyKeys()
{
    return { ZkSetting::APP_STATUS, ZkSetting::BATTERY, ZkSetting::GET_AC_CONNECTION, ZkSetting::GET_VERSION,
        ZkSetting::STREAM_TYPE, ZkSetting::STD_DEF_VIDEO, ZkSetting::STREAM_WHILE_RECORD };
}

bool ZkVocabulary::accepts(const stSetting& clSetting, const QString& strValue)
{
    switch (clSetting.eKind) {
    case Kind::Choice:
    case Kind::Action:
        for (const stValue& clValue : clSetting.clValues) {
            if (clValue.strWire == strValue)
                return true;
        }
        return false;
    case Kind::Number: {
        // Plain decimal digits, as the camera writes them: no sign but a minus, no blanks.
        static const QRegularExpression clNumber(QStringLiteral("\\A-?[0-9]{1,6}\\z"));
        if (!clNumber.match(strValue).hasMatch())
            return false;
        const int iValue = strValue.toInt();
        return iValue >= clSetting.iMinimum && iValue <= clSetting.iMaximum;
    }
    case Kind::Duration: {
        static const QRegularExpression clDuration(
            QStringLiteral("\\A([0-9]{2}):([0-5][0-9]):([0-5][0-9])\\z"));
        const QRegularExpressionMatch clMatch = clDuration.match(strValue);
        if (!clMatch.hasMatch())
            return false;
        const int iSeconds = clMatch.captured(1).toInt() * 3600 + clMatch.captured(2).toInt() * 60
            + clMatch.captured(3).toInt();
        return iSeconds >= clSetting.iMinimum && iSeconds <= clSetting.iMaximum;
    }
    case Kind::Clock: {
        // The camera's form, and a local time the program can send (none that a daylight-saving
        // change skips).
        static const QRegularExpression clClock(
            QStringLiteral("\\A[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\z"));
        return clClock.match(strValue).hasMatch() && QDateTime::fromString(strValue, CLOCK_FORMAT).isValid();
    }
    }
    return false;
}

QString ZkVocabulary::allowedText(const stSetting& clSetting)
{
    switch (clSetting.eKind) {
    case Kind::Choice:
    case Kind::Action: {
        QStringList clWires;
        for (const stValue& clValue : clSetting.clValues)
            clWires.append(clValue.strWire);
        return clWires.join(QStringLiteral(", "));
    }
    case Kind::Number:
        return QStringLiteral("a whole number from %1 to %2").arg(clSetting.iMinimum).arg(clSetting.iMaximum);
    case Kind::Duration:
        return QStringLiteral("hh:mm:ss from %1 to %2")
            .arg(durationText(clSetting.iMinimum), durationText(clSetting.iMaximum));
    case Kind::Clock:
        return QStringLiteral("a date and time as %1").arg(CLOCK_FORMAT);
    }
    return QString();
}
