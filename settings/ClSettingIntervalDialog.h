#pragma once

#include <QDialog>
#include <QVariant>

class ClIntervalSpinBox;

// Edits a time of hours, minutes and seconds, from 00:00:02 to 24:00:00. Stepping a field past
// its end carries into (or borrows from) the next one.
class ClSettingIntervalDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingIntervalDialog)

public:
    ClSettingIntervalDialog(const QString& strTitle, QWidget* pclParent);

    // "hh:mm:ss" as the camera gives it; stored as the value the next opening starts from.
    void setIntervalValue(const QVariant& clValue);
    QVariant getIntervalValue() const;

    ClIntervalSpinBox* hourSpinBox() const { return pclHourSpin; }
    ClIntervalSpinBox* minuteSpinBox() const { return pclMinSpin; }
    ClIntervalSpinBox* secondSpinBox() const { return pclSecSpin; }

public slots:
    int exec() override;

private slots:
    void slotCorrectHour();
    void slotCorrectMin();
    void slotCorrectSec();

private:
    void presetSpinBoxes(const QString& strValue);

    ClIntervalSpinBox* pclHourSpin;
    ClIntervalSpinBox* pclMinSpin;
    ClIntervalSpinBox* pclSecSpin;
    QVariant clIntervalValue;
};
