#pragma once

namespace httplib {
class Server;
}

namespace camsim {

class CamSim;

// The simulator's control channel under "/sim/" (JSON in and out), so that shell scripts can
// drive the camera state, inject faults and read the message log. Uses only CamSim's public API.
class SimControl
{
public:
    static void install(httplib::Server& clServer, CamSim& clSim);
};

} // namespace camsim
