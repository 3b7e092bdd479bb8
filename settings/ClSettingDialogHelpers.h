#pragma once

class QDialog;
class QWidget;

// Removes the title bar's context-help button, which none of the settings dialogs use.
void removeContextHelpButton(QDialog* pclDialog);

// Width of a settings dialog: room for its title next to the application name in the title bar
// (plus 100 pixels for the frame buttons), but never narrower than its contents need.
int settingDialogWidth(const QDialog* pclDialog);
