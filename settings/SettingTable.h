#pragma once

#include "camera/ZkVocabulary.h"

#include <QList>
#include <QString>

class QWidget;

// A settings page as data: one row per line of the page, built in table order, which is their
// order on screen.
namespace SettingTable {

// One entry of a combo row in a page's table: the value sent and the source text of its label,
// translated when the row is built, after the catalogues are installed. The camera settings'
// entries come from the camera's vocabulary (ZkVocabulary); a row lists its own only when it
// is no camera setting.
using stEntry = ZkVocabulary::stValue;

// What a row of a page's table shows beside its label. The row builder makes the setting rows
// (combo, sliders, volume); the page makes the others.
enum class Control
{
    Combo,
    Slider,
    Balance,
    Volume,
    ConfirmButton,
    IntervalButton,
    ApButton,
    SyncTime,
    InformationButton,
};

// One row of a page's table. Labels, captions and button texts are source texts of the page's
// context.
struct stRow
{
    Control eControl;
    // Keeps the control in the page's member for it (ClSettingPageWidget::member<>); null: kept
    // nowhere. pclPage is the page the row is built on.
    QWidget* (*pfnMember)(QWidget* pclPage, QWidget* pclNew);
    QString strKey; // empty: not a camera setting
    const char* pcLabel; // null: the control joins the line of the row above
    QList<stEntry> clEntries {}; // empty: the vocabulary's values of strKey
    const char* pcText = nullptr; // slider caption or button text
    const char* pcName = nullptr; // the setting's name in failure messages, when not the label
    QString strFirmware {}; // oldest firmware that knows the row; empty: every firmware
    const char* pcObjectName = nullptr;
    const char* pcDialogName = nullptr;
    const char* pcLabelName = nullptr;
    bool bRegistered = true; // enabled and disabled together with the page's other settings
};

} // namespace SettingTable
