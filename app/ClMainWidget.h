#pragma once

#include <QWidget>

class ClMainContentWidget;
class QCloseEvent;

// The program's only top-level window: the content widget, nothing around it. Closing it ends
// the camera session first.
class ClMainWidget : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClMainWidget)

public:
    explicit ClMainWidget(QWidget* pclParent = nullptr);

    ClMainContentWidget* contentWidget() const { return pclContent; }

protected:
    void closeEvent(QCloseEvent* pclEvent) override;

private:
    ClMainContentWidget* pclContent = nullptr;
    // Inside the close: the camera is being told. A second close (or quit request) meanwhile would
    // end the program before the camera heard of it.
    bool bIsClosing = false;
};
