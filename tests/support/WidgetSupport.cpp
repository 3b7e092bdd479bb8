#include "tests/support/WidgetSupport.h"

#include "shell/ClNodeWidget.h"
#include "shell/ClSettingsIdentity.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTest>
#include <QToolBox>

namespace Kd4Test {

void isolatePreferences()
{
    QStandardPaths::setTestModeEnabled(true);
    ClSettingsIdentity::setOrganizationName(QStringLiteral("Tavik"));
    ClSettingsIdentity::setApplicationName(QStringLiteral("VexaAPPforPC"));
}

void initProcess()
{
    isolatePreferences();
    ClNodeWidget::registerMetaTypes();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(100);
}

bool showExposed(QWidget* pclWindow)
{
    pclWindow->show();
    return QTest::qWaitForWindowExposed(pclWindow);
}

QImage grab(QWidget& clWidget)
{
    return clWidget.grab().toImage().convertToFormat(QImage::Format_RGB32);
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

void openTab(QWidget* pclWidget, const QString& strCaption)
{
    auto* pclToolBox = qobject_cast<QToolBox*>(pclWidget);
    if (!pclToolBox)
        pclToolBox = pclWidget->findChild<QToolBox*>();
    for (QAbstractButton* pclTab :
        pclToolBox->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (pclTab->text() == strCaption) {
            QTest::mouseClick(pclTab, Qt::LeftButton);
            return;
        }
    }
    qWarning("no tab %s", qPrintable(strCaption));
}

bool tabTo(QWidget* pclTarget)
{
    for (int i = 0; i < 100 && QApplication::focusWidget() != pclTarget; ++i) {
        QWidget* pclFocus = QApplication::focusWidget();
        QTest::keyClick(pclFocus ? pclFocus : pclTarget->window(), Qt::Key_Tab);
    }
    return QApplication::focusWidget() == pclTarget;
}

QList<QWidget*> tabChain(QWidget* pclWindow)
{
    QList<QWidget*> clChain;
    for (int i = 0; i < 200; ++i) {
        QWidget* pclFocus = QApplication::focusWidget();
        QTest::keyClick(pclFocus ? pclFocus : pclWindow, Qt::Key_Tab);
        pclFocus = QApplication::focusWidget();
        if (!pclFocus || clChain.contains(pclFocus))
            break;
        clChain.append(pclFocus);
    }
    return clChain;
}

} // namespace Kd4Test
