#include "updater/ClUpdateWidget.h"

#include "platform/ClPlatform.h"
#include "shell/ClDialogHelpers.h"
#include "updater/ClUpdate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

QSpacerItem* verticalSpacer()
{
    return new QSpacerItem(1, 1, QSizePolicy::Preferred, QSizePolicy::Expanding);
}

QSpacerItem* horizontalSpacer()
{
    return new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

} // namespace

ClUpdateWidget::ClUpdateWidget(QWidget* pclParent)
    : QWidget(pclParent)
{
    pclUpdate = new ClUpdate(this);
    connect(pclUpdate, &ClUpdate::sigError, this, &ClUpdateWidget::slotUpdateErr);
    pclUpdate->setConfirmHandler(
        [this](const QString& strQuestion) { return showQuestionDialog(this, strQuestion); });

    auto* pclLayout = new QVBoxLayout(this);
    pclLayout->addItem(verticalSpacer());

    pclLogoLabel = new QLabel(this);
    pclLogoLabel->setPixmap(QPixmap(QStringLiteral(":/img/vexa_trans"))
                                .scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pclLogoLabel->setAlignment(Qt::AlignCenter);
    pclLayout->addWidget(pclLogoLabel);

    pclLayout->addItem(verticalSpacer());

    auto* pclHintRow = new QHBoxLayout();
    pclHintRow->addItem(horizontalSpacer());
    pclHintLabel = new QLabel(
        tr("You must be connected to the Internet in order to make the upgrade of the tool."), this);
    pclHintLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pclHintRow->addWidget(pclHintLabel);
    pclHintRow->addItem(horizontalSpacer());
    pclLayout->addLayout(pclHintRow);

    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addItem(horizontalSpacer());
    pclUpgradeButton = new QPushButton(QObject::tr("Tool version upgrade"), this);
    connect(pclUpgradeButton, &QPushButton::clicked, this, &ClUpdateWidget::slotUpdate);
    pclButtonRow->addWidget(pclUpgradeButton);
    pclButtonRow->addItem(horizontalSpacer());
    pclLayout->addLayout(pclButtonRow);

    pclLayout->addItem(verticalSpacer());

    pclReturnButton = new QPushButton(QObject::tr("Return to top"), this);
    connect(pclReturnButton, &QPushButton::clicked, this, &ClUpdateWidget::sigReturn);
    pclLayout->addWidget(pclReturnButton, 0, Qt::AlignLeft);
}

ClUpdateWidget::~ClUpdateWidget() = default;

void ClUpdateWidget::slotUpdate()
{
    setEnabled(false);
    if (pclUpdate->isBusy())
        return; // the running check re-enables the page when it reports
    pclUpdate->requestUpdate({ QStringLiteral("-u"), ClPlatform::updateDescriptionPath() });
}

void ClUpdateWidget::slotUpdateErr(QString strErrString)
{
    if (!strErrString.isEmpty())
        showMessageDialog(this, strErrString);
    setEnabled(true);
}
