#include "MainTestSupport.h"

#include "ClCurlLibrary.h"
#include "ClLiveWidget.h"
#include "ClMainContentWidget.h"
#include "ClSettingItemComboBox.h"
#include "ClSettingWidget.h"
#include "ClStartup.h"
#include "SettingsTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QStackedLayout>
#include <QTest>
#include <QToolBox>

namespace MainTest {

void initProcess()
{
    ClStartup::installStyle();
    ClStartup::registerResources();
    SettingsTest::initProcess();
    if (!ClCurlLibrary::load())
        qFatal("the HTTP library does not load");
}

std::unique_ptr<camsim::CamSim> startSim(int iPort)
{
    camsim::CamSim::Options clOptions;
    clOptions.port = iPort;
    clOptions.fps = 15.0;
    auto pclSim = std::make_unique<camsim::CamSim>(clOptions);
    if (!pclSim->start())
        return nullptr;
    pointProgramAt(QString::fromStdString(pclSim->address()));
    return pclSim;
}

void pointProgramAt(const QString& strAddress)
{
    qputenv("KD4TOOL_CAMERA_ADDRESS", strAddress.toLatin1());
}

int indexOf(const std::vector<camsim::LoggedMessage>& clLog, std::int64_t llMsgId, int iFrom)
{
    for (int i = qMax(0, iFrom); i < int(clLog.size()); ++i) {
        if (clLog[i].hasMsgId && clLog[i].msgId == llMsgId)
            return i;
    }
    return -1;
}

int lastIndexOf(const std::vector<camsim::LoggedMessage>& clLog, std::int64_t llMsgId, int iBefore)
{
    for (int i = qMin(iBefore, int(clLog.size())) - 1; i >= 0; --i) {
        if (clLog[i].hasMsgId && clLog[i].msgId == llMsgId)
            return i;
    }
    return -1;
}

QString msgIdText(const camsim::CamSim& clSim)
{
    QStringList clIds;
    for (std::int64_t llId : clSim.msgIds())
        clIds << QString::number(llId);
    return clIds.join(QLatin1Char(' '));
}

int framesAfter(const camsim::CamSim& clSim, std::int64_t llTimeMs)
{
    int iCount = 0;
    for (const camsim::FrameRequest& clFrame : clSim.frameRequests()) {
        if (clFrame.timeMs > llTimeMs && clFrame.status == 200)
            ++iCount;
    }
    return iCount;
}

int panelPage(ClSettingWidget* pclPanel)
{
    auto* pclStack = qobject_cast<QStackedLayout*>(pclPanel->layout());
    return pclStack ? pclStack->currentIndex() : -1;
}

QComboBox* combo(QWidget* pclRoot, const QString& strRowName)
{
    auto* pclRow = pclRoot->findChild<ClSettingItemComboBox*>(strRowName);
    return pclRow ? pclRow->comboBox() : nullptr;
}

QPushButton* connectButton(ClSettingWidget* pclPanel)
{
    return pclPanel->findChild<QPushButton*>(QStringLiteral("connectButton"));
}

void openTab(ClSettingWidget* pclPanel, const QString& strCaption)
{
    auto* pclToolBox = pclPanel->findChild<QToolBox*>(QStringLiteral("settingToolBox"));
    for (QAbstractButton* pclTab :
        pclToolBox->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (pclTab->text() == strCaption) {
            QTest::mouseClick(pclTab, Qt::LeftButton);
            return;
        }
    }
    qWarning("no tab %s", qPrintable(strCaption));
}

QImage liveShot(ClMainContentWidget* pclContent)
{
    return pclContent->liveWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool isBlank(const QImage& clShot)
{
    for (int y = 0; y < clShot.height(); ++y) {
        for (int x = 0; x < clShot.width(); ++x) {
            if (clShot.pixel(x, y) != qRgb(255, 255, 255))
                return false;
        }
    }
    return true;
}

int picturePixels(const QImage& clShot)
{
    int iCount = 0;
    for (int y = 0; y < clShot.height(); ++y) {
        for (int x = 0; x < clShot.width(); ++x) {
            const QRgb clPixel = clShot.pixel(x, y);
            if (clPixel != qRgb(255, 255, 255) && clPixel != qRgb(255, 0, 0))
                ++iCount;
        }
    }
    return iCount;
}

int noticePixels(const QImage& clShot)
{
    int iCount = 0;
    for (int y = 0; y < clShot.height(); ++y) {
        for (int x = 0; x < clShot.width(); ++x) {
            if (clShot.pixel(x, y) == qRgb(255, 0, 0))
                ++iCount;
        }
    }
    return iCount;
}

} // namespace MainTest
