#pragma once

#include "tests/support/ClLoopbackServer.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

// A small update server on 127.0.0.1 for the tests, over HTTP or HTTPS: serves the files it is
// given, can answer late, slowly or never, and records what was asked of it. It can also stand in
// for an HTTP proxy (requests in absolute form, optionally demanding a proxy login).
class TestUpdateServer
{
public:
    struct stResource
    {
        std::string strBody;
        int iStatus = 200;
        int iDelayMs = 0; // silence before the answer starts
        size_t uChunkSize = 0; // > 0: the body goes out in chunks of this size ...
        int iChunkDelayMs = 0; // ... with this pause after each chunk
        bool bStallAfterFirstChunk = false; // send one chunk, then fall silent for good
        std::string strLocation; // sent as the "Location" header (with a 3xx status: a redirect)
        bool bEndless = false; // the body over and over, chunked without a length, until the
                               // client hangs up (64 MiB at most)
    };

    TestUpdateServer(); // HTTP
    TestUpdateServer(X509* pCert, EVP_PKEY* pKey); // HTTPS with this certificate
    ~TestUpdateServer();
    TestUpdateServer(const TestUpdateServer&) = delete;
    TestUpdateServer& operator=(const TestUpdateServer&) = delete;

    bool isRunning() const { return clServer.isRunning(); }
    int port() const { return clServer.port(); }
    // "http://127.0.0.1:<port>/" (or https).
    QString baseUrl() const;

    // Serves the resource at this path (e.g. "/kd4update/update_tool.xml").
    void setResource(const std::string& strPath, const stResource& clResource);
    void setResource(const std::string& strPath, const std::string& strBody);

    // Serves an unknown path by its last component when a resource of that name exists
    // (for names that leave the server directory: "../x", "/abs/x").
    void setServeByFileName(bool bServe) { bServeByFileName = bServe; }

    // Proxy behaviour: answer 407 until a Proxy-Authorization header comes, and serve whatever
    // absolute-form target arrives by its path.
    void setRequireProxyLogin(bool bRequire) { bRequireProxyLogin = bRequire; }

    // Request targets as received (origin form "/x" or absolute form "http://host/x").
    QStringList requests() const;
    // Decoded "user:password" of the Proxy-Authorization headers received.
    QStringList proxyLogins() const;
    // Answers sent in chunks that the client gave up before their end.
    int abandonedAnswers() const { return iAbandoned.load(); }

private:
    void install();
    void handle(const httplib::Request& clRequest, httplib::Response& clResponse);
    bool sleepUnlessStopping(int iMilliseconds) const;

    Kd4Test::ClLoopbackServer clServer;
    bool bHttps = false;
    std::atomic<bool> bStopping { false };
    std::atomic<bool> bRequireProxyLogin { false };
    std::atomic<bool> bServeByFileName { false };
    std::atomic<int> iAbandoned { 0 };
    mutable std::mutex clMutex;
    std::map<std::string, stResource> clResources;
    QStringList clRequests;
    QStringList clProxyLogins;
};
