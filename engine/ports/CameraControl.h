#pragma once

// The camera window as the display-client listener drives it ("co/" n): the window shown,
// its running video stopped, camera n started. The picture loop runs inside the caller's
// event, processing pending events as it goes.
class CameraControl
{
public:
    virtual ~CameraControl() = default;
    // Shows the window, loading it when needed; false when there is no camera window.
    virtual bool showCamera() = 0;
    virtual void StopMe() = 0;
    virtual void Video(int camera) = 0;
};
