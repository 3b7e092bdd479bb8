#include "tests/support/ClModalDriver.h"

#include "tests/support/WidgetSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace Kd4Test {

ClModalDriver::ClModalDriver(Answer eAnswer)
    : eAnswer(eAnswer)
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
    if (!pclDialog || !pclDialog->isVisible() || (fnLeaveOpen && fnLeaveOpen(pclDialog))) {
        pclCurrent = nullptr;
        return;
    }
    if (pclCurrent == pclDialog)
        return; // a handler left it open on purpose; do not handle the same opening twice
    pclCurrent = pclDialog;
    ++iDialogsSeen;
    if (!clHandlers.isEmpty()) {
        clHandlers.takeFirst()(pclDialog);
    } else if (auto* pclBox = qobject_cast<QMessageBox*>(pclDialog)) {
        clMessages.append(pclBox->text());
        pclBox->button(eAnswer == Accept ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    } else {
        clMessages.append(labelText(pclDialog));
        if (eAnswer == Accept)
            pclDialog->accept();
        else
            pclDialog->reject();
    }
    // A dialog that is shown again (they are reused) is a new opening.
    if (!pclDialog->isVisible())
        pclCurrent = nullptr;
}

} // namespace Kd4Test
