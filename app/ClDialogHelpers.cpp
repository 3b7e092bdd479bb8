#include "ClDialogHelpers.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

void showMessageDialog(QWidget* pclParent, const QString& strText)
{
    QDialog clDialog(pclParent);
    clDialog.setWindowFlags(clDialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* pclLayout = new QVBoxLayout(&clDialog);
    auto* pclLabel = new QLabel(strText, &clDialog);
    pclLabel->setContentsMargins(10, 10, 10, 10);
    pclLayout->addWidget(pclLabel);

    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto* pclOk = new QPushButton(QObject::tr("OK"), &clDialog);
    QObject::connect(pclOk, &QPushButton::clicked, &clDialog, &QDialog::accept);
    pclButtonRow->addWidget(pclOk);
    pclLayout->addLayout(pclButtonRow);

    clDialog.exec();
}

void setSameWidth(QWidget* pclFirst, QWidget* pclSecond)
{
    const int iWidth = qMax(pclFirst->sizeHint().width(), pclSecond->sizeHint().width());
    pclFirst->setFixedWidth(iWidth);
    pclSecond->setFixedWidth(iWidth);
}
