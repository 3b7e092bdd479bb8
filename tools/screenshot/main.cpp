// Saves a picture of the whole X screen, so a demo run under Xvfb leaves something to look at.
// Usage: kd4-screenshot <file.png> [width height]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication clApp(argc, argv);
    const QStringList clArgs = QCoreApplication::arguments();
    if (clArgs.size() < 2) {
        QTextStream(stderr) << "usage: kd4-screenshot <file.png> [width height]\n";
        return 2;
    }
    QScreen* pclScreen = QGuiApplication::primaryScreen();
    if (!pclScreen) {
        QTextStream(stderr) << "kd4-screenshot: no screen\n";
        return 1;
    }
    int iWidth = -1;
    int iHeight = -1;
    if (clArgs.size() >= 4) {
        iWidth = clArgs.at(2).toInt();
        iHeight = clArgs.at(3).toInt();
    }
    const QPixmap clShot = pclScreen->grabWindow(0, 0, 0, iWidth, iHeight);
    if (clShot.isNull() || !clShot.save(clArgs.at(1))) {
        QTextStream(stderr) << "kd4-screenshot: could not save " << clArgs.at(1) << "\n";
        return 1;
    }
    return 0;
}
