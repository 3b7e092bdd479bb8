#pragma once

#include "ClNodeWidget.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVariant>

class AbstSettingItemWidget;
class ClSettingItemComboBox;
class QLabel;
class QVBoxLayout;

// Base of the settings pages: turns a row's change into one set-setting command, sorts the
// answers into success and failure, enables and disables the registered controls together and
// hides controls the camera's firmware is too old for.
class ClSettingPageWidget : public ClNodeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingPageWidget)

public:
    explicit ClSettingPageWidget(QWidget* pclParent = nullptr);

    void connectSettingItem(AbstSettingItemWidget* pclItem);
    void addSettingItem(QWidget* pclWidget);
    void setSettingItemsEnable(bool bIsEnable);
    void addVersionItem(const QString& strVersion, QWidget* pclWidget);
    void applyFirmwareVersion(const QString& strVersion);

    // Fills the page's controls from a settings snapshot; the base has nothing to fill.
    virtual void applySettings(const ClAllSettings& clSettings);

signals:
    void sigRequestGetSettings();

protected:
    // Entries of a combo row: the text shown and the value sent.
    using ClItems = QList<QPair<QString, QString>>;

    // A line of the page: the label, then the control.
    QLabel* addLabeledRow(QVBoxLayout* pclLayout, const QString& strLabel, QWidget* pclControl);
    // A labelled combo row for the key, connected to the page.
    ClSettingItemComboBox* addComboRow(
        QVBoxLayout* pclLayout, const QString& strKey, const QString& strLabel, const ClItems& clItems);

    void recvResponse(ZK_CMD clCmd) override;
    virtual void recvSuccessResponse(const ZK_CMD& clCmd);
    virtual void recvErrorResponse(const ZK_CMD& clCmd);
    virtual void sendSettingRequest(const QString& strKey, const QVariant& clValue);

    // Dotted firmware version as a number: the dots removed, anything not a number reads 0.
    static qint64 versionNumber(const QString& strVersion);

protected slots:
    virtual void slotRecvSettingChangedNotify();

private:
    QList<QWidget*> clItemList;
    QMap<QString, QList<QWidget*>> clVersionItemMap;
};
