#include "tests/support/ClLoopbackServer.h"

#include <httplib.h>

#include <QTcpServer>

#include <chrono>

namespace Kd4Test {

ClLoopbackServer::ClLoopbackServer()
    : ClLoopbackServer(std::make_unique<httplib::Server>())
{
}

ClLoopbackServer::ClLoopbackServer(std::unique_ptr<httplib::Server> pServer)
    : pServer(std::move(pServer))
{
}

ClLoopbackServer::~ClLoopbackServer()
{
    stop();
}

bool ClLoopbackServer::start()
{
    iPort = pServer->bind_to_any_port("127.0.0.1");
    if (iPort <= 0)
        return false;
    clThread = std::thread([this] { pServer->listen_after_bind(); });
    for (int iTry = 0; iTry < 1000 && !pServer->is_running(); ++iTry)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return isRunning();
}

void ClLoopbackServer::stop()
{
    pServer->stop();
    if (clThread.joinable())
        clThread.join();
}

bool ClLoopbackServer::isRunning() const
{
    return iPort > 0 && pServer->is_running();
}

int ClLoopbackServer::closedPort()
{
    QTcpServer clServer;
    if (!clServer.listen(QHostAddress::LocalHost))
        return 0;
    return clServer.serverPort();
}

} // namespace Kd4Test
