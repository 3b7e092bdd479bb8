#include "tools/screenshot/Shots.h"

#include "app/ClStartup.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace shots {

void prepare(const QString& strLang)
{
    QStandardPaths::setTestModeEnabled(true);
    // Port 9 on loopback: nothing answers there, and nothing leaves the machine.
    if (qEnvironmentVariableIsEmpty("KD4TOOL_CAMERA_ADDRESS"))
        qputenv("KD4TOOL_CAMERA_ADDRESS", "127.0.0.1:9");
    if (qEnvironmentVariableIsEmpty("KD4TOOL_UPDATE_URL"))
        qputenv("KD4TOOL_UPDATE_URL", "http://127.0.0.1:9/");
    ClStartup::installStyle();
    ClStartup::registerResources();
    ClStartup::loadTranslations(strLang);
    ClStartup::setAppearance();
    ClStartup::setIdentity();
}

bool save(QWidget* pclWidget, const QString& strPath)
{
    QApplication::processEvents();
    const bool bOk = pclWidget->grab().save(strPath);
    std::fprintf(stderr, "%s %s (%dx%d)\n", bOk ? "wrote" : "FAILED", qPrintable(strPath), pclWidget->width(),
        pclWidget->height());
    return bOk;
}

bool saveModal(const std::function<void()>& fnOpen, const QString& strPath)
{
    bool bOk = false;
    QTimer::singleShot(200, [&] {
        if (QWidget* pclDialog = QApplication::activeModalWidget()) {
            bOk = save(pclDialog, strPath);
            pclDialog->close();
        }
    });
    fnOpen();
    return bOk;
}

} // namespace shots
