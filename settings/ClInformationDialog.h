#pragma once

#include <QDialog>

class QLabel;

// Shows the camera firmware version, the tool version and the licence of the HTTP library, and
// offers the tool upgrade.
class ClInformationDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClInformationDialog)

public:
    explicit ClInformationDialog(QWidget* pclParent);

    void setFwVersion(const QString& strVersion);

signals:
    void sigRequestUpdate();

private:
    QLabel* pclToolVersionLabel;
    QLabel* pclFwVersionLabel;
};
