#pragma once

#include "AppServices.h"
#include "DeviceHost.h"
#include "NullServices.h"
#include "RemoteAccess.h"

// The services the program runs with: the device host, and a stand-in for each service that
// is not built yet. A new service replaces its stand-in here.
struct ProgramServices
{
    NoNotice notice;
    NoCharacter character;
    RemoteAccess remote;
    DeviceHost devices;

    AppServices services() { return {notice, character, remote.chum(), devices, devices}; }
};
