#pragma once

#include "AppServices.h"
#include "CameraContext.h"
#include "CameraWindowControl.h"
#include "DeviceHost.h"
#include "FrmCamera.h"
#include "NullServices.h"
#include "WindowNames.h"

// The services the program runs with: the device host, and a stand-in for each service that
// is not built yet. A new service replaces its stand-in here.
struct ProgramServices
{
    NoNotice notice;
    NoCharacter character;
    NoDisplayClient display;
    DeviceHost devices;
    // What the display-client listener drives the camera window through.
    CameraWindowControl camera{devices};

    AppServices services() { return {notice, character, display, devices, devices}; }

    // The camera window needs the engine and the main window, which are built after these.
    void addCamera(const CameraContext &context)
    {
        devices.addWindow(WindowNames::FrmCamera, [context] { return new FrmCamera(context); });
    }
};
