#include "camera/ZK_CMD.h"

#include <QMetaType>

#include <mutex>

void zkRegisterMetaTypes()
{
    static std::once_flag clOnce;
    std::call_once(clOnce, [] {
        qRegisterMetaType<ZK_CMD>("ZK_CMD");
        qRegisterMetaType<ClAllSettings>("ClAllSettings");
        qRegisterMetaType<QPair<QString, QString>>();
        qRegisterMetaType<QList<QPair<QString, QString>>>();
        qRegisterMetaType<ClNotifyList>("ClNotifyList");
    });
}
