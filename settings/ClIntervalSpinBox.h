#pragma once

#include <QSpinBox>

// One field of the interval time. The value changes only by stepping (arrows, the up and down
// keys, the mouse wheel), never by typing, so the wrap-around corrections always see one step.
class ClIntervalSpinBox : public QSpinBox
{
public:
    explicit ClIntervalSpinBox(QWidget* pclParent);

protected:
    QString textFromValue(int iValue) const override;
};
