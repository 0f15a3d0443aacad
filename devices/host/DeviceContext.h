#pragma once

#include <QPointer>
#include <functional>

class FrameSender;
class MainMenus;
class ProgramSettings;
struct EngineState;
struct ShellOptions;

// What a device window is built with: the shared state it paints, the settings store its
// position lives in, the sends it makes, and the main window's parts it keeps in step.
struct DeviceContext
{
    EngineState &state;
    ProgramSettings &settings;
    FrameSender &sender;
    ShellOptions &shared;
    // The window menu and the meter drop-down; gone once the main window is.
    QPointer<MainMenus> menus;
    // The one generator every probe window draws its poll spread from: uniform in [0, 1).
    std::function<double()> draw;
};
