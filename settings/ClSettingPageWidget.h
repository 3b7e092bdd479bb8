#pragma once

#include "camera/ZkVocabulary.h"
#include "shell/ClNodeWidget.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVariant>

class AbstSettingItemWidget;
class QDialog;
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
    // Disabling also closes the guarded dialogs: a change confirmed after the camera began to
    // record (or while a request is out) must not be sent.
    void setSettingItemsEnable(bool bIsEnable);
    // A dialog that confirms a change of a registered row (format, initialize, access point, ...).
    void addGuardedDialog(QDialog* pclDialog);
    void addVersionItem(const QString& strVersion, QWidget* pclWidget);
    void applyFirmwareVersion(const QString& strVersion);

    // Fills the page's controls from a settings snapshot; the base has nothing to fill.
    virtual void applySettings(const ClAllSettings& clSettings);

signals:
    void sigRequestGetSettings();

protected:
    // Entries of a combo row: the text shown and the value sent.
    using ClItems = QList<QPair<QString, QString>>;

    // One entry of a combo row in a page's table: the value sent and the source text of its label,
    // translated when the row is built, after the catalogues are installed. The camera settings'
    // entries come from the camera's vocabulary (ZkVocabulary); a row lists its own only when it
    // is no camera setting.
    using stEntry = ZkVocabulary::stValue;

    // What a row of a page's table shows beside its label. The base makes the setting rows
    // (combo, sliders, volume); the page makes the others in createPageControl.
    enum class Control
    {
        Combo,
        Slider,
        Balance,
        Volume,
        ConfirmButton,
        IntervalButton,
        ApButton,
        SyncTime,
        InformationButton,
    };
    // One row of a page's table. Labels, captions and button texts are source texts of the page's
    // context; a page's rows are built in table order, which is their order on screen.
    struct stRow
    {
        Control eControl;
        // Keeps the control in the page's member for it (member<>); null: kept nowhere.
        QWidget* (*pfnMember)(ClSettingPageWidget* pclPage, QWidget* pclNew);
        QString strKey; // empty: not a camera setting
        const char* pcLabel; // null: the control joins the line of the row above
        QList<stEntry> clEntries {}; // empty: the vocabulary's values of strKey
        const char* pcText = nullptr; // slider caption or button text
        const char* pcName = nullptr; // the setting's name in failure messages, when not the label
        QString strFirmware {}; // oldest firmware that knows the row; empty: every firmware
        const char* pcObjectName = nullptr;
        const char* pcDialogName = nullptr;
        const char* pcLabelName = nullptr;
        bool bRegistered = true; // enabled and disabled together with the page's other settings
    };
    // For a row's pfnMember: stores pclNew (if given) in the page's member pMember and gives back
    // what the member holds.
    template <auto pMember> static QWidget* member(ClSettingPageWidget* pclPage, QWidget* pclNew)
    {
        return keep(pMember, pclPage, pclNew);
    }
    // Builds the rows into pclLayout: makes each control, keeps it in its member, connects the
    // setting rows, registers the control, lays out the lines and registers firmware gates.
    void buildRows(QVBoxLayout* pclLayout, const stRow* aclRows, size_t iCount, const char* pcContext);
    // Makes the control of a row whose kind only the page knows.
    virtual QWidget* createPageControl(const stRow& clRow);
    // The setting's name for failure messages: the label (or name) of the row with the key;
    // empty for an empty or unknown key.
    static QString rowLabel(
        const stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey);
    // Shows the snapshot's value for the row's key, if the row is a camera setting row (combo,
    // sliders, volume); other rows are left as they are.
    void fillRow(const stRow& clRow, const ClAllSettings& clSettings);

    void recvResponse(ZK_CMD clCmd) override;
    virtual void recvSuccessResponse(const ZK_CMD& clCmd);
    virtual void recvErrorResponse(const ZK_CMD& clCmd);
    virtual void sendSettingRequest(const QString& strKey, const QVariant& clValue);

    // Dotted firmware version as a number: the dots removed, anything not a number reads 0.
    static qint64 versionNumber(const QString& strVersion);

protected slots:
    virtual void slotRecvSettingChangedNotify();

private:
    template <class Page, class T>
    static QWidget* keep(T* Page::*pMember, ClSettingPageWidget* pclPage, QWidget* pclNew)
    {
        auto* pclOwner = static_cast<Page*>(pclPage);
        if (pclNew)
            pclOwner->*pMember = static_cast<T*>(pclNew);
        return pclOwner->*pMember;
    }
    QWidget* createControl(const stRow& clRow, const char* pcContext);
    // Gives the row and the control inside it the accessible name a screen reader announces.
    static void nameForScreenReaders(QWidget* pclControl, const QString& strName);
    // The entries as shown.
    static ClItems entryItems(const QList<stEntry>& clEntries);

    // Where a line of the page puts its controls: right after the label, at the line's end, or
    // below each other at the line's end with the label at the top.
    enum class Line
    {
        Beside,
        Spread,
        Stacked,
    };
    // A line of the page: the label, then the controls.
    QLabel* addLine(
        QVBoxLayout* pclLayout, const QString& strLabel, const QList<QWidget*>& clControls, Line eLine);

    QList<QWidget*> clItemList;
    QList<QPointer<QDialog>> clGuardedDialogs;
    QMap<QString, QList<QWidget*>> clVersionItemMap;
};
