#include "settings/ClSettingIntervalDialog.h"

#include "camera/ZkSetting.h"
#include "camera/ZkVocabulary.h"
#include "settings/ClIntervalSpinBox.h"
#include "settings/ClSettingDialogHelpers.h"
#include "shell/ClDialogHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QStringList>
#include <QVBoxLayout>

namespace {

// The camera's limits of an interval (from 2 seconds to 24 hours), read when a dialog is at work,
// never during static initialisation.
int maxHours()
{
    return ZkVocabulary::find(ZkSetting::INTERVAL_TIME)->iMaximum / 3600;
}

int minSeconds()
{
    return ZkVocabulary::find(ZkSetting::INTERVAL_TIME)->iMinimum;
}

int readPart(const QString& strPart)
{
    bool bOk = false;
    const int iValue = strPart.toInt(&bOk, 10);
    return bOk ? iValue : 0;
}

} // namespace

ClSettingIntervalDialog::ClSettingIntervalDialog(const QString& strTitle, QWidget* pclParent)
    : QDialog(pclParent)
    , pclHourSpin(new ClIntervalSpinBox(this))
    , pclMinSpin(new ClIntervalSpinBox(this))
    , pclSecSpin(new ClIntervalSpinBox(this))
{
    removeContextHelpButton(this);
    setWindowTitle(strTitle);

    pclHourSpin->setObjectName(QStringLiteral("hourSpinBox"));
    pclMinSpin->setObjectName(QStringLiteral("minuteSpinBox"));
    pclSecSpin->setObjectName(QStringLiteral("secondSpinBox"));
    // -1 and 60 are one step past either end; the corrections fold them into the next field.
    pclHourSpin->setRange(0, maxHours());
    pclMinSpin->setRange(-1, 60);
    pclSecSpin->setRange(-1, 60);

    auto* pclTimeRow = new QHBoxLayout();
    pclTimeRow->setSpacing(2);
    pclTimeRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pclTimeRow->addWidget(pclHourSpin);
    pclTimeRow->addWidget(new QLabel(QStringLiteral(":"), this));
    pclTimeRow->addWidget(pclMinSpin);
    pclTimeRow->addWidget(new QLabel(QStringLiteral(":"), this));
    pclTimeRow->addWidget(pclSecSpin);
    pclTimeRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));

    auto* pclCancel = new QPushButton(QObject::tr("CANCEL"), this);
    pclCancel->setObjectName(QStringLiteral("cancelButton"));
    auto* pclOk = new QPushButton(QObject::tr("OK"), this);
    pclOk->setObjectName(QStringLiteral("okButton"));
    setSameWidth(pclCancel, pclOk);
    connect(pclCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(pclOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addWidget(pclCancel);
    pclButtonRow->addWidget(pclOk);

    auto* pclLayout = new QVBoxLayout(this);
    pclLayout->addLayout(pclTimeRow);
    pclLayout->addLayout(pclButtonRow);

    connect(pclHourSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
        &ClSettingIntervalDialog::slotCorrectHour);
    connect(pclMinSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
        &ClSettingIntervalDialog::slotCorrectMin);
    connect(pclSecSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
        &ClSettingIntervalDialog::slotCorrectSec);

    setFixedSize(settingDialogWidth(this), sizeHint().height());
}

void ClSettingIntervalDialog::setIntervalValue(const QVariant& clValue)
{
    if (!clValue.canConvert<QString>())
        return;
    clIntervalValue = clValue.toString();
    presetSpinBoxes(clIntervalValue.toString());
}

void ClSettingIntervalDialog::presetSpinBoxes(const QString& strValue)
{
    const QStringList clParts = strValue.split(QLatin1Char(':'));
    if (clParts.size() != 3)
        return;
    // Signals stay connected: each set is corrected at once.
    pclHourSpin->setValue(readPart(clParts.at(0)));
    pclMinSpin->setValue(readPart(clParts.at(1)));
    pclSecSpin->setValue(readPart(clParts.at(2)));
}

QVariant ClSettingIntervalDialog::getIntervalValue() const
{
    return QStringLiteral("%1:%2:%3")
        .arg(pclHourSpin->value(), 2, 10, QLatin1Char('0'))
        .arg(pclMinSpin->value(), 2, 10, QLatin1Char('0'))
        .arg(pclSecSpin->value(), 2, 10, QLatin1Char('0'));
}

int ClSettingIntervalDialog::exec()
{
    if (clIntervalValue.isValid()) {
        presetSpinBoxes(clIntervalValue.toString());
    } else {
        // Nothing given yet: forget a cancelled edit by going back to the untouched 00:00:00.
        const QSignalBlocker clBlockHour(pclHourSpin);
        const QSignalBlocker clBlockMin(pclMinSpin);
        const QSignalBlocker clBlockSec(pclSecSpin);
        pclHourSpin->setValue(0);
        pclMinSpin->setValue(0);
        pclSecSpin->setValue(0);
    }
    const int iResult = QDialog::exec();
    if (iResult == QDialog::Accepted)
        clIntervalValue = getIntervalValue();
    return iResult;
}

void ClSettingIntervalDialog::slotCorrectHour()
{
    const int iHour = pclHourSpin->value();
    const int iMin = pclMinSpin->value();
    const int iSec = pclSecSpin->value();
    const QSignalBlocker clBlockHour(pclHourSpin);
    const QSignalBlocker clBlockMin(pclMinSpin);
    const QSignalBlocker clBlockSec(pclSecSpin);
    if (iHour == maxHours()) {
        pclMinSpin->setValue(0);
        pclSecSpin->setValue(0);
    } else if (iHour == 0 && iMin == 0 && iSec < minSeconds()) {
        pclSecSpin->setValue(minSeconds());
    }
}

void ClSettingIntervalDialog::slotCorrectMin()
{
    const int iHour = pclHourSpin->value();
    const int iMin = pclMinSpin->value();
    const int iSec = pclSecSpin->value();
    bool bCarried = false;
    {
        const QSignalBlocker clBlockHour(pclHourSpin);
        const QSignalBlocker clBlockMin(pclMinSpin);
        const QSignalBlocker clBlockSec(pclSecSpin);
        if (iHour == maxHours() && iMin > 0) {
            pclMinSpin->setValue(0);
        } else if (iMin == -1) {
            if (iHour > 0) {
                pclHourSpin->setValue(iHour - 1);
                pclMinSpin->setValue(59);
            } else {
                pclMinSpin->setValue(0);
            }
        } else if (iMin == 60) {
            pclHourSpin->setValue(iHour + 1);
            pclMinSpin->setValue(0);
            bCarried = true;
        } else if (iHour == 0 && iMin == 0 && iSec < minSeconds()) {
            pclSecSpin->setValue(minSeconds());
        }
    }
    if (bCarried)
        slotCorrectHour();
}

void ClSettingIntervalDialog::slotCorrectSec()
{
    const int iHour = pclHourSpin->value();
    const int iMin = pclMinSpin->value();
    const int iSec = pclSecSpin->value();
    bool bCarried = false;
    {
        const QSignalBlocker clBlockHour(pclHourSpin);
        const QSignalBlocker clBlockMin(pclMinSpin);
        const QSignalBlocker clBlockSec(pclSecSpin);
        if (iHour == maxHours() && iSec > 0) {
            pclSecSpin->setValue(0);
            return;
        }
        if (iHour == 0 && iMin == 0 && iSec <= 1) {
            pclSecSpin->setValue(minSeconds());
            return;
        }
        if (iSec == -1) {
            pclSecSpin->setValue(59);
            pclMinSpin->setValue(iMin - 1);
            bCarried = true;
        } else if (iSec == 60) {
            pclMinSpin->setValue(iMin + 1);
            pclSecSpin->setValue(0);
            bCarried = true;
        }
    }
    if (bCarried)
        slotCorrectMin();
}
