#pragma once

#include "settings/AbstSettingItemWidget.h"

#include <QList>
#include <QPair>

class QComboBox;

// A setting shown as a choice among fixed values. Each entry carries the camera's wire value
// under Qt::UserRole and shows its own display text.
class ClSettingItemComboBox : public AbstSettingItemWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingItemComboBox)

public:
    ClSettingItemComboBox(const QString& strKey, QWidget* pclParent);

    // Replaces the entries: first of each pair the shown text, second the wire value.
    void setItemList(const QList<QPair<QString, QString>>& clItems);

    QVariant getValue() override;
    void setValue(const QVariant& clValue) override;

    QComboBox* comboBox() const { return pclComboBox; }

private:
    QComboBox* pclComboBox;
};
