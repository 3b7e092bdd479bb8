#include "settings/ClIntervalSpinBox.h"

#include <QLineEdit>

ClIntervalSpinBox::ClIntervalSpinBox(QWidget* pclParent)
    : QSpinBox(pclParent)
{
    lineEdit()->setReadOnly(true);
    setFixedWidth(60);
    setAlignment(Qt::AlignCenter);
    setAccelerated(true);
}

QString ClIntervalSpinBox::textFromValue(int iValue) const
{
    // Always two digits ("05"), the way a time is read; the transient -1 and 60 are corrected at once.
    if (iValue < 0)
        return QString::number(iValue);
    return QStringLiteral("%1").arg(iValue, 2, 10, QLatin1Char('0'));
}
