#pragma once

#include <QWidget>

class ClUpdate;
class QLabel;
class QPushButton;

// The update page: a button that checks for a newer tool, the controller's question before it
// downloads one and every message of the update controller in a dialog, and a way back to the
// main page.
class ClUpdateWidget : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClUpdateWidget)

public:
    explicit ClUpdateWidget(QWidget* pclParent = nullptr);
    ~ClUpdateWidget() override;

    ClUpdate* updateController() const { return pclUpdate; }
    QPushButton* upgradeButton() const { return pclUpgradeButton; }
    QPushButton* returnButton() const { return pclReturnButton; }

signals:
    void sigReturn();

public slots:
    // Disables the page and starts a check unless one is running already.
    void slotUpdate();
    void slotUpdateErr(QString strErrString);

private:
    ClUpdate* pclUpdate = nullptr;
    QLabel* pclLogoLabel = nullptr;
    QLabel* pclHintLabel = nullptr;
    QPushButton* pclUpgradeButton = nullptr;
    QPushButton* pclReturnButton = nullptr;
};
