#include "app/ClMainWidget.h"

#include "app/ClMainContentWidget.h"
#include "platform/ClQuitRequest.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>

ClMainWidget::ClMainWidget(QWidget* pclParent)
    : QWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);
    pclLayout->setContentsMargins(0, 0, 0, 0);
    pclContent = new ClMainContentWidget(this);
    pclLayout->addWidget(pclContent);
    setMaximumSize(pclContent->maximumSize());
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    // Opens at its largest, where the live picture has the camera's own 848 pixels of width; the
    // layout's size hint alone gives a cramped window with a thumbnail of a picture.
    resize(maximumSize());

    // Asked to end by the system: close like the user would, so the camera session is stopped,
    // then leave every event loop (an open dialog would otherwise keep the program running).
    if (QCoreApplication::instance()) {
        connect(ClQuitRequest::instance(), &ClQuitRequest::sigQuitRequested, this, [this] {
            if (bIsClosing)
                return;
            close();
            QCoreApplication::quit();
        });
    }
}

void ClMainWidget::closeEvent(QCloseEvent* pclEvent)
{
    // The camera is told first (waits at most 10 seconds for its answer), then the window goes.
    if (bIsClosing) {
        pclEvent->ignore();
        return;
    }
    bIsClosing = true;
    pclContent->stopSession();
    bIsClosing = false;
    QWidget::closeEvent(pclEvent);
}
