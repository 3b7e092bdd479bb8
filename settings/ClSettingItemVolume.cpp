#include "settings/ClSettingItemVolume.h"

#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"

#include <QSlider>

namespace {
constexpr qint64 PERCENT_MAXIMUM = 100;

// The top of the camera's volume scale.
qint64 cameraMaximum()
{
    static const qint64 llMaximum = ZkVocabulary::find(ZkSetting::SPEAKER_VOLUME)->iMaximum;
    return llMaximum;
}
} // namespace

ClSettingItemVolume::ClSettingItemVolume(const QString& strKey, QWidget* pclParent)
    : ClSettingItemSlider(strKey, QString(), pclParent)
{
    setRange(0, static_cast<int>(PERCENT_MAXIMUM));
    setValueLabelWidth(35);
    setUnit(QObject::tr("%"));
}

int ClSettingItemVolume::toCameraValue(int iPercent)
{
    // Integer arithmetic: the integer part of p / 100 x 64 without rounding error.
    return static_cast<int>(iPercent * cameraMaximum() / PERCENT_MAXIMUM);
}

int ClSettingItemVolume::toPercent(int iCameraValue)
{
    return static_cast<int>(iCameraValue * PERCENT_MAXIMUM / cameraMaximum());
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
