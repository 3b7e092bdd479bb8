#include "tests/app/MainTestSupport.h"

#include "app/ClMainContentWidget.h"
#include "app/ClStartup.h"
#include "camera/ClCurlLibrary.h"
#include "liveview/ClLiveWidget.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingWidget.h"
#include "tests/support/WidgetSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QStackedLayout>

namespace MainTest {

void initProcess()
{
    ClStartup::installStyle();
    ClStartup::registerResources();
    Kd4Test::initProcess();
    if (!ClCurlLibrary::load())
        qFatal("the HTTP library does not load");
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

QImage liveShot(ClMainContentWidget* pclContent)
{
    return Kd4Test::grab(*pclContent->liveWidget());
}

namespace {

template <typename Pred> int countPixels(const QImage& clShot, Pred pred)
{
    int iCount = 0;
    for (int y = 0; y < clShot.height(); ++y) {
        for (int x = 0; x < clShot.width(); ++x)
            iCount += pred(clShot.pixel(x, y)) ? 1 : 0;
    }
    return iCount;
}

} // namespace

bool isBlank(const QImage& clShot)
{
    return countPixels(clShot, [](QRgb clPixel) { return clPixel != qRgb(255, 255, 255); }) == 0;
}

int picturePixels(const QImage& clShot)
{
    return countPixels(
        clShot, [](QRgb clPixel) { return clPixel != qRgb(255, 255, 255) && clPixel != qRgb(255, 0, 0); });
}

int noticePixels(const QImage& clShot)
{
    return countPixels(clShot, [](QRgb clPixel) { return clPixel == qRgb(255, 0, 0); });
}

} // namespace MainTest
