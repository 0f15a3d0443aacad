#pragma once

#include "devices/host/DeviceContext.h"
#include "engine/model/EngineState.h"
#include "shell/main/MainMenus.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingSender.h"
#include "shell/main/ShellOptions.h"
#include "support/TestFolder.h"

#include <QMainWindow>

// What a device window is built with, all of it recorded: a settings store of the test's
// own, the shared state (the fixture's or one handed in), a recording sender and the menus
// of a main window that is never shown. `draw` is the probe poll spread the windows get.
struct DeviceFixture
{
    DeviceFixture() : DeviceFixture(ownState) {}
    explicit DeviceFixture(EngineState &shared) : state(shared), settings(dir.settingsFile()), sender(state.link)
    {
        menus = new MainMenus(mainWindow);
    }

    DeviceContext context()
    {
        return {state, settings, sender, shellOptions, menus, [this] { return draw; }};
    }

    EngineState ownState;
    EngineState &state;
    TestFolder dir;
    ProgramSettings settings;
    RecordingSender sender;
    ShellOptions shellOptions;
    QMainWindow mainWindow;
    MainMenus *menus = nullptr;
    double draw = 0.5;
};
