#include "ClCurlLibrary.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication clApp(argc, argv);
    if (!ClCurlLibrary::load()) {
        QMessageBox::critical(nullptr, QString(), QObject::tr("Failed to load library."));
        return -1;
    }
    QWidget clWindow;
    clWindow.setWindowTitle(QStringLiteral("Vexa APP for PC   Ver.01.00.005"));
    clWindow.resize(1218, 620);
    clWindow.show();
    return clApp.exec();
}
