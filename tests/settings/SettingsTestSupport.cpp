#include "tests/settings/SettingsTestSupport.h"

#include "shell/ClNodeWidget.h"
#include "tests/support/CommandRecords.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace SettingsTest {

ClRequestLog::ClRequestLog(ClNodeWidget* pclRoot)
{
    connect(pclRoot, &ClNodeWidget::sigSendRequest, this, [this](ZK_CMD clCmd) { clRequests.append(clCmd); });
}

QList<ZK_CMD> ClRequestLog::take()
{
    QList<ZK_CMD> clTaken;
    clTaken.swap(clRequests);
    return clTaken;
}

void answer(ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError, const QVariant& clParam1)
{
    pclRoot->routeResponse(Kd4Test::answerTo(clRequest, iError, clParam1));
}

void answerSet(ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError)
{
    answer(pclRoot, clRequest, iError, clRequest.value(ZkKey::PARAM1).toString());
}

void typeAccessPoint(QWidget* pclDialog, const QString& strSsid, const QString& strKey)
{
    QTest::keyClicks(pclDialog->findChild<QLineEdit*>(QStringLiteral("ssidEdit")), strSsid);
    QTest::keyClicks(pclDialog->findChild<QLineEdit*>(QStringLiteral("keyEdit")), strKey);
}

namespace {

QStyleOptionSlider sliderOption(QSlider* pclSlider)
{
    QStyleOptionSlider clOption;
    clOption.initFrom(pclSlider);
    clOption.subControls = QStyle::SC_None;
    clOption.activeSubControls = QStyle::SC_None;
    clOption.orientation = pclSlider->orientation();
    clOption.maximum = pclSlider->maximum();
    clOption.minimum = pclSlider->minimum();
    clOption.tickPosition = pclSlider->tickPosition();
    clOption.tickInterval = pclSlider->tickInterval();
    // The settings rows are horizontal and left to right.
    clOption.upsideDown = pclSlider->invertedAppearance();
    clOption.sliderPosition = pclSlider->sliderPosition();
    clOption.sliderValue = pclSlider->value();
    clOption.singleStep = pclSlider->singleStep();
    clOption.pageStep = pclSlider->pageStep();
    return clOption;
}

QPoint handleCentre(QSlider* pclSlider)
{
    const QStyleOptionSlider clOption = sliderOption(pclSlider);
    return pclSlider->style()
        ->subControlRect(QStyle::CC_Slider, &clOption, QStyle::SC_SliderHandle, pclSlider)
        .center();
}

void sendMove(QSlider* pclSlider, const QPoint& clPos)
{
    QMouseEvent clEvent(QEvent::MouseMove, clPos, pclSlider->mapToGlobal(clPos), Qt::NoButton, Qt::LeftButton,
        Qt::NoModifier);
    QApplication::sendEvent(pclSlider, &clEvent);
}

} // namespace

bool dragSliderTo(QSlider* pclSlider, int iValue)
{
    const QPoint clStart = handleCentre(pclSlider);
    QTest::mousePress(pclSlider, Qt::LeftButton, Qt::NoModifier, clStart);
    // Move along the slider like a hand would, until it shows the wanted value.
    QPoint clPos = clStart;
    bool bFound = pclSlider->value() == iValue;
    for (int x = 0; x < pclSlider->width() && !bFound; ++x) {
        clPos = QPoint(x, clStart.y());
        sendMove(pclSlider, clPos);
        bFound = pclSlider->value() == iValue;
    }
    QTest::mouseRelease(pclSlider, Qt::LeftButton, Qt::NoModifier, clPos);
    return bFound;
}

bool setSliderByUser(QSlider* pclSlider, int iValue)
{
    for (int i = 0; i < 1000 && pclSlider->value() != iValue; ++i) {
        const int iDistance = iValue - pclSlider->value();
        if (qAbs(iDistance) >= pclSlider->pageStep())
            QTest::keyClick(pclSlider, iDistance > 0 ? Qt::Key_PageUp : Qt::Key_PageDown);
        else
            QTest::keyClick(pclSlider, iDistance > 0 ? Qt::Key_Right : Qt::Key_Left);
    }
    clickSliderHandle(pclSlider);
    return pclSlider->value() == iValue;
}

void clickSliderHandle(QSlider* pclSlider)
{
    const QPoint clCentre = handleCentre(pclSlider);
    QTest::mousePress(pclSlider, Qt::LeftButton, Qt::NoModifier, clCentre);
    QTest::mouseRelease(pclSlider, Qt::LeftButton, Qt::NoModifier, clCentre);
}

} // namespace SettingsTest
