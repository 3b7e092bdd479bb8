#include "app/ClMainContentWidget.h"

#include "liveview/ClLiveWidget.h"
#include "session/ClJpegFrameDecoder.h"
#include "session/ClKD4LiveCtrl.h"
#include "session/ClKD4Mgr.h"
#include "settings/ClSettingWidget.h"
#include "shell/ClDialogHelpers.h"
#include "updater/ClUpdateWidget.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalMapper>
#include <QStackedLayout>
#include <QStandardPaths>

namespace {

// Where a saved live picture goes unless the user says otherwise: the pictures folder (the home
// folder where there is none), named after the moment.
QString defaultFramePath()
{
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (strFolder.isEmpty() || !QDir(strFolder).exists())
        strFolder = QDir::homePath();
    return QDir(strFolder).filePath(
        QDateTime::currentDateTime().toString(QStringLiteral("'kd4-'yyyyMMdd-HHmmss'.jpg'")));
}

} // namespace

ClMainContentWidget::ClMainContentWidget(QWidget* pclParent)
    : ClNodeWidget(pclParent)
{
    // 1. Session manager, page stack and the main page.
    pclKD4Mgr = new ClKD4Mgr(this);
    pclPageStack = new QStackedLayout(this);
    pclPageStack->setContentsMargins(0, 0, 0, 0);
    pclPageStack->setSpacing(0);
    auto* pclMainPage = new QWidget(this);
    pclMainPage->setObjectName(QStringLiteral("mainPage"));
    auto* pclMainLayout = new QHBoxLayout(pclMainPage);
    pclMainLayout->setContentsMargins(0, 0, 0, 0);
    pclMainLayout->setSpacing(0);

    // 2. Live view and settings panel; the panel's requests and session ends climb through here.
    pclLiveWidget = new ClLiveWidget(pclMainPage);
    pclSettingWidget = new ClSettingWidget(pclMainPage);
    addNode(pclSettingWidget);

    // 3. The wiring between panel, session manager and live view, then the page's layout.
    connect(
        pclSettingWidget, &ClSettingWidget::sigChangeGridSetting, pclLiveWidget, &ClLiveWidget::slotSetGrid);
    connect(pclSettingWidget, &ClSettingWidget::sigChangeRecordingResolurion, pclKD4Mgr,
        &ClKD4Mgr::slotChangeRecordingResolution);
    connect(pclSettingWidget, &ClSettingWidget::sigRequestConnectCamera, this,
        &ClMainContentWidget::slotStartSession);
    connect(pclSettingWidget, &ClSettingWidget::sigRequestUpdate, this, &ClMainContentWidget::slotUpdate);
    connect(pclSettingWidget, &ClSettingWidget::sigRequestStopSession, this,
        &ClMainContentWidget::slotEscapeSession);
    connect(pclKD4Mgr, &ClKD4Mgr::sigRecvResponse, this, &ClMainContentWidget::slotRecvResponse);
    connect(this, &ClNodeWidget::sigSendRequest, pclKD4Mgr, &ClKD4Mgr::slotSendRequest);
    connect(pclKD4Mgr, &ClKD4Mgr::sigStartedSession, this, &ClMainContentWidget::slotStartedSession);
    connect(pclKD4Mgr, &ClKD4Mgr::sigEndSession, this, &ClMainContentWidget::slotFinishedSession);
    connect(
        pclKD4Mgr, &ClKD4Mgr::sigImage, pclLiveWidget, qOverload<const QImage&>(&ClLiveWidget::slotSetImage));
    // Frames shown smaller than they are are decoded at the size they are shown at.
    connect(pclLiveWidget, &ClLiveWidget::sigShownSizeChanged, this, &ClJpegFrameDecoder::setShownSize);
    connect(pclKD4Mgr, &ClKD4Mgr::sigRecordingState, pclLiveWidget, &ClLiveWidget::slotSetRecordState);
    connect(pclKD4Mgr, &ClKD4Mgr::sigBatteryState, pclLiveWidget, &ClLiveWidget::slotSetBattLv);
    connect(pclKD4Mgr, &ClKD4Mgr::sigProgressState, pclLiveWidget, &ClLiveWidget::slotSetVisibleIndicator);
    connect(pclKD4Mgr, &ClKD4Mgr::sigChangeSettingEnable, pclSettingWidget,
        &ClSettingWidget::slotSetSettingEnable);
    connect(pclKD4Mgr, &ClKD4Mgr::sigLiveStalled, pclLiveWidget, &ClLiveWidget::slotSetLiveStalled);
    connect(pclKD4Mgr, &ClKD4Mgr::sigConnectFailed, pclSettingWidget, &ClSettingWidget::showConnectFailed);
    connect(pclKD4Mgr, &ClKD4Mgr::sigPolledSettings, this, &ClMainContentWidget::slotPolledSettings);
    // A widget's request found the session gone on the camera: end it as any lost session.
    connect(this, &ClNodeWidget::sigEndSession, this, &ClMainContentWidget::slotLostSession);
    pclMainLayout->addWidget(pclLiveWidget);
    pclMainLayout->addWidget(pclSettingWidget);

    // 4. The update page; "Return to top" leads back to the main page.
    pclUpdateWidget = new ClUpdateWidget(this);
    auto* pclPageMapper = new QSignalMapper(this);
    pclPageMapper->setMapping(pclUpdateWidget, 0);
    connect(pclUpdateWidget, &ClUpdateWidget::sigReturn, pclPageMapper, qOverload<>(&QSignalMapper::map));
    connect(pclPageMapper, &QSignalMapper::mappedInt, this, &ClMainContentWidget::slotSetPage);

    // 5. Main page at index 0, update page at index 1.
    pclPageStack->insertWidget(0, pclMainPage);
    pclPageStack->insertWidget(1, pclUpdateWidget);

    // 6. As large as the live view and the panel side by side; the window takes the same limit.
    setMaximumSize(
        pclLiveWidget->maximumWidth() + pclSettingWidget->maximumWidth(), pclLiveWidget->maximumHeight());

    // 7. The main page first.
    pclPageStack->setCurrentIndex(0);

    // 8. Ctrl+S saves the live picture wherever the focus is in the window.
    auto* pclSaveShortcut = new QShortcut(QKeySequence::Save, this);
    pclSaveShortcut->setContext(Qt::WindowShortcut);
    connect(pclSaveShortcut, &QShortcut::activated, this, &ClMainContentWidget::slotSaveFrame);

    // 9. Connect once by itself, without the user pressing "Connect".
    pclKD4Mgr->startSession();
}

