#pragma once

#include "shell/main/MainMenus.h"

#include <QString>

class DeviceWindows;
class ShellEngine;
struct EngineState;
struct ShellOptions;

// What the toolbar and the window menu do with the device windows: open and close them, tick
// their entries, and ask the gateway for the state that a window shows when it first opens.
class DeviceLauncher
{
public:
    DeviceLauncher(EngineState &state, ShellOptions &shared, MainMenus &menus, DeviceWindows &windows);

    void setEngine(ShellEngine *engine) { m_engine = engine; }
    void setDeviceWindows(DeviceWindows &windows) { m_windows = &windows; }

    // The auxiliary channels and the alarm: shown or hidden, never unloaded by the user.
    void toggleAux();
    void toggleAlarm();
    void toggleProbes();
    void closeProbeWindows();
    void showCamera();
    void toggleScenarios();
    // Every meter window opened; one meter (1 volt, 2 current, 3 power) opened or closed.
    void openMeters();
    void toggleMeter(int meter);

private:
    void toggleStatusWindow(const QString &name, MainMenus::Entry entry, const QString &request, bool &requested);
    void openProbeWindows();
    bool waitWhileSending(int ms);

    EngineState &m_state;
    ShellOptions &m_shared;
    MainMenus &m_menus;
    DeviceWindows *m_windows;
    ShellEngine *m_engine = nullptr;
    bool m_allarmeLetto = false;
};
