#pragma once

#include "settings/ClSettingItemSlider.h"

// The speaker volume: 0 to 100 % on screen, 0 to 64 on the camera.
class ClSettingItemVolume : public ClSettingItemSlider
{
public:
    ClSettingItemVolume(const QString& strKey, QWidget* pclParent);

    QVariant getValue() override;
    void setValue(const QVariant& clValue) override;

    // Both conversions drop the fraction: 33 % is 21 on the camera (21.12), 21 is 32 % (32.8).
    static int toCameraValue(int iPercent);
    static int toPercent(int iCameraValue);
};
