#pragma once

// Helpers for the tests of the assembled program: readable views of what the simulator logged, and
// looks at the main window the way a user sees it.

#include "tools/camsim/CamSim.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class ClMainContentWidget;
class ClSettingWidget;
class QComboBox;
class QPushButton;
class QWidget;

namespace MainTest {

// Process set-up shared by the tests: resources, style, isolated preferences, the HTTP library.
void initProcess();

// Positions in the simulator's message log.
int indexOf(const std::vector<camsim::LoggedMessage>& clLog, std::int64_t llMsgId, int iFrom = 0);
int lastIndexOf(const std::vector<camsim::LoggedMessage>& clLog, std::int64_t llMsgId, int iBefore);
// "257 3 259 ..." for failure messages.
QString msgIdText(const camsim::CamSim& clSim);
// Good frames (HTTP 200) requested after the given time on the simulator's clock.
int framesAfter(const camsim::CamSim& clSim, std::int64_t llTimeMs);

// The settings panel shows its settings (1) or its connect page (0).
int panelPage(ClSettingWidget* pclPanel);
QComboBox* combo(QWidget* pclRoot, const QString& strRowName);
QPushButton* connectButton(ClSettingWidget* pclPanel);

// The live view as drawn now.
QImage liveShot(ClMainContentWidget* pclContent);
// Every pixel white: no picture, no icons, no grid.
bool isBlank(const QImage& clShot);
// Pixels that are neither white nor the pure red of the high-speed notice: a picture is shown.
int picturePixels(const QImage& clShot);
// Pure red pixels: the high-speed notice's text.
int noticePixels(const QImage& clShot);

} // namespace MainTest
