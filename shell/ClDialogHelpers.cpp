#include "shell/ClDialogHelpers.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

void showMessageDialog(QWidget* pclParent, const QString& strText)
{
    QDialog clDialog(pclParent);
    clDialog.setWindowFlags(clDialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* pclLayout = new QVBoxLayout(&clDialog);
    // A screen reader reads the message with the dialog, before the focused OK button.
    clDialog.setAccessibleDescription(strText);
    auto* pclLabel = new QLabel(strText, &clDialog);
    pclLabel->setContentsMargins(10, 10, 10, 10);
    pclLayout->addWidget(pclLabel);

    auto* pclButtonRow = new QHBoxLayout();
    pclButtonRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto* pclOk = new QPushButton(QObject::tr("OK"), &clDialog);
    QObject::connect(pclOk, &QPushButton::clicked, &clDialog, &QDialog::accept);
    pclButtonRow->addWidget(pclOk);
    pclLayout->addLayout(pclButtonRow);

    // Unattended runs (the start-up tests drive a real second process) set
    // KD4TOOL_AUTOACCEPT_DIALOGS: the dialog is shown, its text goes to stderr and it is accepted.
    if (qEnvironmentVariableIsSet("KD4TOOL_AUTOACCEPT_DIALOGS")) {
        QTimer::singleShot(0, &clDialog, [&clDialog, pclLabel] {
            std::fprintf(stderr, "%s\n", pclLabel->text().toUtf8().constData());
            std::fflush(stderr);
            clDialog.accept();
        });
    }
    clDialog.exec();
}

void setSameWidth(QWidget* pclFirst, QWidget* pclSecond)
{
    const int iWidth = qMax(pclFirst->sizeHint().width(), pclSecond->sizeHint().width());
    pclFirst->setFixedWidth(iWidth);
    pclSecond->setFixedWidth(iWidth);
}
