#include "settings/ClSettingPageWidget.h"

#include "camera/ClCommands.h"
#include "settings/AbstSettingItemWidget.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingItemRecBalance.h"
#include "settings/ClSettingItemSlider.h"
#include "settings/ClSettingItemVolume.h"
#include "settings/ClWheelGuard.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

// The combo box a row's control is or holds.
QComboBox* comboOf(QWidget* pclControl)
{
    if (auto* pclCombo = qobject_cast<QComboBox*>(pclControl))
        return pclCombo;
    return pclControl->findChild<QComboBox*>();
}

} // namespace

ClSettingPageWidget::ClSettingPageWidget(QWidget* pclParent)
    : ClNodeWidget(pclParent)
{
}

void ClSettingPageWidget::connectSettingItem(AbstSettingItemWidget* pclItem)
{
    connect(pclItem, &AbstSettingItemWidget::sigSettingChangedNotify, this,
        &ClSettingPageWidget::slotRecvSettingChangedNotify);
}

void ClSettingPageWidget::addSettingItem(QWidget* pclWidget)
{
    clItemList.append(pclWidget);
}

QLabel* ClSettingPageWidget::addLine(
    QVBoxLayout* pclLayout, const QString& strLabel, const QList<QWidget*>& clControls, Line eLine)
{
    auto* pclLabel = new QLabel(strLabel, this);
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

ClSettingPageWidget::ClItems ClSettingPageWidget::entryItems(const QList<stEntry>& clEntries)
{
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

void ClSettingPageWidget::buildRows(
    QVBoxLayout* pclLayout, const stRow* aclRows, size_t iCount, const char* pcContext)
{
    QList<QWidget*> clLine; // the controls of the line being built
    QList<const stRow*> clLineRows; // and their rows
    const stRow* pclLineRow = nullptr; // the row that labels it
    for (size_t i = 0; i < iCount; ++i) {
        const stRow& clRow = aclRows[i];
        QWidget* pclControl = createControl(clRow, pcContext);
        if (!pclControl)
            continue; // a kind the page does not make
        if (clRow.pcObjectName)
            pclControl->setObjectName(QLatin1String(clRow.pcObjectName));
        if (clRow.pfnMember)
            clRow.pfnMember(this, pclControl);
        ClWheelGuard::guard(pclControl);
        if (auto* pclItem = qobject_cast<AbstSettingItemWidget*>(pclControl))
            connectSettingItem(pclItem);
        if (clRow.bRegistered)
            addSettingItem(pclControl);
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
            addVersionItem(pclLineRow->strFirmware, pclLabel);
            for (QWidget* pclWidget : qAsConst(clLine))
                addVersionItem(pclLineRow->strFirmware, pclWidget);
        }
        clLine.clear();
        clLineRows.clear();
    }
}

void ClSettingPageWidget::nameForScreenReaders(QWidget* pclControl, const QString& strName)
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

QWidget* ClSettingPageWidget::createControl(const stRow& clRow, const char* pcContext)
{
    switch (clRow.eControl) {
    case Control::Combo: {
        auto* pclCombo = new ClSettingItemComboBox(clRow.strKey, this);
        const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(clRow.strKey);
        pclCombo->setItemList(
            entryItems(clRow.clEntries.isEmpty() && pclSetting ? pclSetting->clValues : clRow.clEntries));
        return pclCombo;
    }
    case Control::Slider:
    case Control::Balance: {
        const QString strText = QCoreApplication::translate(pcContext, clRow.pcText);
        ClSettingItemSlider* pclSlider = clRow.eControl == Control::Slider
            ? new ClSettingItemSlider(clRow.strKey, strText, this)
            : new ClSettingItemRecBalance(clRow.strKey, strText, this);
        if (const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(clRow.strKey))
            pclSlider->setRange(pclSetting->iMinimum, pclSetting->iMaximum);
        return pclSlider;
    }
    case Control::Volume:
        return new ClSettingItemVolume(clRow.strKey, this);
    default:
        return createPageControl(clRow);
    }
}

QWidget* ClSettingPageWidget::createPageControl(const stRow& clRow)
{
    Q_UNUSED(clRow)
    return nullptr;
}

QString ClSettingPageWidget::rowLabel(
    const stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey)
{
    for (size_t i = 0; i < iCount && !strKey.isEmpty(); ++i) {
        if (aclRows[i].strKey == strKey)
            return QCoreApplication::translate(
                pcContext, aclRows[i].pcName ? aclRows[i].pcName : aclRows[i].pcLabel);
    }
    return QString();
}

void ClSettingPageWidget::fillRow(const stRow& clRow, const ClAllSettings& clSettings)
{
    const Control eControl = clRow.eControl;
    if (clRow.strKey.isEmpty() || clRow.pfnMember == nullptr
        || (eControl != Control::Combo && eControl != Control::Slider && eControl != Control::Balance
            && eControl != Control::Volume))
        return;
    static_cast<AbstSettingItemWidget*>(clRow.pfnMember(this, nullptr))
        ->setValue(clSettings.value(clRow.strKey));
}

void ClSettingPageWidget::setSettingItemsEnable(bool bIsEnable)
{
    for (QWidget* pclWidget : qAsConst(clItemList))
        pclWidget->setEnabled(bIsEnable);
    if (bIsEnable)
        return;
    for (const QPointer<QDialog>& pclDialog : qAsConst(clGuardedDialogs)) {
        if (pclDialog && pclDialog->isVisible())
            pclDialog->reject();
    }
}

void ClSettingPageWidget::addGuardedDialog(QDialog* pclDialog)
{
    clGuardedDialogs.append(pclDialog);
}

void ClSettingPageWidget::addVersionItem(const QString& strVersion, QWidget* pclWidget)
{
    clVersionItemMap[strVersion].append(pclWidget);
}

qint64 ClSettingPageWidget::versionNumber(const QString& strVersion)
{
    QString strDigits = strVersion;
    strDigits.remove(QLatin1Char('.'));
    bool bOk = false;
    const qint64 llNumber = strDigits.toLongLong(&bOk, 10);
    return bOk ? llNumber : 0;
}

void ClSettingPageWidget::applyFirmwareVersion(const QString& strVersion)
{
    const qint64 llFirmware = versionNumber(strVersion);
    for (auto it = clVersionItemMap.cbegin(); it != clVersionItemMap.cend(); ++it) {
        const bool bSupported = llFirmware >= versionNumber(it.key());
        for (QWidget* pclWidget : it.value())
            pclWidget->setVisible(bSupported);
    }
}

void ClSettingPageWidget::applySettings(const ClAllSettings& clSettings)
{
    Q_UNUSED(clSettings)
}

void ClSettingPageWidget::recvResponse(ZK_CMD clCmd)
{
    if (zkError(clCmd) == ZkError::Success)
        recvSuccessResponse(clCmd);
    else
        recvErrorResponse(clCmd);
}

void ClSettingPageWidget::recvSuccessResponse(const ZK_CMD& clCmd)
{
    Q_UNUSED(clCmd)
}

void ClSettingPageWidget::recvErrorResponse(const ZK_CMD& clCmd)
{
    Q_UNUSED(clCmd)
    // Bring the controls back to what the camera really has.
    emit sigRequestGetSettings();
}

void ClSettingPageWidget::sendSettingRequest(const QString& strKey, const QVariant& clValue)
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::PARAM1, strKey);
    clCmd.insert(ZkKey::PARAM2, clValue);
    sendRequest(CMD_SET_SETTING, clCmd);
}

void ClSettingPageWidget::slotRecvSettingChangedNotify()
{
    auto* pclItem = qobject_cast<AbstSettingItemWidget*>(sender());
    if (!pclItem)
        return;
    sendSettingRequest(pclItem->getKey(), pclItem->getValue());
}
