#include "updater/ClParseXmlNetwork.h"

#include <QDomElement>

namespace {

// The file may hold any number; only the proxy types Qt knows are passed on, anything else
// reads as 0 (the application's default proxy) like every other malformed number.
QNetworkProxy::ProxyType toProxyType(int iType)
{
    switch (iType) {
    case QNetworkProxy::Socks5Proxy:
    case QNetworkProxy::NoProxy:
    case QNetworkProxy::HttpProxy:
    case QNetworkProxy::HttpCachingProxy:
    case QNetworkProxy::FtpCachingProxy:
        return static_cast<QNetworkProxy::ProxyType>(iType);
    default:
        return QNetworkProxy::DefaultProxy;
    }
}

} // namespace

ClParseXmlNetwork::ClParseXmlNetwork() = default;

QNetworkProxy ClParseXmlNetwork::proxy() const
{
    QNetworkProxy clProxy(toProxyType(iProxyType), strProxyHost, usProxyPort);
    if (bAuthorizationUse && (!strUser.isEmpty() || !strPassword.isEmpty())) {
        clProxy.setUser(strUser);
        clProxy.setPassword(password());
    }
    return clProxy;
}

QString ClParseXmlNetwork::password() const
{
    if (strPasswordEncoding == QLatin1String("base64") && !strPassword.isEmpty())
        return QString::fromLocal8Bit(QByteArray::fromBase64(strPassword.toLocal8Bit()));
    return strPassword;
}

bool ClParseXmlNetwork::handleNode(const QDomNode& clNode)
{
    const QDomElement clElement = clNode.toElement();
    if (clElement.isNull())
        return true;

    const QString strTag = clElement.tagName();
    if (strTag == QLatin1String("proxysetting"))
        readProxySetting(clElement);
    else if (strTag == QLatin1String("authorization"))
        readAuthorization(clElement);
    else if (strTag == QLatin1String("sourceurl"))
        clSourceUrl = QUrl(clElement.text(), QUrl::TolerantMode);
    else if (strTag == QLatin1String("autoupdate"))
        bAutoUpdate = clElement.text() != QLatin1String("false");
    return true;
}

void ClParseXmlNetwork::readProxySetting(const QDomElement& clElement)
{
    // Document order matters: a later "use" undoes an empty "ip", "port" or "type" before it.
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        const QString strTag = clChild.tagName();
        const QString strText = clChild.text();
        if (strTag == QLatin1String("use")) {
            bProxyUse = strText != QLatin1String("false");
        } else if (strTag == QLatin1String("ip")) {
            strProxyHost = strText;
            if (strText.isEmpty())
                bProxyUse = false;
        } else if (strTag == QLatin1String("port")) {
            if (strText.isEmpty())
                bProxyUse = false;
            else
                usProxyPort = strText.toUShort(nullptr, 10);
        } else if (strTag == QLatin1String("type")) {
            if (strText.isEmpty())
                bProxyUse = false;
            else
                iProxyType = strText.toInt(nullptr, 10);
        } else if (strTag == QLatin1String("authorization")) {
            handleNode(clChild);
        }
    }
}

void ClParseXmlNetwork::readAuthorization(const QDomElement& clElement)
{
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        const QString strTag = clChild.tagName();
        if (strTag == QLatin1String("use")) {
            bAuthorizationUse = clChild.text() == QLatin1String("true");
        } else if (strTag == QLatin1String("user")) {
            strUser = clChild.text();
        } else if (strTag == QLatin1String("password")) {
            strPasswordEncoding = clChild.attribute(QStringLiteral("type"));
            strPassword = clChild.text();
        }
    }
}
