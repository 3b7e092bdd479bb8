#include "camera/ClCameraAddress.h"

#include <QByteArray>

QString ClCameraAddress::defaultAddress()
{
    return QStringLiteral("192.168.42.1");
}

QString ClCameraAddress::current()
{
    const QByteArray clOverride = qgetenv("KD4TOOL_CAMERA_ADDRESS").trimmed();
    if (!clOverride.isEmpty())
        return QString::fromUtf8(clOverride);
    return defaultAddress();
}
