#include "settings/ClSettingRowBuilder.h"

#include "settings/AbstSettingItemWidget.h"
#include "settings/ClFirmwareGate.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingItemRecBalance.h"
#include "settings/ClSettingItemSlider.h"
#include "settings/ClSettingItemVolume.h"
#include "settings/ClWheelGuard.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

using SettingTable::Control;
using SettingTable::stEntry;
using SettingTable::stRow;

namespace {

// The combo box a row's control is or holds.
QComboBox* comboOf(QWidget* pclControl)
{
    if (auto* pclCombo = qobject_cast<QComboBox*>(pclControl))
        return pclCombo;
    return pclControl->findChild<QComboBox*>();
}

} // namespace

ClSettingRowBuilder::ClSettingRowBuilder(QWidget* pclPage, const char* pcContext, ClFirmwareGate& clGate)
    : pclPage(pclPage)
    , pcContext(pcContext)
    , clGate(clGate)
{
}

void ClSettingRowBuilder::build(QVBoxLayout* pclLayout, const stRow* aclRows, size_t iCount,
    const PageControlMaker& fnMakePageControl, const ControlTaker& fnTakeControl) const
{
    QList<QWidget*> clLine; // the controls of the line being built
    QList<const stRow*> clLineRows; // and their rows
    const stRow* pclLineRow = nullptr; // the row that labels it
    for (size_t i = 0; i < iCount; ++i) {
        const stRow& clRow = aclRows[i];
        QWidget* pclControl = createControl(clRow, fnMakePageControl);
        if (!pclControl)
            continue; // a kind the page does not make
        if (clRow.pcObjectName)
            pclControl->setObjectName(QLatin1String(clRow.pcObjectName));
        if (clRow.pfnMember)
            clRow.pfnMember(pclPage, pclControl);
        ClWheelGuard::guard(pclControl);
        fnTakeControl(clRow, pclControl);
        pclLineRow = clRow.pcLabel ? &clRow : pclLineRow;
        clLine.append(pclControl);
        clLineRows.append(&clRow);
        // A row without a label joins the line above; the label is made once the line is complete.
        if (i + 1 < iCount && !aclRows[i + 1].pcLabel)
            continue;

        const Control eControl = pclLineRow->eControl;
        QLabel* pclLabel
            = addLine(pclLayout, QCoreApplication::translate(pcContext, pclLineRow->pcLabel), clLine,
                eControl == Control::Slider       ? Line::Stacked
                    : eControl == Control::Volume ? Line::Spread
                                                  : Line::Beside);
        if (pclLineRow->pcLabelName)
            pclLabel->setObjectName(QLatin1String(pclLineRow->pcLabelName));
        for (int iControl = 0; iControl < clLine.size(); ++iControl) {
            const stRow& clControlRow = *clLineRows.at(iControl);
            const bool bCaptioned = clControlRow.pcText
                && (clControlRow.eControl == Control::Slider || clControlRow.eControl == Control::Balance);
            // Screen readers take a combo box's label from the label whose buddy it is.
            if (QComboBox* pclCombo = comboOf(clLine.at(iControl)); pclCombo && !pclLabel->buddy())
                pclLabel->setBuddy(pclCombo);
            nameForScreenReaders(clLine.at(iControl),
                bCaptioned ? pclLabel->text() + QStringLiteral(": ")
                        + QCoreApplication::translate(pcContext, clControlRow.pcText)
                           : pclLabel->text());
        }
        if (!pclLineRow->strFirmware.isEmpty()) {
            clGate.addWidget(pclLineRow->strFirmware, pclLabel);
            for (QWidget* pclWidget : qAsConst(clLine))
                clGate.addWidget(pclLineRow->strFirmware, pclWidget);
        }
        clLine.clear();
        clLineRows.clear();
    }
}

QString ClSettingRowBuilder::rowLabel(
    const stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey)
{
    for (size_t i = 0; i < iCount && !strKey.isEmpty(); ++i) {
        if (aclRows[i].strKey == strKey)
            return QCoreApplication::translate(
                pcContext, aclRows[i].pcName ? aclRows[i].pcName : aclRows[i].pcLabel);
    }
    return QString();
}

void ClSettingRowBuilder::fillRow(QWidget* pclPage, const stRow& clRow, const ClAllSettings& clSettings)
{
    const Control eControl = clRow.eControl;
    if (clRow.strKey.isEmpty() || clRow.pfnMember == nullptr
        || (eControl != Control::Combo && eControl != Control::Slider && eControl != Control::Balance
            && eControl != Control::Volume))
        return;
    static_cast<AbstSettingItemWidget*>(clRow.pfnMember(pclPage, nullptr))
        ->setValue(clSettings.value(clRow.strKey));
}

