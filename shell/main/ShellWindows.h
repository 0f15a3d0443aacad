#pragma once

#include "WindowRegistry.h"

class DeviceWindows;

// The program's windows as the translator sees them: the top-level windows that exist,
// shown or hidden. The device-window pushes reach the windows once they exist.
class ShellWindows : public WindowRegistry
{
public:
    explicit ShellWindows(DeviceWindows *&windows) : m_windows(windows) {}

    QList<LoadedWindow> loadedWindows() const override;

    void Volt(const QString &) override {}
    void Ampere(const QString &) override {}
    void Watt(const QString &) override {}
    void Temperatura(int, const QString &) override {}
    void Tempset(int, const QString &) override {}
    void Knob(int, const QString &) override {}
    void pCol(int, int) override {}
    void AggiornaAux(bool createHidden) override;

private:
    DeviceWindows *&m_windows;
};
