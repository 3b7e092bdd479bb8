#pragma once

#include "settings/ClSettingPageWidget.h"

class ClSettingItemComboBox;

// The seven settings changed most often: the live view grid (a choice of this program only) and
// six camera settings.
class ClSimpleSettingWidget : public ClSettingPageWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSimpleSettingWidget)

public:
    explicit ClSimpleSettingWidget(QWidget* pclParent = nullptr);

    void resetGrid();
    QString getSettingLabel(const QString& strKey) const;
    void applySettings(const ClAllSettings& clSettings) override;

signals:
    void sigChangeRecordingResolurion(QString strResolution);
    void sigChangeGridSetting(QString eType);

protected slots:
    void slotRecvSettingChangedNotify() override;

protected:
    void recvSuccessResponse(const ZK_CMD& clCmd) override;
    void recvErrorResponse(const ZK_CMD& clCmd) override;

private:
    // The page's rows, in screen order.
    static const stRow ROWS[];

    ClSettingItemComboBox* pclGrid;
    ClSettingItemComboBox* pclAngle;
    ClSettingItemComboBox* pclWhiteBalance;
    ClSettingItemComboBox* pclTimer;
    ClSettingItemComboBox* pclWdr;
    ClSettingItemComboBox* pclExposure;
    ClSettingItemComboBox* pclResolution;
};
