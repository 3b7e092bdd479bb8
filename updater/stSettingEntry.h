#pragma once

#include <QString>

// One settings value named by the "settings" section of the update description.
struct stSettingEntry
{
    QString strKey;
    QString strApp;
    QString strScope;
    QString strIsAdd;
    QString strFormat;
    QString strValue;
};
