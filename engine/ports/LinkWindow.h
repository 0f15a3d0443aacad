#pragma once

class LogPane;

// What the links show in the main window besides the log panes and the status text.
class LinkWindow
{
public:
    virtual ~LinkWindow() = default;
    // Tray icon picture by index (0 monitor on, 1 activity, 2 monitor off).
    virtual void I_Icon(int picture) = 0;
    // Received traffic: the tray and the status bar's light panel blink for 500 ms.
    virtual void showActivity() = 0;
    // Whether the pane is the one on show; a hidden pane gets its label coloured red.
    virtual bool isPaneVisible(const LogPane &pane) const = 0;
    virtual void markPaneUnread(const LogPane &pane) = 0;
    // The toolbar's monitor button: image 1 means the monitor is off, 2 on.
    virtual int monitorButtonImage() const = 0;
    virtual void setMonitorButtonImage(int image) = 0;
};
