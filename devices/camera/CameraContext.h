#pragma once

#include <functional>

class FrameSender;
class LogPane;
class MessageBoxService;
class ProgramSettings;
struct EngineState;

// What the camera window needs of the program: the shared state (cameras, gateway address,
// serial link, closing), the settings store, message boxes, the frame sender, the monitor log
// for errors of a display client's request, and the main window's menu check to clear.
struct CameraContext
{
    EngineState &state;
    ProgramSettings &settings;
    MessageBoxService &messages;
    FrameSender &sender;
    LogPane *monitorLog = nullptr;
    std::function<void()> unloaded;
};
