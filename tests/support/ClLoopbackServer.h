#pragma once

// A small HTTP server on 127.0.0.1 for what the camera simulator does not offer: replies no camera
// gives, oversized frames, an update server.

#include <QString>

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace Kd4Test {

// Serves from a thread of its own. Install the handlers through server(), then start(); the
// server stops when it goes. Declare it after whatever its handlers use, so it stops first.
class ClLoopbackServer
{
public:
    ClLoopbackServer();
    // Serves with the given server, e.g. an httplib::SSLServer.
    explicit ClLoopbackServer(std::unique_ptr<httplib::Server> pServer);
    ~ClLoopbackServer();
    ClLoopbackServer(const ClLoopbackServer&) = delete;
    ClLoopbackServer& operator=(const ClLoopbackServer&) = delete;

    httplib::Server& server() { return *pServer; }
    // Binds a free port and returns once requests are served; false when that fails.
    bool start();
    // Stops serving and waits for the thread; harmless when it has stopped already.
    void stop();
    bool isRunning() const;
    int port() const { return iPort; }
    std::string address() const { return "127.0.0.1:" + std::to_string(iPort); }
    QString url(const QString& strPath = QString()) const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(iPort) + strPath;
    }

    // A loopback port on which nothing listens, so a connection to it is refused (0 when none
    // could be had).
    static int closedPort();

private:
    std::unique_ptr<httplib::Server> pServer;
    std::thread clThread;
    int iPort = -1;
};

} // namespace Kd4Test
