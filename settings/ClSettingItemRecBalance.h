#pragma once

#include "settings/ClSettingItemSlider.h"

// The recording balance: shows the side ("L" or "R") and the distance from the centre.
class ClSettingItemRecBalance : public ClSettingItemSlider
{
public:
    ClSettingItemRecBalance(const QString& strKey, const QString& strCaption, QWidget* pclParent);

protected:
    void slotUpdateValueDisplay(int iValue) override;
};
