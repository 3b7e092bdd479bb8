#pragma once

#include "settings/ClSettingPageWidget.h"

class ClInformationDialog;
class ClSettingApDialog;
class ClSettingIntervalDialog;
class ClSettingItemComboBox;
class ClSettingItemRecBalance;
class ClSettingItemShowDialogButton;
class ClSettingItemSlider;
class ClSettingItemVolume;
class QComboBox;
class QPushButton;

// The detailed settings: camera settings, settings changed through a dialog (interval time,
// access point), confirmed one-shot actions (network and camera initialize, SD format), the
// clock synchronisation preference and the information dialog.
class ClDetailSettingWidget : public ClSettingPageWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClDetailSettingWidget)

public:
    // Rows that older firmware does not know are hidden below this version.
    static const QString RECORDING_SETTINGS_VERSION;

    explicit ClDetailSettingWidget(QWidget* pclParent = nullptr);
    ~ClDetailSettingWidget() override;

    QString getSettingLabel(const QString& strKey) const;
    // Sets the camera's clock to this computer's time when the user wants it synchronised.
    void syncCameraClock();
    void applySettings(const ClAllSettings& clSettings) override;

signals:
    void sigRequestUpdate();
    void sigRequestStopSession();
    void sigCloseDialog();

protected slots:
    void slotRecvSettingChangedNotify() override;

protected:
    void recvSuccessResponse(const ZK_CMD& clCmd) override;
    void recvErrorResponse(const ZK_CMD& clCmd) override;

private slots:
    void slotConfirmApSetting();
    void slotConfirmIntervalSetting();
    void slotShowInformation();

private:
    // The page's rows, in screen order.
    static const stRow ROWS[];

    QWidget* createPageControl(const stRow& clRow) override;
    // What a confirmed one-shot action will do, said in its confirmation.
    static QString confirmationText(const QString& strKey);
    // A row button that runs pSlot when clicked.
    QPushButton* createSettingButton(const QString& strText, void (ClDetailSettingWidget::*pSlot)());

    ClSettingItemComboBox* pclPhotometry;
    ClSettingItemComboBox* pclDistortion;
    ClSettingItemComboBox* pclStabilization;
    ClSettingItemComboBox* pclImageRotation;
    ClSettingItemComboBox* pclShootingMode;
    ClSettingItemComboBox* pclBurstInterval;
    QPushButton* pclIntervalButton;
    ClSettingItemSlider* pclRecLevel;
    ClSettingItemRecBalance* pclRecBalance;
    ClSettingItemComboBox* pclAutoPowerOff;
    ClSettingItemComboBox* pclWifiAutoOff;
    QPushButton* pclApButton;
    ClSettingItemShowDialogButton* pclNetworkInit;
    ClSettingItemComboBox* pclRecDuration;
    ClSettingItemVolume* pclVolume;
    QComboBox* pclSyncTime;
    ClSettingItemShowDialogButton* pclFormat;
    ClSettingItemShowDialogButton* pclCameraInit;
    ClSettingIntervalDialog* pclIntervalDialog;
    ClSettingApDialog* pclApDialog;
    ClInformationDialog* pclInformationDialog;

    // What the user accepted in the access point dialog, sent step by step.
    QString strApSsid;
    QString strApKey;
};
