#include "updater/ClUpdateServer.h"

#include <QByteArray>

QString ClUpdateServer::builtInUrl()
{
    return QStringLiteral("http://update.tavik.example/");
}

QString ClUpdateServer::url()
{
    QString strOverride = QString::fromUtf8(qgetenv("KD4TOOL_UPDATE_URL").trimmed());
    if (strOverride.isEmpty())
        return builtInUrl();
    // The description path is appended to the base as it is, so the base must end in "/".
    if (!strOverride.endsWith(QLatin1Char('/')))
        strOverride += QLatin1Char('/');
    return strOverride;
}
