#pragma once

#include <QString>

class QWidget;

// The windows the main window opens from its toolbar and menus, by their names ("FrmAux",
// "FrmCamera", "FrmVolt", "FrmAmp", "FrmWatt", "FrmScen", "FrmAI", "FrmOpt", "frmAbout",
// "FrmUpd"). They are built elsewhere; a window the host does not provide is never loaded,
// and the entries that would only open it stay disabled.
class DeviceWindows
{
public:
    virtual ~DeviceWindows() = default;

    virtual bool provides(const QString &name) const = 0;
    virtual bool isLoaded(const QString &name) const = 0;
    virtual bool isVisible(const QString &name) const = 0;
    // Loads the window when needed and shows it (modally, owned by the main window, when asked);
    // false when the window cannot be had.
    virtual bool show(const QString &name, bool modal) = 0;
    virtual void hide(const QString &name) = 0;
    // A window that is not loaded is not touched.
    virtual void unload(const QString &name) = 0;
    // Refreshes a window from the shared state, loading it hidden when it is not loaded.
    virtual void refresh(const QString &name) = 0;
    // A new probe window for a zone, owned by the caller; null when there is none to be had.
    virtual QWidget *createProbe(int zone, const QString &zoneName) = 0;
    // Gives a placed probe window its zone, which moves it to the place saved for that zone.
    virtual void pZona(QWidget *, int) {}
};

// Until the device windows exist: nothing is provided.
class NoDeviceWindows : public DeviceWindows
{
public:
    bool provides(const QString &) const override { return false; }
    bool isLoaded(const QString &) const override { return false; }
    bool isVisible(const QString &) const override { return false; }
    bool show(const QString &, bool) override { return false; }
    void hide(const QString &) override {}
    void unload(const QString &) override {}
    void refresh(const QString &) override {}
    QWidget *createProbe(int, const QString &) override { return nullptr; }
};
