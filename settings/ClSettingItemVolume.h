#pragma once

#include "ClSettingItemSlider.h"

// The speaker volume: 0 to 100 % on screen, 0 to 64 on the camera.
class ClSettingItemVolume : public ClSettingItemSlider
{
public:
    ClSettingItemVolume(const QString& strKey, QWidget* pclParent);

    QVariant getValue() override;
    void setValue(const QVariant& clValue) override;

    // Both conversions drop the fraction, as the camera's own app does.
    static int toCameraValue(int iPercent);
    static int toPercent(int iCameraValue);
};
