#include "devices/camera/CameraWindowControl.h"

#include "devices/host/DeviceHost.h"
#include "devices/camera/FrmCamera.h"
#include "engine/model/WindowNames.h"

FrmCamera *CameraWindowControl::window() const
{
    return qobject_cast<FrmCamera *>(m_host.window(WindowNames::FrmCamera));
}

bool CameraWindowControl::showCamera() { return m_host.show(WindowNames::FrmCamera, false); }

void CameraWindowControl::StopMe()
{
    if (FrmCamera *w = window())
        w->StopMe();
}

void CameraWindowControl::Video(int camera)
{
    if (!window() && !showCamera())
        return;
    if (FrmCamera *w = window())
        w->Video(camera, true);
}
