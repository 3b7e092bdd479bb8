#include "settings/ClSettingItemSlider.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

ClSettingItemSlider::ClSettingItemSlider(const QString& strKey, const QString& strCaption, QWidget* pclParent)
    : AbstSettingItemWidget(strKey, pclParent)
    , pclSlider(new QSlider(Qt::Horizontal, this))
    , pclValueLabel(new QLabel(this))
{
    pclValueLabel->setFixedWidth(18);
    pclValueLabel->setContentsMargins(0, 0, 0, 0);
    pclValueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* pclLayout = new QVBoxLayout(this);
    if (!strCaption.isEmpty())
        pclLayout->addWidget(new QLabel(strCaption, this));
    auto* pclLine = new QHBoxLayout();
    pclLine->setSpacing(0);
    pclLine->addWidget(pclSlider);
    pclLine->addWidget(pclValueLabel);
    pclLayout->addLayout(pclLine);

    connect(pclSlider, &QSlider::valueChanged, this, &ClSettingItemSlider::slotUpdateValueDisplay);
    pclSlider->installEventFilter(this);
    slotUpdateValueDisplay(pclSlider->value());
}

void ClSettingItemSlider::setRange(int iMinimum, int iMaximum)
{
    pclSlider->setRange(iMinimum, iMaximum);
    slotUpdateValueDisplay(pclSlider->value());
}

void ClSettingItemSlider::setUnit(const QString& strUnit)
{
    this->strUnit = strUnit;
    slotUpdateValueDisplay(pclSlider->value());
}

QVariant ClSettingItemSlider::getValue()
{
    return pclSlider->value();
}

void ClSettingItemSlider::setValue(const QVariant& clValue)
{
    if (!clValue.canConvert<int>())
        return;
    lLastValue = clValue.toInt();
    pclSlider->setValue(lLastValue);
    slotUpdateValueDisplay(pclSlider->value());
}

void ClSettingItemSlider::slotUpdateValueDisplay(int iValue)
{
    setValueText(QString::number(iValue) + strUnit);
}

bool ClSettingItemSlider::eventFilter(QObject* pclWatched, QEvent* pclEvent)
{
    // Only watches: the slider still gets the release and finishes its own handling. Filters run
    // before a disabled widget drops its mouse events, so a disabled slider must not report.
    if (pclWatched == pclSlider && pclEvent->type() == QEvent::MouseButtonRelease && pclSlider->isEnabled()) {
        const qint32 lPosition = pclSlider->value();
        if (lPosition != lLastValue) {
            lLastValue = lPosition;
            emit sigSettingChangedNotify();
        }
    }
    return AbstSettingItemWidget::eventFilter(pclWatched, pclEvent);
}

void ClSettingItemSlider::setValueLabelWidth(int iWidth)
{
    pclValueLabel->setFixedWidth(iWidth);
}

void ClSettingItemSlider::setValueText(const QString& strText)
{
    pclValueLabel->setText(strText);
}
