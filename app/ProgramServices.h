#pragma once

#include "AppServices.h"
#include "DeviceHost.h"
#include "FrmScen.h"
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

    AppServices services() { return {notice, character, display, devices, devices}; }

    // The scenario panel sends through the engine, which is built after these.
    void addScenarioPanel(const EngineState &state, ProgramSettings &settings, FrameSender &sender)
    {
        devices.addWindow(WindowNames::FrmScen, [&state, &settings, &sender] { return new FrmScen(state, settings, sender); });
    }
};
