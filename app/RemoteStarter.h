#pragma once

#include "remote/display/ClientLamp.h"

class CameraControl;
class FrameSender;
class FrmMain;
class RemoteAccess;
struct EngineState;

// Joins the remote services to the main window: its monitor pane, status bar and lamp.
class RemoteStarter : public ClientLamp
{
public:
    RemoteStarter(RemoteAccess &remote, FrmMain &window, const EngineState &state, FrameSender &sender,
                  CameraControl *camera = nullptr);

    void setClientLamp(quint32 bgr) override;

private:
    FrmMain &m_window;
};
