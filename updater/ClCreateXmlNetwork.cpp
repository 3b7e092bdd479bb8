#include "updater/ClCreateXmlNetwork.h"

#include <QNetworkProxy>

namespace {

QString boolText(bool bValue)
{
    return bValue ? QStringLiteral("true") : QStringLiteral("false");
}

// The proxy types the file can name, and the numbers written for them.
const struct
{
    const char* pcName;
    int iNumber;
} PROXY_TYPES[] = {
    { "Socks5", QNetworkProxy::Socks5Proxy },
    { "Http", QNetworkProxy::HttpProxy },
    { "HttpCaching", QNetworkProxy::HttpCachingProxy },
    { "FtpCaching", QNetworkProxy::FtpCachingProxy },
};

// The number written for a proxy type name; 0 for a name the file does not know.
int proxyTypeNumber(const QString& strType)
{
    for (const auto& clType : PROXY_TYPES) {
        if (strType == QLatin1String(clType.pcName))
            return clType.iNumber;
    }
    return 0;
}

} // namespace

ClCreateXmlNetwork::ClCreateXmlNetwork()
{
    clRoot = createElement(QStringLiteral("settings"), QDomNode());
}

QString ClCreateXmlNetwork::proxyTypeName(int iType)
{
    for (const auto& clType : PROXY_TYPES) {
        if (iType == clType.iNumber)
            return QLatin1String(clType.pcName);
    }
    return QString();
}

bool ClCreateXmlNetwork::addTextElement(
    const QString& strName, const QString& strText, QDomNode clParent, QDomElement* pclCreated)
{
    QDomElement clElement = createElement(strName, clParent);
    if (clElement.isNull() || !setText(clElement, strText))
        return false;
    if (pclCreated)
        *pclCreated = clElement;
    return true;
}

bool ClCreateXmlNetwork::writeNetwork(bool bProxyUse, const QString& strIp, const QString& strPort,
    const QString& strType, bool bAuthorizationUse, const QString& strUser, const QString& strPassword,
    const QString& strSourceUrl, bool bAutoUpdate)
{
    if (strSourceUrl.isEmpty())
        return false;

    const QDomElement clProxy = createElement(QStringLiteral("proxysetting"), clRoot);
    if (clProxy.isNull() || !addTextElement(QStringLiteral("use"), boolText(bProxyUse), clProxy))
        return false;
    if (!strIp.isEmpty() && !addTextElement(QStringLiteral("ip"), strIp, clProxy))
        return false;
    if (!strPort.isEmpty() && !addTextElement(QStringLiteral("port"), strPort, clProxy))
        return false;
    if (!strType.isEmpty()) {
        const int iType = proxyTypeNumber(strType);
        if (iType == 0 || !addTextElement(QStringLiteral("type"), QString::number(iType), clProxy))
            return false;
    }

    const QDomElement clAuthorization = createElement(QStringLiteral("authorization"), clProxy);
    if (clAuthorization.isNull()
        || !addTextElement(QStringLiteral("use"), boolText(bAuthorizationUse), clAuthorization))
        return false;
    if (!strUser.isEmpty() && !addTextElement(QStringLiteral("user"), strUser, clAuthorization))
        return false;
    if (!strPassword.isEmpty()) {
        QDomElement clPassword;
        const QString strEncoded = QString::fromLatin1(strPassword.toLocal8Bit().toBase64());
        if (!addTextElement(QStringLiteral("password"), strEncoded, clAuthorization, &clPassword)
            || !setAttribute(clPassword, QStringLiteral("type"), QStringLiteral("base64")))
            return false;
    }

    return addTextElement(QStringLiteral("sourceurl"), strSourceUrl, clRoot)
        && addTextElement(QStringLiteral("autoupdate"), boolText(bAutoUpdate), clRoot);
}
