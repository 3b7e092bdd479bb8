#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>

class QWidget;

// Hides the widgets of rows the camera's firmware is too old for. Each widget is gated by the
// oldest firmware that knows its row and stays shown until a version is known.
class ClFirmwareGate
{
    Q_DISABLE_COPY(ClFirmwareGate)

public:
    ClFirmwareGate() = default;

    void addWidget(const QString& strVersion, QWidget* pclWidget);
    // Shows the widgets the firmware knows and hides the others.
    void apply(const QString& strVersion) const;

    // Dotted firmware version as a number: the dots removed, anything not a number reads 0.
    static qint64 versionNumber(const QString& strVersion);

private:
    QMap<QString, QList<QWidget*>> clWidgetMap;
};
