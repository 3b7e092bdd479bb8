#include "ClSettingItemVolume.h"

#include <QSlider>

namespace {
constexpr qint64 llCameraMaximum = 64;
constexpr qint64 llPercentMaximum = 100;
} // namespace

ClSettingItemVolume::ClSettingItemVolume(const QString& strKey, QWidget* pclParent)
    : ClSettingItemSlider(strKey, QString(), pclParent)
{
    setRange(0, static_cast<int>(llPercentMaximum));
    setValueLabelWidth(35);
    setUnit(QObject::tr("%"));
}

int ClSettingItemVolume::toCameraValue(int iPercent)
{
    // Integer arithmetic: the integer part of p / 100 x 64 without rounding error.
    return static_cast<int>(iPercent * llCameraMaximum / llPercentMaximum);
}

int ClSettingItemVolume::toPercent(int iCameraValue)
{
    return static_cast<int>(iCameraValue * llPercentMaximum / llCameraMaximum);
}

QVariant ClSettingItemVolume::getValue()
{
    return toCameraValue(pclSlider->value());
}

void ClSettingItemVolume::setValue(const QVariant& clValue)
{
    if (!clValue.canConvert<int>())
        return;
    // lLastValue stays the position last reported by the row itself.
    pclSlider->setValue(toPercent(clValue.toInt()));
    slotUpdateValueDisplay(pclSlider->value());
}
