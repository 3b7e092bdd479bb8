#pragma once

#include "updater/ClCreateXml.h"

// Writer of the network settings file "network.xml".
class ClCreateXmlNetwork : public ClCreateXml
{
public:
    ClCreateXmlNetwork();

    // Builds the whole tree under the "settings" root. strType is one of "Socks5", "Http",
    // "HttpCaching", "FtpCaching" or empty. False at once, leaving the document as it was, for an
    // empty source URL; false as soon as a part cannot be built or the type is unknown.
    bool writeNetwork(bool bProxyUse, const QString& strIp, const QString& strPort, const QString& strType,
        bool bAuthorizationUse, const QString& strUser, const QString& strPassword,
        const QString& strSourceUrl, bool bAutoUpdate);

    // The name writeNetwork takes for a QNetworkProxy::ProxyType number; empty for a number it
    // cannot write.
    static QString proxyTypeName(int iType);

private:
    bool addTextElement(
        const QString& strName, const QString& strText, QDomNode clParent, QDomElement* pclCreated = nullptr);

    QDomElement clRoot;
};
