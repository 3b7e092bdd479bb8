#pragma once

#include <QString>

// Where the camera is reached. The camera's access point always puts it at the default address;
// KD4TOOL_CAMERA_ADDRESS (host or host:port) points the program elsewhere, e.g. at a simulator.
class ClCameraAddress
{
public:
    static QString defaultAddress();
    static QString current();
};
