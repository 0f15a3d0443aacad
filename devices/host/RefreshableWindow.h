#pragma once

// A device window that redraws itself from the shared state when the host is asked to.
class RefreshableWindow
{
public:
    virtual ~RefreshableWindow() = default;
    virtual void refreshFromState() = 0;
};