QWidget* ClSettingRowBuilder::createControl(
    const stRow& clRow, const PageControlMaker& fnMakePageControl) const
{
    switch (clRow.eControl) {
    case Control::Combo: {
        auto* pclCombo = new ClSettingItemComboBox(clRow.strKey, pclPage);
        const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(clRow.strKey);
        pclCombo->setItemList(
            entryItems(clRow.clEntries.isEmpty() && pclSetting ? pclSetting->clValues : clRow.clEntries));
        return pclCombo;
    }
    case Control::Slider:
    case Control::Balance: {
        const QString strText = QCoreApplication::translate(pcContext, clRow.pcText);
        ClSettingItemSlider* pclSlider = clRow.eControl == Control::Slider
            ? new ClSettingItemSlider(clRow.strKey, strText, pclPage)
            : new ClSettingItemRecBalance(clRow.strKey, strText, pclPage);
        if (const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(clRow.strKey))
            pclSlider->setRange(pclSetting->iMinimum, pclSetting->iMaximum);
        return pclSlider;
    }
    case Control::Volume:
        return new ClSettingItemVolume(clRow.strKey, pclPage);
    default:
        return fnMakePageControl(clRow);
    }
}

QLabel* ClSettingRowBuilder::addLine(
    QVBoxLayout* pclLayout, const QString& strLabel, const QList<QWidget*>& clControls, Line eLine) const
{
    auto* pclLabel = new QLabel(strLabel, pclPage);
    auto* pclRowLayout = new QHBoxLayout();
    pclRowLayout->addWidget(pclLabel, 0, eLine == Line::Stacked ? Qt::AlignTop : Qt::Alignment());
    if (eLine != Line::Beside)
        pclRowLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    if (eLine == Line::Stacked) {
        auto* pclStack = new QVBoxLayout();
        pclStack->setContentsMargins(0, 0, 0, 0);
        for (QWidget* pclControl : clControls)
            pclStack->addWidget(pclControl);
        pclRowLayout->addLayout(pclStack);
    } else {
        for (QWidget* pclControl : clControls)
            pclRowLayout->addWidget(pclControl);
    }
    pclLayout->addLayout(pclRowLayout);
    // Read before its controls by a screen reader walking the page; the label is made last.
    if (!clControls.isEmpty())
        pclLabel->stackUnder(clControls.first());
    return pclLabel;
}

void ClSettingRowBuilder::nameForScreenReaders(QWidget* pclControl, const QString& strName)
{
    // The row's label names what the user operates: the row itself and the combo box, slider or
    // button inside it (a combo box's value stays what it shows).
    QList<QWidget*> clOperated { pclControl };
    clOperated += pclControl->findChildren<QWidget*>();
    for (QWidget* pclWidget : qAsConst(clOperated)) {
        bool bInPopup = false; // a part of a combo box's popup
        for (QWidget* pclUp = pclWidget; pclUp != pclControl && !bInPopup; pclUp = pclUp->parentWidget())
            bInPopup = qobject_cast<QComboBox*>(pclUp->parentWidget()) != nullptr;
        if (bInPopup)
            continue;
        if (pclWidget == pclControl || qobject_cast<QComboBox*>(pclWidget)
            || qobject_cast<QAbstractSlider*>(pclWidget) || qobject_cast<QAbstractButton*>(pclWidget))
            pclWidget->setAccessibleName(strName);
    }
}

ClSettingRowBuilder::ClItems ClSettingRowBuilder::entryItems(const QList<stEntry>& clEntries)
{
    // The units are translated in the general context, as ZkVocabulary::Label has them.
    ClItems clItems;
    for (const stEntry& clEntry : clEntries) {
        const QString strText = QString::fromLatin1(clEntry.pcText);
        QString strShown;
        switch (clEntry.eLabel) {
        case ZkVocabulary::Label::Translated:
            strShown = QCoreApplication::translate(clEntry.pcContext, clEntry.pcText);
            break;
        case ZkVocabulary::Label::Plain:
            strShown = strText;
            break;
        case ZkVocabulary::Label::FramesPerSecond:
            strShown = strText + QObject::tr("fps") + QStringLiteral(" : ") + QString::number(10)
                + QObject::tr("frames");
            break;
        case ZkVocabulary::Label::Seconds:
            strShown = strText + QObject::tr("seconds");
            break;
        case ZkVocabulary::Label::Minutes:
            strShown
                = strText + (strText == QLatin1String("1") ? QObject::tr("minute") : QObject::tr("minutes"));
            break;
        }
        clItems.append(qMakePair(strShown, clEntry.strWire));
    }
    return clItems;
}
