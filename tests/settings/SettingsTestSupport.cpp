#include "SettingsTestSupport.h"

#include "ClNodeWidget.h"
#include "ClSettingsIdentity.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionSlider>
#include <QTest>

namespace SettingsTest {

void initProcess()
{
    // The "Sync time" preference must never reach the real user's settings.
    QStandardPaths::setTestModeEnabled(true);
    ClSettingsIdentity::setOrganizationName(QStringLiteral("Tavik"));
    ClSettingsIdentity::setApplicationName(QStringLiteral("VexaAPPforPC"));
    ClNodeWidget::registerMetaTypes();
    // A combo's popup ignores a release within one double-click interval of opening; keep the
    // wait short.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(100);
}

ClRequestLog::ClRequestLog(ClNodeWidget* pclRoot)
    : pclRoot(pclRoot)
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
    ZK_CMD clAnswer;
    clAnswer.insert(ZkKey::CMD, clRequest.value(ZkKey::CMD));
    clAnswer.insert(ZkKey::ID, clRequest.value(ZkKey::ID));
    clAnswer.insert(ZkKey::ERROR, iError);
    if (clParam1.isValid())
        clAnswer.insert(ZkKey::PARAM1, clParam1);
    pclRoot->routeResponse(clAnswer);
}

void answerSet(ClNodeWidget* pclRoot, const ZK_CMD& clRequest, int iError)
{
    answer(pclRoot, clRequest, iError, clRequest.value(ZkKey::PARAM1).toString());
}

ClModalDriver::ClModalDriver()
{
    clTimer.setInterval(10);
    connect(&clTimer, &QTimer::timeout, this, &ClModalDriver::poll);
    clTimer.start();
}

ClModalDriver::~ClModalDriver() = default;

void ClModalDriver::expect(Handler fnHandler)
{
    clHandlers.append(std::move(fnHandler));
}

void ClModalDriver::poll()
{
    auto* pclDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!pclDialog || !pclDialog->isVisible()) {
        pclCurrent = nullptr;
        return;
    }
    if (pclCurrent == pclDialog)
        return; // a handler left it open on purpose; do not handle the same opening twice
    pclCurrent = pclDialog;
    ++iDialogsSeen;
    if (!clHandlers.isEmpty()) {
        clHandlers.takeFirst()(pclDialog);
    } else {
        clMessages.append(labelText(pclDialog));
        pclDialog->accept();
    }
    // A dialog that is shown again (they are reused) is a new opening.
    if (!pclDialog->isVisible())
        pclCurrent = nullptr;
}

QString labelText(QWidget* pclDialog)
{
    QStringList clTexts;
    for (QLabel* pclLabel : pclDialog->findChildren<QLabel*>())
        clTexts.append(pclLabel->text());
    return clTexts.join(QLatin1Char('\n'));
}

void clickButton(QWidget* pclDialog, const QString& strObjectName)
{
    auto* pclButton = pclDialog->findChild<QPushButton*>(strObjectName);
    if (!pclButton) {
        qWarning("no button %s", qPrintable(strObjectName));
        return;
    }
    QTest::mouseClick(pclButton, Qt::LeftButton);
}

bool chooseComboEntry(QComboBox* pclCombo, const QString& strText)
{
    const int iIndex = pclCombo->findText(strText);
    if (iIndex < 0)
        return false;
    QTest::mouseClick(pclCombo, Qt::LeftButton);
    QAbstractItemView* pclView = pclCombo->view();
    if (!QTest::qWaitFor([&] { return pclView->isVisible(); }, 2000))
        return false;
    const QRect clRect = pclView->visualRect(pclView->model()->index(iIndex, pclCombo->modelColumn()));
    // The popup ignores a release that comes too soon after it opened (a click's own release).
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseMove(pclView->viewport(), clRect.center());
    QTest::mouseClick(pclView->viewport(), Qt::LeftButton, Qt::NoModifier, clRect.center());
    return QTest::qWaitFor([&] { return !pclView->isVisible(); }, 2000) && pclCombo->currentIndex() == iIndex;
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
