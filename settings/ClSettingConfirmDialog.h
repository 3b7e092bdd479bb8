#pragma once

#include <QDialog>

// Asks before an irreversible action; the question is the window title.
class ClSettingConfirmDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingConfirmDialog)

public:
    ClSettingConfirmDialog(const QString& strTitle, QWidget* pclParent);
};
