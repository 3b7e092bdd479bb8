#include "ClMainWidget.h"

#include "ClMainContentWidget.h"

#include <QCloseEvent>
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
}

void ClMainWidget::closeEvent(QCloseEvent* pclEvent)
{
    pclContent->stopSession();
    QWidget::closeEvent(pclEvent);
}
