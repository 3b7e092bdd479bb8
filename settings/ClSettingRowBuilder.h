#pragma once

#include "camera/ZK_CMD.h"
#include "settings/SettingTable.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

#include <functional>

class ClFirmwareGate;
class QLabel;
class QVBoxLayout;
class QWidget;

// Builds a page's row table into the page's layout: makes each row's control (the setting rows
// itself, the others through the page), keeps it in its member, lays out the lines with their
// labels, gives the controls the names a screen reader announces and gates the lines of newer
// firmware. Controls and labels are children of the page.
class ClSettingRowBuilder
{
    Q_DISABLE_COPY(ClSettingRowBuilder)

public:
    // Makes the control of a row whose kind only the page knows; null: a kind the page does not make.
    using PageControlMaker = std::function<QWidget*(const SettingTable::stRow& clRow)>;
    // Takes a row's control once it is made and kept, before the next row is built.
    using ControlTaker = std::function<void(const SettingTable::stRow& clRow, QWidget* pclControl)>;

    // Texts are translated in pcContext, the page's context.
    ClSettingRowBuilder(QWidget* pclPage, const char* pcContext, ClFirmwareGate& clGate);

    void build(QVBoxLayout* pclLayout, const SettingTable::stRow* aclRows, size_t iCount,
        const PageControlMaker& fnMakePageControl, const ControlTaker& fnTakeControl) const;

    // The setting's name for failure messages: the label (or name) of the row with the key;
    // empty for an empty or unknown key.
    static QString rowLabel(
        const SettingTable::stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey);
    // Shows the snapshot's value for the row's key in the control pclPage keeps for it, if the
    // row is a camera setting row (combo, sliders, volume); other rows are left as they are.
    static void fillRow(QWidget* pclPage, const SettingTable::stRow& clRow, const ClAllSettings& clSettings);

private:
    // Entries of a combo row: the text shown and the value sent.
    using ClItems = QList<QPair<QString, QString>>;

    // Where a line of the page puts its controls: right after the label, at the line's end, or
    // below each other at the line's end with the label at the top.
    enum class Line
    {
        Beside,
        Spread,
        Stacked,
    };

    QWidget* createControl(const SettingTable::stRow& clRow, const PageControlMaker& fnMakePageControl) const;
    // A line of the page: the label, then the controls.
    QLabel* addLine(
        QVBoxLayout* pclLayout, const QString& strLabel, const QList<QWidget*>& clControls, Line eLine) const;
    // Gives the row and the control inside it the accessible name a screen reader announces.
    static void nameForScreenReaders(QWidget* pclControl, const QString& strName);
    // The entries as shown.
    static ClItems entryItems(const QList<SettingTable::stEntry>& clEntries);

    QWidget* pclPage;
    const char* pcContext;
    ClFirmwareGate& clGate;
};
