#pragma once

#include "settings/ClFirmwareGate.h"
#include "settings/SettingTable.h"
#include "shell/ClNodeWidget.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

class AbstSettingItemWidget;
class QDialog;
class QVBoxLayout;

// Base of the settings pages: turns a row's change into one set-setting command, sorts the
// answers into success and failure and enables and disables the registered controls together. It
// builds its rows with ClSettingRowBuilder and hides controls the camera's firmware is too old
// for with ClFirmwareGate.
class ClSettingPageWidget : public ClNodeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingPageWidget)

public:
    explicit ClSettingPageWidget(QWidget* pclParent = nullptr);

    void connectSettingItem(AbstSettingItemWidget* pclItem);
    void addSettingItem(QWidget* pclWidget);
    // Disabling also closes the guarded dialogs: a change confirmed after the camera began to
    // record (or while a request is out) must not be sent.
    void setSettingItemsEnable(bool bIsEnable);
    // A dialog that confirms a change of a registered row (format, initialize, access point, ...).
    void addGuardedDialog(QDialog* pclDialog);
    // Gates pclWidget by the oldest firmware that knows it.
    void addVersionItem(const QString& strVersion, QWidget* pclWidget);
    // Shows the gated widgets the firmware knows and hides the others.
    void applyFirmwareVersion(const QString& strVersion);

    // Fills the page's controls from a settings snapshot; the base has nothing to fill.
    virtual void applySettings(const ClAllSettings& clSettings);

signals:
    void sigRequestGetSettings();

protected:
    // The page's table (SettingTable); the row builder lays it out.
    using stEntry = SettingTable::stEntry;
    using Control = SettingTable::Control;
    using stRow = SettingTable::stRow;

    // For a row's pfnMember: stores pclNew (if given) in the page's member pMember and gives back
    // what the member holds.
    template <auto pMember> static QWidget* member(QWidget* pclPage, QWidget* pclNew)
    {
        return keep(pMember, pclPage, pclNew);
    }
    // Builds the rows into pclLayout (ClSettingRowBuilder) and connects the setting rows and
    // registers the controls as they are made; the lines of newer firmware are gated.
    void buildRows(QVBoxLayout* pclLayout, const stRow* aclRows, size_t iCount, const char* pcContext);
    // Makes the control of a row whose kind only the page knows.
    virtual QWidget* createPageControl(const stRow& clRow);
    // The setting's name for failure messages (ClSettingRowBuilder::rowLabel).
    static QString rowLabel(
        const stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey);
    // Shows the snapshot's value in the row's control (ClSettingRowBuilder::fillRow).
    void fillRow(const stRow& clRow, const ClAllSettings& clSettings);

    void recvResponse(ZK_CMD clCmd) override;
    virtual void recvSuccessResponse(const ZK_CMD& clCmd);
    virtual void recvErrorResponse(const ZK_CMD& clCmd);
    virtual void sendSettingRequest(const QString& strKey, const QVariant& clValue);

protected slots:
    virtual void slotRecvSettingChangedNotify();

private:
    template <class Page, class T> static QWidget* keep(T* Page::*pMember, QWidget* pclPage, QWidget* pclNew)
    {
        auto* pclOwner = static_cast<Page*>(pclPage);
        if (pclNew)
            pclOwner->*pMember = static_cast<T*>(pclNew);
        return pclOwner->*pMember;
    }

    QList<QWidget*> clItemList;
    QList<QPointer<QDialog>> clGuardedDialogs;
    ClFirmwareGate clFirmwareGate;
};
