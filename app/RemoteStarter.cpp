#include "app/RemoteStarter.h"

#include "shell/main/ConsolePane.h"
#include "shell/main/FrmMain.h"
#include "remote/RemoteAccess.h"

RemoteStarter::RemoteStarter(RemoteAccess &remote, FrmMain &window, const EngineState &state, FrameSender &sender,
                             CameraControl *camera)
    : m_window(window)
{
    remote.attach({state, sender, window.Tlog(), *this, window, camera});
}

void RemoteStarter::setClientLamp(quint32 bgr) { m_window.setClientLamp(bgr); }
