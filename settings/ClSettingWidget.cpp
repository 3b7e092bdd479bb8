#include "settings/ClSettingWidget.h"

#include "camera/ClCommands.h"
#include "settings/ClDetailSettingWidget.h"
#include "settings/ClSimpleSettingWidget.h"
#include "shell/ClDialogHelpers.h"
#include "shell/ClStatusAnnouncer.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QPushButton>
#include <QSpacerItem>
#include <QStackedLayout>
#include <QToolBox>
#include <QVBoxLayout>

namespace {

// A row that centres its widget between two expanding spacers.
QHBoxLayout* centredRow(QWidget* pclWidget)
{
    auto* pclRow = new QHBoxLayout();
    pclRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pclRow->addWidget(pclWidget);
    pclRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    return pclRow;
}

} // namespace

ClSettingWidget::ClSettingWidget(QWidget* pclParent)
    : ClNodeWidget(pclParent)
    , pclPageStack(new QStackedLayout(this))
    , pclToolBox(new QToolBox(this))
    , pclSimpleSetting(new ClSimpleSettingWidget(this))
    , pclDetailSetting(new ClDetailSettingWidget(this))
{
    setFixedWidth(PANEL_WIDTH);
    pclPageStack->setContentsMargins(0, 0, 0, 0);
    pclToolBox->setObjectName(QStringLiteral("settingToolBox"));
    pclToolBox->layout()->setSpacing(0);
    pclToolBox->setContentsMargins(0, 0, 0, 0);
    pclSimpleSetting->setObjectName(QStringLiteral("simpleSetting"));
    pclDetailSetting->setObjectName(QStringLiteral("detailSetting"));

    addNode(pclSimpleSetting);
    addNode(pclDetailSetting);

    connect(pclSimpleSetting, &ClSimpleSettingWidget::sigChangeGridSetting, this,
        &ClSettingWidget::sigChangeGridSetting);
    connect(pclSimpleSetting, &ClSimpleSettingWidget::sigChangeRecordingResolurion, this,
        &ClSettingWidget::sigChangeRecordingResolurion);
    connect(
        pclDetailSetting, &ClDetailSettingWidget::sigRequestUpdate, this, &ClSettingWidget::sigRequestUpdate);
    connect(pclDetailSetting, &ClDetailSettingWidget::sigRequestStopSession, this,
        &ClSettingWidget::sigRequestStopSession);
    connect(pclSimpleSetting, &ClSettingPageWidget::sigRequestGetSettings, this,
        &ClSettingWidget::slotRequestSettings);
    connect(pclDetailSetting, &ClSettingPageWidget::sigRequestGetSettings, this,
        &ClSettingWidget::slotRequestSettings);

    // QToolBox puts each page into its own scroll area, so the long detail page scrolls inside
    // the main window's height instead of being cut off.
    pclToolBox->addItem(pclSimpleSetting, QIcon(), tr("Simple settings"));
    pclToolBox->addItem(pclDetailSetting, QIcon(), tr("Detail settings"));

    pclConnectPage = createConnectPage();
    pclPageStack->insertWidget(0, pclConnectPage);
    pclPageStack->insertWidget(1, pclToolBox);
    pclPageStack->setCurrentIndex(0);

    // The tab buttons get hover events so the style can light them up.
    for (QWidget* pclChild : pclToolBox->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        pclChild->setAttribute(Qt::WA_Hover);
}

QWidget* ClSettingWidget::createConnectPage()
{
    auto* pclPage = new QWidget(this);
    pclPage->setObjectName(QStringLiteral("connectPage"));

    auto* pclConnectLabel = new QLabel(tr("After confirming the network \nconnection of Vexa KD-4 and PC, "
                                          "\nplease click the button [Connect]."),
        pclPage);
    pclConnectLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* pclConnectButton = new QPushButton(tr("Connect"), pclPage);
    pclConnectButton->setObjectName(QStringLiteral("connectButton"));
    auto* pclUpdateLabel
        = new QLabel(tr("Please click [Update] to perform \nthe update of Vexa APP for PC."), pclPage);
    pclUpdateLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* pclUpdateButton = new QPushButton(QObject::tr("Tool version upgrade"), pclPage);
    pclUpdateButton->setObjectName(QStringLiteral("updateButton"));
    setSameWidth(pclConnectButton, pclUpdateButton);
    setSameWidth(pclConnectLabel, pclUpdateLabel);
    // Why the last connection failed or ended, and what to do; empty while there is nothing to say.
    pclConnectHint = new QLabel(pclPage);
    pclConnectHint->setObjectName(QStringLiteral("connectHint"));
    pclConnectHint->setWordWrap(true);
    pclConnectHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pclConnectHint->setFixedWidth(pclConnectLabel->width());
    QPalette clHintPalette = pclConnectHint->palette();
    clHintPalette.setColor(QPalette::WindowText, QColor(192, 0, 0));
    pclConnectHint->setPalette(clHintPalette);
    pclConnectHint->hide();

    auto* pclLayout = new QVBoxLayout(pclPage);
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
    pclLayout->addLayout(centredRow(pclConnectLabel));
    pclLayout->addLayout(centredRow(pclConnectButton));
    pclLayout->addLayout(centredRow(pclConnectHint));
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
    pclLayout->addLayout(centredRow(pclUpdateLabel));
    pclLayout->addLayout(centredRow(pclUpdateButton));

    connect(pclConnectButton, &QPushButton::clicked, this, &ClSettingWidget::slotRequestConnectCamera);
    connect(pclUpdateButton, &QPushButton::clicked, this, &ClSettingWidget::sigRequestUpdate);
    return pclPage;
}

void ClSettingWidget::slotSetSettingEnable(bool bIsEnable)
{
    pclConnectPage->setEnabled(bIsEnable);
    pclSimpleSetting->setSettingItemsEnable(bIsEnable);
    pclDetailSetting->setSettingItemsEnable(bIsEnable);
}

void ClSettingWidget::slotRequestConnectCamera()
{
    setConnectHint(QString());
    emit sigRequestConnectCamera();
}

void ClSettingWidget::setConnectHint(const QString& strHint)
{
    pclConnectHint->setText(strHint);
    pclConnectHint->setVisible(!strHint.isEmpty());
    // The focus may be anywhere (or on a page that just went): say why there is no session.
    ClStatusAnnouncer::announce(this, strHint);
}

void ClSettingWidget::showConnectFailed(int iErrCode)
{
    if (iErrCode == ZkError::Timeout)
        setConnectHint(tr("The camera did not answer in time. Move the PC closer to the camera, then "
                          "click [Connect] again."));
    else if (iErrCode == ZkError::TransferFailed || iErrCode == ZkError::NoHandle)
        setConnectHint(tr("No camera was found. Join the Wi-Fi network of Vexa KD-4 with this PC, then "
                          "click [Connect]."));
    else
        setConnectHint(tr("The camera refused the connection (error %1). Restart the camera's Wi-Fi, "
                          "then click [Connect] again.")
                           .arg(iErrCode));
}

void ClSettingWidget::showSessionLost()
{
    setConnectHint(tr("The connection to the camera was lost. Check the Wi-Fi connection of Vexa KD-4 "
                      "and this PC, then click [Connect]."));
}

void ClSettingWidget::slotRequestSettings()
{
    // A re-read asked for after the session ended (a failure message closed late) would go to a
    // camera that is gone and keep the session manager busy until it times out.
    if (pclPageStack->currentIndex() != 1)
        return;
    sendRequest(CMD_GET_ALL_SETTINGS);
}

void ClSettingWidget::recvResponse(ZK_CMD clCmd)
{
    if (zkCommand(clCmd) != CMD_GET_ALL_SETTINGS)
        return;
    // Without the camera's values the rows would go on showing what may not be so (a change the
    // camera refused, or one that never reached it): the session ends, as when the first read
    // fails.
    if (zkError(clCmd) != ZkError::Success) {
        emit sigEndSession();
        return;
    }
    applySettings(clCmd.value(ZkKey::PARAM1).toMap());
}

void ClSettingWidget::applySettings(const ClAllSettings& clSettings)
{
    pclSimpleSetting->applySettings(clSettings);
    pclDetailSetting->applySettings(clSettings);
}

void ClSettingWidget::showSettingPage(int iPage)
{
    if (iPage == 0) {
        emit pclDetailSetting->sigCloseDialog();
        pclToolBox->setCurrentWidget(pclSimpleSetting);
    }
    if (iPage == 1)
        setConnectHint(QString());
    pclPageStack->setCurrentIndex(iPage);
}

void ClSettingWidget::resetGridSetting()
{
    pclSimpleSetting->resetGrid();
}

void ClSettingWidget::syncCameraClock()
{
    pclDetailSetting->syncCameraClock();
}
