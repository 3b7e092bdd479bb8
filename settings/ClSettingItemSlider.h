#pragma once

#include "settings/AbstSettingItemWidget.h"

class QLabel;
class QSlider;

// A setting shown as a horizontal slider with its value printed beside it. A change is reported
// only when the mouse button is released over the slider at a position other than the last one
// reported, so dragging sends one command, not one per step.
class ClSettingItemSlider : public AbstSettingItemWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingItemSlider)

public:
    // With a non-empty caption the row shows it above the slider line.
    ClSettingItemSlider(const QString& strKey, const QString& strCaption, QWidget* pclParent);

    void setRange(int iMinimum, int iMaximum);
    void setUnit(const QString& strUnit);

    QVariant getValue() override;
    void setValue(const QVariant& clValue) override;

    QSlider* slider() const { return pclSlider; }
    QLabel* valueLabel() const { return pclValueLabel; }

protected slots:
    virtual void slotUpdateValueDisplay(int iValue);

protected:
    bool eventFilter(QObject* pclWatched, QEvent* pclEvent) override;

    void setValueLabelWidth(int iWidth);
    void setValueText(const QString& strText);

    QSlider* pclSlider;
    QLabel* pclValueLabel;
    qint32 lLastValue = 0;
    QString strUnit;
};
