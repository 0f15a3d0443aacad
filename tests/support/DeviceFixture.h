#pragma once

#include "DeviceContext.h"
#include "EngineState.h"
#include "MainMenus.h"
#include "ProgramSettings.h"
#include "RecordingSender.h"
#include "ShellOptions.h"
#include "TestFolder.h"

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
