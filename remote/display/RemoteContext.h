#pragma once

class CameraControl;
class ClientLamp;
class FrameSender;
class LogPane;
class StatusBar;
struct EngineState;

// What the remote services reach of the rest of the program.
struct RemoteContext
{
    const EngineState &state;  // the installation model and the program folder
    FrameSender &sender;       // frames from the display client go to the bus here
    LogPane &log;              // the monitor pane "Tlog"
    ClientLamp &lamp;
    StatusBar &status;         // listeners that cannot open say so here
    CameraControl *camera;     // null while the program has no camera window
};
