#pragma once

#include "settings/AbstSettingItemWidget.h"

#include <QPointer>

class QDialog;
class QPushButton;

// A one-shot action: a button that opens a confirmation (if any) and, once it is accepted,
// reports the fixed value given at construction.
class ClSettingItemShowDialogButton : public AbstSettingItemWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingItemShowDialogButton)

public:
    // The dialog is not owned; without one the button reports at once.
    ClSettingItemShowDialogButton(const QString& strKey, const QString& strText, QDialog* pclDialog,
        const QVariant& clValue, QWidget* pclParent);

    QVariant getValue() override;
    void setValue(const QVariant& clValue) override;

    QPushButton* button() const { return pclButton; }

private slots:
    void slotShowDialog();

private:
    QVariant clValue;
    QPointer<QDialog> pclDialog;
    QPushButton* pclButton;
};
