#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The values each camera setting takes, as the settings pages offer them: the one home of the
// pages' choices, the slider and interval limits and the checks kd4ctl makes before it sends
// anything. Values are the camera's own texts; their labels are source texts, translated where
// they are shown, in the context of the page that shows them, so the catalogues keep working.
namespace ZkVocabulary {

// How the camera writes its clock (the camera_clock setting): local time, to the second.
inline const QString CLOCK_FORMAT = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// How a value's label is shown.
enum class Label
{
    Translated, // pcText translated in pcContext
    Plain, // pcText as it is
    FramesPerSecond, // the number pcText, "fps", " : ", 10 and "frames" (units of the general context)
    Seconds, // the number pcText and "seconds" (general context)
    Minutes, // the number pcText and "minute" or "minutes" (general context)
};

// One value of a choice, with its label.
struct stValue
{
    QString strWire; // the camera's text
    const char* pcContext; // translation context of a Translated label
    const char* pcText; // label source text
    Label eLabel = Label::Translated;
};

// What a setting's values are.
enum class Kind
{
    Choice, // one of clValues
    Number, // a whole number from iMinimum to iMaximum, as decimal text
    Duration, // "hh:mm:ss", from iMinimum to iMaximum seconds
    Clock, // a date and time, "yyyy-MM-dd hh:mm:ss"
    Action, // a one-shot action, started by the value ZkValue::SET
};

struct stSetting
{
    QString strKey;
    Kind eKind;
    QList<stValue> clValues {};
    int iMinimum = 0;
    int iMaximum = 0;
};

// Every setting the settings pages offer, in the order of the pages (simple page first). The
// access point's texts, which change in a chain of their own, are not among them.
const QList<stSetting>& settings();
// The setting of that key; null for a key the pages do not offer.
const stSetting* find(const QString& strKey);
// Part of the camera's set-up: a choice, number or duration. The clock runs on by itself and an
// action is no state, so neither is.
bool isStored(const stSetting& clSetting);

// Keys the camera reports that are no setting of the pages: its state (battery, mains adapter,
// firmware, recording) and the stream settings the program manages itself.
QStringList reportedOnlyKeys();

// The value is one the setting takes.
bool accepts(const stSetting& clSetting, const QString& strValue);
// The values the setting takes, in words for a message: "auto, night, ..." or "a whole number
// from 0 to 10".
QString allowedText(const stSetting& clSetting);
} // namespace ZkVocabulary
