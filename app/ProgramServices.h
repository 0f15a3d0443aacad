#pragma once

#include "AppServices.h"
#include "DeviceHost.h"
#include "NoticePopup.h"
#include "NullServices.h"

// The services the program runs with: the device host, the notice pop-up (attached to the main
// window once that exists), and a stand-in for each service that is not built yet. A new
// service replaces its stand-in here.
struct ProgramServices
{
    NoticePopup notice;
    NoCharacter character;
    NoDisplayClient display;
    DeviceHost devices;

    AppServices services() { return {notice, character, display, devices, devices}; }
};
