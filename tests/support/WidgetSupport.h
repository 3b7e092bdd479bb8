#pragma once

// Set-up of the widget tests and the small acts a user performs on real widgets: pick a combo
// entry, click a dialog's button, open a tool box tab, show a window and wait for it.

#include <QImage>
#include <QList>
#include <QString>

class QComboBox;
class QWidget;

namespace Kd4Test {

// Keeps the preference store apart from the real user's, filed under the settings identity the
// tests expect ("Tavik", "VexaAPPforPC").
void isolatePreferences();
// Process set-up of a widget test: isolated preferences, the command records' meta-types, and a
// short double-click interval (a combo's popup ignores a release within one interval of opening).
void initProcess();

// Shows a window and waits until it is on screen.
bool showExposed(QWidget* pclWindow);
// The widget as it paints itself, opaque 32-bit pixels.
QImage grab(QWidget& clWidget);

// Texts of the labels of a dialog, joined with newlines.
QString labelText(QWidget* pclDialog);
// Clicks a dialog's push button by its object name.
void clickButton(QWidget* pclDialog, const QString& strObjectName);
// Opens the combo's popup with the mouse and clicks the entry with the given text.
bool chooseComboEntry(QComboBox* pclCombo, const QString& strText);
// Presses Tab in the focused window until the widget has the focus (at most 100 times).
bool tabTo(QWidget* pclTarget);
// The widgets Tab reaches from the window's first control on, in order, until it comes round.
QList<QWidget*> tabChain(QWidget* pclWindow);
// Clicks the tab with the given caption of the tool box (pclWidget itself or the one inside it).
void openTab(QWidget* pclWidget, const QString& strCaption);

} // namespace Kd4Test
