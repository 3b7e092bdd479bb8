#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// One row of a settings page standing for one camera setting: it shows a value read from the
// camera, gives back the value the user chose and tells its page when the user changed it.
class AbstSettingItemWidget : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(AbstSettingItemWidget)

public:
    // Every row is 150 pixels wide so the controls of a page line up.
    static constexpr int ROW_WIDTH = 150;

    AbstSettingItemWidget(const QString& strKey, QWidget* pclParent);

    // Gives a row's button or combo box the settings-row style: its own style instance, owned by
    // the control (QWidget::setStyle does not take ownership).
    static void applyRowStyle(QWidget* pclControl);

    // The camera setting key; empty for a row that is not a camera setting.
    QString getKey() const;

    virtual QVariant getValue() = 0;
    virtual void setValue(const QVariant& clValue) = 0;

signals:
    void sigSettingChangedNotify();

protected:
    QString strKey;
};
