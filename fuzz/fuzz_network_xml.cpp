// The network settings file "network.xml", through the reader the update controller uses: update
// server URL, automatic update flag and the proxy with its login (Base64 password decoded).
#include "fuzz/FuzzSupport.h"

#include "updater/ClParseXmlNetwork.h"

#include <QByteArray>
#include <QNetworkProxy>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    kd4fuzz::startApplication(pArgc, pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QByteArray clData(reinterpret_cast<const char*>(pData), static_cast<int>(size));

    ClParseXmlNetwork clParser;
    kd4fuzz::onSmallStack([&] { clParser.parseData(clData); });
    clParser.sourceUrl().toString();
    clParser.isAutoUpdate();
    clParser.isProxyUse();
    const QNetworkProxy clProxy = clParser.proxy();
    const QNetworkProxy::ProxyType eType = clProxy.type();
    kd4fuzz::require(eType == QNetworkProxy::DefaultProxy || eType == QNetworkProxy::Socks5Proxy
            || eType == QNetworkProxy::NoProxy || eType == QNetworkProxy::HttpProxy
            || eType == QNetworkProxy::HttpCachingProxy || eType == QNetworkProxy::FtpCachingProxy,
        "the proxy type is one Qt knows");
    return 0;
}
