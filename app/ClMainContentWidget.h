#pragma once

#include "ClNodeWidget.h"

class QStackedLayout;

// Root of the request routing tree and the main window's only child: a stack of pages, one shown
// at a time (0 the main page with live view and settings panel, 1 the update page).
class ClMainContentWidget : public ClNodeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClMainContentWidget)

public:
    explicit ClMainContentWidget(QWidget* pclParent = nullptr);

    // Ends the camera session before the window closes (waits at most 10 seconds).
    void stopSession();

private slots:
    void slotSetPage(int iPage);

private:
    // Builds the pages and inserts them into the page stack, main page first.
    void buildPages();

    QStackedLayout* pclPageStack = nullptr;
};
