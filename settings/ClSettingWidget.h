#pragma once

#include "shell/ClNodeWidget.h"

class ClDetailSettingWidget;
class ClSimpleSettingWidget;
class QLabel;
class QStackedLayout;
class QToolBox;

// The right-hand column of the main page: a connect page while there is no camera session, the
// simple and detailed settings pages once there is one. Reads all settings on request and fills
// both pages, and enables or disables every setting control together.
class ClSettingWidget : public ClNodeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingWidget)

public:
    static constexpr int PANEL_WIDTH = 370;

    explicit ClSettingWidget(QWidget* pclParent = nullptr);

    void applySettings(const ClAllSettings& clSettings);
    // 0: the connect page (closing any open settings dialog), 1: the settings.
    void showSettingPage(int iPage);
    void resetGridSetting();
    void syncCameraClock();
    // Says on the connect page why there is no session, and what to do: the camera refused or
    // could not be reached (the start's "ERROR"), or an open session was lost.
    void showConnectFailed(int iErrCode);
    void showSessionLost();

signals:
    void sigChangeGridSetting(QString eType);
    void sigRequestConnectCamera();
    void sigChangeRecordingResolurion(QString strResolution);
    void sigRequestUpdate();
    void sigRequestStopSession();

public slots:
    void slotSetSettingEnable(bool bIsEnable);

protected:
    void recvResponse(ZK_CMD clCmd) override;

private slots:
    void slotRequestConnectCamera();
    void slotRequestSettings();

private:
    QWidget* createConnectPage();
    void setConnectHint(const QString& strHint);

    QStackedLayout* pclPageStack;
    QToolBox* pclToolBox;
    ClSimpleSettingWidget* pclSimpleSetting;
    ClDetailSettingWidget* pclDetailSetting;
    QWidget* pclConnectPage = nullptr;
    QLabel* pclConnectHint = nullptr;
};
