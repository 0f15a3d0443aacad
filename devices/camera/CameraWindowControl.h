#pragma once

#include "engine/ports/CameraControl.h"

class DeviceHost;
class FrmCamera;

// The camera window as a display client drives it: loaded through the device host when it
// is not open, then stopped and started like the user's own buttons; errors of these
// requests go to the monitor log.
class CameraWindowControl : public CameraControl
{
public:
    explicit CameraWindowControl(DeviceHost &host) : m_host(host) {}

    bool showCamera() override;
    void StopMe() override;
    void Video(int camera) override;

private:
    FrmCamera *window() const;

    DeviceHost &m_host;
};
