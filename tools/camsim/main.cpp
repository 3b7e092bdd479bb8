// kd4-camsim: the camera simulator as a program, for manual runs, demos and shell scripts.

#include "tools/camsim/CamSim.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>

namespace {

void printUsage()
{
    std::cout << "Usage: kd4-camsim [options]\n"
                 "  --port N            port to listen on (0 = a free port, printed on start; default 0)\n"
                 "  --bind ADDR         loopback address to bind (127.x.x.x only; default 127.0.0.1)\n"
                 "  --fps F             frame-rate limit of the live frames (0 = unlimited; default 15)\n"
                 "  --frame-size WxH    size of the live frames (default 640x360)\n"
                 "  --firmware V        firmware version reported (default 01.00.0009)\n"
                 "  --battery N         battery level reported (default 80)\n"
                 "  --ac on|off         mains adapter connected (default off)\n"
                 "  --poll-cap S        longest hold of a notification poll in seconds (default 30)\n"
                 "  --help              this text\n"
                 "Stops on SIGINT or SIGTERM.\n";
}

bool parseInt(const char* pText, int& iValue)
{
    char* pEnd = nullptr;
    const long lValue = std::strtol(pText, &pEnd, 10);
    if (pEnd == pText || *pEnd != '\0' || lValue < -1000000 || lValue > 1000000)
        return false;
    iValue = static_cast<int>(lValue);
    return true;
}

bool parseSize(const std::string& strText, int& iWidth, int& iHeight)
{
    const std::size_t iX = strText.find('x');
    if (iX == std::string::npos)
        return false;
    return parseInt(strText.substr(0, iX).c_str(), iWidth)
        && parseInt(strText.substr(iX + 1).c_str(), iHeight) && iWidth >= 16 && iHeight >= 16
        && iWidth <= 4096 && iHeight <= 4096;
}

int usageError(const std::string& strMessage)
{
    std::cerr << "kd4-camsim: " << strMessage << "\n";
    printUsage();
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Before any thread exists: block the stop signals (every later thread inherits the mask) and
    // take them synchronously at the end; a write to a closed connection must not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Frames are drawn without fonts into QImage, so no GUI application (and no platform plugin)
    // is needed; the core application provides the image format plugins.
    QCoreApplication app(argc, argv);

    camsim::CamSim::Options options;
    int iBattery = 80;
    bool bAc = false;
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        const bool bHasValue = i + 1 < argc;
        if (strArg == "--help" || strArg == "-h") {
            printUsage();
            return 0;
        }
        if (!bHasValue)
            return usageError("missing value for " + strArg);
        const std::string strValue = argv[++i];
        if (strArg == "--port") {
            if (!parseInt(strValue.c_str(), options.port) || options.port < 0 || options.port > 65535)
                return usageError("bad port: " + strValue);
        } else if (strArg == "--bind") {
            options.bindAddress = strValue;
        } else if (strArg == "--fps") {
            char* pEnd = nullptr;
            options.fps = std::strtod(strValue.c_str(), &pEnd);
            if (pEnd == strValue.c_str() || *pEnd != '\0' || options.fps < 0)
                return usageError("bad frame rate: " + strValue);
        } else if (strArg == "--frame-size") {
            if (!parseSize(strValue, options.frameWidth, options.frameHeight))
                return usageError("bad frame size: " + strValue);
        } else if (strArg == "--firmware") {
            options.firmware = strValue;
        } else if (strArg == "--battery") {
            if (!parseInt(strValue.c_str(), iBattery))
                return usageError("bad battery level: " + strValue);
        } else if (strArg == "--ac") {
            if (strValue != "on" && strValue != "off")
                return usageError("--ac takes on or off");
            bAc = strValue == "on";
        } else if (strArg == "--poll-cap") {
            if (!parseInt(strValue.c_str(), options.pollCapSeconds) || options.pollCapSeconds < 0)
                return usageError("bad poll cap: " + strValue);
        } else {
            return usageError("unknown option " + strArg);
        }
    }

    camsim::CamSim sim(options);
    sim.setBattery(iBattery);
    sim.setAcConnected(bAc);
    if (options.bindAddress.rfind("127.", 0) != 0) {
        std::cerr << "kd4-camsim: refusing to bind " << options.bindAddress
                  << ": only 127.x.x.x is allowed\n";
        return 1;
    }
    if (!sim.start()) {
        std::cerr << "kd4-camsim: cannot listen on " << options.bindAddress << ":" << options.port << "\n";
        return 1;
    }
    std::cout << "kd4-camsim listening on " << sim.address() << std::endl;

    int iSignal = 0;
    sigwait(&stopSignals, &iSignal);
    sim.stop();
    std::cout << "kd4-camsim stopped (" << (iSignal == SIGINT ? "SIGINT" : "SIGTERM") << ")" << std::endl;
    return 0;
}