int ClMainContentWidget::currentPage() const
{
    return pclPageStack->currentIndex();
}

void ClMainContentWidget::stopSession()
{
    pclKD4Mgr->stopSession();
}

void ClMainContentWidget::resetToDisconnected()
{
    pclSettingWidget->showSettingPage(0);
    pclLiveWidget->clearView();
    pclSettingWidget->resetGridSetting();
}

void ClMainContentWidget::slotRecvResponse(ZK_CMD clCmd)
{
    routeResponse(clCmd);
}

void ClMainContentWidget::slotStartSession()
{
    pclKD4Mgr->startSession();
}

void ClMainContentWidget::slotEscapeSession()
{
    // The camera's link is already gone: drop the session here without a stop command.
    resetToDisconnected();
    pclKD4Mgr->escapeSession();
}

void ClMainContentWidget::slotStartedSession(ClAllSettings clSettings)
{
    pclSettingWidget->applySettings(clSettings);
    pclSettingWidget->showSettingPage(1);
    pclSettingWidget->syncCameraClock();
}

void ClMainContentWidget::slotFinishedSession()
{
    resetToDisconnected();
    pclSettingWidget->showSessionLost();
}

void ClMainContentWidget::slotLostSession()
{
    pclKD4Mgr->endSession();
}

void ClMainContentWidget::slotPolledSettings(ClAllSettings clSettings)
{
    // An open dialog is being filled in by the user (the interval, the access point): the next
    // poll brings the rows up to date instead.
    if (pclPageStack->currentIndex() != 0 || QApplication::activeModalWidget())
        return;
    pclSettingWidget->applySettings(clSettings);
}

void ClMainContentWidget::slotSetPage(int iPage)
{
    if (iPage >= 0 && iPage < pclPageStack->count())
        pclPageStack->setCurrentIndex(iPage);
}

void ClMainContentWidget::slotUpdate()
{
    // The update may end with the installer taking over: close the session with the camera first.
    pclPageStack->setCurrentIndex(1);
    pclKD4Mgr->stopSession();
    pclUpdateWidget->slotUpdate();
    resetToDisconnected();
}

void ClMainContentWidget::slotSaveFrame()
{
    // Taken at the key press: the picture goes on changing behind the file dialog.
    const QImage clShown = pclLiveWidget->isVisible() ? pclLiveWidget->shownFrame() : QImage();
    const QByteArray clBody = pclKD4Mgr->liveCtrl()->frameBody(clShown);
    if (clBody.isEmpty()) {
        showMessageDialog(window(), tr("There is no live picture to save."));
        return;
    }
    const QString strPath = QFileDialog::getSaveFileName(
        window(), tr("Save live picture"), defaultFramePath(), tr("JPEG images (*.jpg *.jpeg)"));
    if (strPath.isEmpty())
        return;
    // The file appears whole or not at all: the bytes go to a temporary file renamed at commit.
    QSaveFile clFile(strPath);
    if (clFile.open(QIODevice::WriteOnly) && clFile.write(clBody) == clBody.size() && clFile.commit())
        return;
    showMessageDialog(window(),
        tr("The live picture could not be saved as %1:\n%2")
            .arg(QDir::toNativeSeparators(strPath), clFile.errorString()));
}
