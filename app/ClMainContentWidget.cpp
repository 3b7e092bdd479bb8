#include "ClMainContentWidget.h"

#include <QStackedLayout>

ClMainContentWidget::ClMainContentWidget(QWidget* pclParent)
    : ClNodeWidget(pclParent)
{
    pclPageStack = new QStackedLayout(this);
    pclPageStack->setContentsMargins(0, 0, 0, 0);
    pclPageStack->setSpacing(0);

    buildPages();

    if (pclPageStack->count() > 0)
        pclPageStack->setCurrentIndex(0);
}

void ClMainContentWidget::buildPages()
{
    // The session manager, the main page (live view and settings panel with their wiring) and the
    // update page are created and inserted here, main page at index 0, update page at index 1.
}

void ClMainContentWidget::stopSession()
{
    // Nothing to stop until the session manager lives here.
}

void ClMainContentWidget::slotSetPage(int iPage)
{
    if (iPage >= 0 && iPage < pclPageStack->count())
        pclPageStack->setCurrentIndex(iPage);
}
