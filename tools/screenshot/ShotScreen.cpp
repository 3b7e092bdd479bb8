#include "tools/screenshot/Shots.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

namespace shots {

bool screen(const QString& strFile, int iWidth, int iHeight)
{
    QScreen* pclScreen = QGuiApplication::primaryScreen();
    if (!pclScreen) {
        QTextStream(stderr) << "kd4-screenshot: no screen\n";
        return false;
    }
    const QPixmap clShot = pclScreen->grabWindow(0, 0, 0, iWidth, iHeight);
    if (clShot.isNull() || !clShot.save(strFile)) {
        QTextStream(stderr) << "kd4-screenshot: could not save " << strFile << "\n";
        return false;
    }
    return true;
}

} // namespace shots
