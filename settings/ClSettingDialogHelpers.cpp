#include "settings/ClSettingDialogHelpers.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>

void removeContextHelpButton(QDialog* pclDialog)
{
    pclDialog->setWindowFlags(pclDialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

int settingDialogWidth(const QDialog* pclDialog)
{
    const QFontMetrics clMetrics = pclDialog->fontMetrics();
    const int iTitleWidth = clMetrics.horizontalAdvance(pclDialog->windowTitle())
        + clMetrics.horizontalAdvance(QCoreApplication::applicationName()) + 100;
    return qMax(iTitleWidth, pclDialog->sizeHint().width());
}
