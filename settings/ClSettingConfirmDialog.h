#pragma once

#include <QDialog>

// Asks before an irreversible action: the action is the window title, what it will do is said in
// the dialog, and the confirming button carries the action's name (OK when none is given).
class ClSettingConfirmDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingConfirmDialog)

public:
    ClSettingConfirmDialog(const QString& strTitle, QWidget* pclParent, const QString& strWhat = QString(),
        const QString& strAction = QString());
};
