#include "tests/updater/TestUpdateServer.h"

#include <QByteArray>

#include <httplib.h>

#include <chrono>
#include <thread>

namespace {

// Where an endless answer stops after all, should the client never hang up.
constexpr size_t ENDLESS_LIMIT = 64 * 1024 * 1024;

} // namespace

TestUpdateServer::TestUpdateServer()
{
    install();
}

TestUpdateServer::TestUpdateServer(X509* pCert, EVP_PKEY* pKey)
    : clServer(std::make_unique<httplib::SSLServer>(pCert, pKey))
    , bHttps(true)
{
    install();
}

TestUpdateServer::~TestUpdateServer()
{
    bStopping = true;
    clServer.stop();
}

void TestUpdateServer::install()
{
    clServer.server().set_keep_alive_max_count(100);
    clServer.server().Get(".*", [this](const httplib::Request& clRequest, httplib::Response& clResponse) {
        handle(clRequest, clResponse);
    });
    clServer.start();
}

QString TestUpdateServer::baseUrl() const
{
    return QStringLiteral("%1://127.0.0.1:%2/")
        .arg(bHttps ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(clServer.port());
}

void TestUpdateServer::setResource(const std::string& strPath, const stResource& clResource)
{
    const std::lock_guard<std::mutex> clLock(clMutex);
    clResources[strPath] = clResource;
}

void TestUpdateServer::setResource(const std::string& strPath, const std::string& strBody)
{
    stResource clResource;
    clResource.strBody = strBody;
    setResource(strPath, clResource);
}

QStringList TestUpdateServer::requests() const
{
    const std::lock_guard<std::mutex> clLock(clMutex);
    return clRequests;
}

QStringList TestUpdateServer::proxyLogins() const
{
    const std::lock_guard<std::mutex> clLock(clMutex);
    return clProxyLogins;
}

bool TestUpdateServer::sleepUnlessStopping(int iMilliseconds) const
{
    const auto clEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(iMilliseconds);
    while (std::chrono::steady_clock::now() < clEnd) {
        if (bStopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !bStopping;
}

void TestUpdateServer::handle(const httplib::Request& clRequest, httplib::Response& clResponse)
{
    std::string strPath = clRequest.path;
    {
        const std::lock_guard<std::mutex> clLock(clMutex);
        clRequests.append(QString::fromStdString(clRequest.target));
        const std::string strLogin = clRequest.get_header_value("Proxy-Authorization");
        if (strLogin.rfind("Basic ", 0) == 0)
            clProxyLogins.append(
                QString::fromUtf8(QByteArray::fromBase64(QByteArray::fromStdString(strLogin.substr(6)))));
    }
    if (bRequireProxyLogin && !clRequest.has_header("Proxy-Authorization")) {
        clResponse.status = 407;
        clResponse.set_header("Proxy-Authenticate", "Basic realm=\"kd4test\"");
        // Not a compressible type: Qt 5.15 leaks the inflater of a compressed 407 body it skips.
        clResponse.set_content("proxy login required", "application/octet-stream");
        return;
    }
    // A proxy receives "http://host:port/path": serve it by its path.
    const size_t uScheme = strPath.find("://");
    if (uScheme != std::string::npos) {
        const size_t uSlash = strPath.find('/', uScheme + 3);
        strPath = uSlash == std::string::npos ? std::string("/") : strPath.substr(uSlash);
    }

    stResource clResource;
    {
        const std::lock_guard<std::mutex> clLock(clMutex);
        auto clFound = clResources.find(strPath);
        if (clFound == clResources.end() && bServeByFileName) {
            const std::string strName = strPath.substr(strPath.find_last_of("/\\:") + 1);
            for (auto clEach = clResources.begin(); clEach != clResources.end(); ++clEach) {
                if (clEach->first.substr(clEach->first.find_last_of('/') + 1) == strName)
                    clFound = clEach;
            }
        }
        if (clFound == clResources.end()) {
            clResponse.status = 404;
            clResponse.set_content("not here", "text/plain");
            return;
        }
        clResource = clFound->second;
    }

    if (clResource.iDelayMs > 0 && !sleepUnlessStopping(clResource.iDelayMs))
        return;
    clResponse.status = clResource.iStatus;
    if (!clResource.strLocation.empty())
        clResponse.set_header("Location", clResource.strLocation);
    if (clResource.bEndless) {
        auto pBody = std::make_shared<std::string>(clResource.strBody.empty() ? "x" : clResource.strBody);
        clResponse.set_chunked_content_provider(
            "application/octet-stream", [this, pBody](size_t uOffset, httplib::DataSink& clSink) {
                if (bStopping || uOffset >= ENDLESS_LIMIT) {
                    clSink.done();
                    return true;
                }
                if (!clSink.is_writable() || !clSink.write(pBody->data(), pBody->size())) {
                    ++iAbandoned;
                    return false;
                }
                return true;
            });
        return;
    }
    if (clResource.uChunkSize == 0) {
        clResponse.set_content(clResource.strBody, "application/octet-stream");
        return;
    }

    auto pBody = std::make_shared<std::string>(clResource.strBody);
    clResponse.set_content_provider(pBody->size(), "application/octet-stream",
        [this, pBody, clResource](size_t uOffset, size_t uLength, httplib::DataSink& clSink) {
            const size_t uCount = std::min(uLength, clResource.uChunkSize);
            if (!clSink.is_writable() || !clSink.write(pBody->data() + uOffset, uCount)) {
                ++iAbandoned;
                return false;
            }
            if (clResource.bStallAfterFirstChunk) {
                sleepUnlessStopping(60 * 60 * 1000);
                return false;
            }
            if (uOffset + uCount < pBody->size() && !sleepUnlessStopping(clResource.iChunkDelayMs))
                return false;
            return true;
        });
}
