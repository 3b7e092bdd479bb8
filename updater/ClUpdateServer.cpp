#include "ClUpdateServer.h"

#include <QByteArray>

QString ClUpdateServer::builtInUrl()
{
    return QStringLiteral("http://update.tavik.example/");
}

QString ClUpdateServer::url()
{
    const QByteArray clOverride = qgetenv("KD4TOOL_UPDATE_URL").trimmed();
    if (!clOverride.isEmpty())
        return QString::fromUtf8(clOverride);
    return builtInUrl();
}
