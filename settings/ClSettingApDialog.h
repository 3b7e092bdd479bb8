#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Takes a new SSID and key for the camera's Wi-Fi access point. Only ASCII letters, digits,
// "@", "-" and "_" can be entered; OK needs an SSID and a key of at least 8 characters.
class ClSettingApDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingApDialog)

public:
    static constexpr int SSID_MAX_LENGTH = 32;
    static constexpr int KEY_MAX_LENGTH = 63;
    static constexpr int KEY_MIN_LENGTH = 8;

    ClSettingApDialog(const QString& strTitle, QWidget* pclParent);

    QString ssid() const;
    QString key() const;

public slots:
    // Starts empty every time, with OK disabled.
    int exec() override;

private slots:
    void slotValidate();

private:
    QLineEdit* pclSsidEdit;
    QLineEdit* pclKeyEdit;
    QPushButton* pclOkButton;
};
