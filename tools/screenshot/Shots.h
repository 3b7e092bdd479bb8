#pragma once

// What kd4-screenshot renders, one function per kind. Each writes PNG files into a folder and
// returns true when every picture was written. All but screen() render offscreen after prepare().

#include <QString>

#include <functional>

class QWidget;

namespace shots {

// The whole X screen, or its top-left iWidth x iHeight when both are positive, into one file.
bool screen(const QString& strFile, int iWidth, int iHeight);
// The main window, the shared message dialog and a gallery of every control the styles draw:
// window-<lang>, gallery-<lang>, gallery-zoom-<lang>, dialog-<lang>.
bool gallery(const QString& strDir, const QString& strLang);
// The main window connected to the camera simulator in each of its looks: <lang>-normal, -grid_*,
// -busy, -recording, -highspeed, -disconnected, -update.
bool mainWindow(const QString& strDir, const QString& strLang);
// The settings panel, its pages and its dialogs: <lang>-window-*, -panel-*, -detail-full, -dialog-*.
bool settings(const QString& strDir, const QString& strLang);
// The compiled-in pictures composed the way the styles compose them: preview, preview-2x,
// preview-overlays-2x.
bool resources(const QString& strDir);

// The program's start-up steps in the given language, with the preferences kept apart from the
// user's and the camera and update server on loopback unless the environment names others.
void prepare(const QString& strLang);
// Writes the widget as it paints itself and says so on standard error.
bool save(QWidget* pclWidget, const QString& strPath);
// Runs fnOpen, which opens a modal dialog, pictures the dialog and closes it.
bool saveModal(const std::function<void()>& fnOpen, const QString& strPath);

} // namespace shots
