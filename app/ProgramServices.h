#pragma once

#include "AppServices.h"
#include "DeviceHost.h"
#include "DesktopLinkOpener.h"
#include "NullServices.h"
#include "SpeakingCharacter.h"

#include <memory>

class FrmMain;
class MessageBoxService;
class ProgramSettings;
class StartupUpdateCheck;
struct EngineState;

// The services the program runs with: the device host, and a stand-in for each service that
// is not built yet. A new service replaces its stand-in here.
struct ProgramServices
{
    // Tests hand in a speech engine of their own.
    explicit ProgramServices(SpeakingCharacter::EngineFactory voices = {});
    ~ProgramServices();

    NoNotice notice;
    SpeakingCharacter character;
    NoDisplayClient display;
    DeviceHost devices;
    DesktopLinkOpener links;
    std::unique_ptr<StartupUpdateCheck> updateCheck;

    AppServices services() { return {notice, character, display, devices, devices}; }
    // The character, the start-up update check, the update window and the about box, joined to
    // the main window; before the window is given the device windows.
    void addShellFeatures(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FrmMain &window);
};
