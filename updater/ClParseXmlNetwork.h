#pragma once

#include "updater/ClParseXml.h"

#include <QNetworkProxy>
#include <QUrl>

// Reader of the network settings file "network.xml": where the update server is and how to
// reach it. clear() is not overridden, so a value missing from a later file keeps the value
// read before.
class ClParseXmlNetwork : public ClParseXml
{
public:
    ClParseXmlNetwork();

    QUrl sourceUrl() const { return clSourceUrl; }
    bool isAutoUpdate() const { return bAutoUpdate; }
    bool isProxyUse() const { return bProxyUse; }
    // The proxy to use, with the login when one is configured (a Base64 password decoded).
    QNetworkProxy proxy() const;

    // The proxy settings as read, whether in use or not (to write them again).
    QString proxyHost() const { return strProxyHost; }
    quint16 proxyPort() const { return usProxyPort; }
    int proxyType() const { return iProxyType; }
    bool isAuthorizationUse() const { return bAuthorizationUse; }
    QString user() const { return strUser; }
    // The password as the proxy receives it: a Base64 one decoded.
    QString password() const;

protected:
    bool handleNode(const QDomNode& clNode) override;

private:
    void readProxySetting(const QDomElement& clElement);
    void readAuthorization(const QDomElement& clElement);

    QUrl clSourceUrl;
    bool bAutoUpdate = true;
    bool bProxyUse = false;
    int iProxyType = QNetworkProxy::HttpProxy;
    QString strProxyHost;
    quint16 usProxyPort = 3128;
    bool bAuthorizationUse = false;
    QString strUser;
    QString strPassword;
    QString strPasswordEncoding;
};
