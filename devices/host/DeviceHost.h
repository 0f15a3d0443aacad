#pragma once

#include "shell/main/DeviceWindows.h"
#include "engine/ports/WindowRegistry.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class ProbeDisplay;

// The one home of the device windows. The main window opens and closes them by name
// (DeviceWindows); the translator asks which are open and pushes readings into them
// (WindowRegistry). Each window is added with the factory that builds it on first use; a
// name never added is never loaded, and the entries that would open it stay disabled.
class DeviceHost : public DeviceWindows, public WindowRegistry
{
public:
    using Factory = std::function<QWidget *()>;
    using ProbeFactory = std::function<QWidget *(int zone, const QString &zoneName)>;

    DeviceHost() = default;
    ~DeviceHost() override;
    DeviceHost(const DeviceHost &) = delete;
    DeviceHost &operator=(const DeviceHost &) = delete;

    void addWindow(const QString &name, Factory create);
    void setProbeFactory(ProbeFactory create) { m_probeFactory = std::move(create); }
    // A window kept by a service of its own (the notice) that is still unloaded by name: at
    // closing, and when the options change how it looks.
    void setUnloader(const QString &name, std::function<void()> unload) { m_unloaders.insert(name, std::move(unload)); }
    // The window the device windows open beside when they have no place of their own.
    void setMainWindow(QWidget *main) { m_main = main; }
    // How many probe windows stack above the notice: the device windows keep clear of them.
    void setProbeZones(std::function<int()> zones) { m_probeZones = std::move(zones); }
    // The loaded window of that name, or null.
    QWidget *window(const QString &name) const;

    // DeviceWindows
    bool provides(const QString &name) const override;
    bool isLoaded(const QString &name) const override;
    bool isVisible(const QString &name) const override;
    bool show(const QString &name, bool modal) override;
    void hide(const QString &name) override;
    void unload(const QString &name) override;
    void refresh(const QString &name) override;
    QWidget *createProbe(int zone, const QString &zoneName) override;
    void pZona(QWidget *probe, int zone) override;

    // WindowRegistry
    QList<LoadedWindow> loadedWindows() const override;
    // From the probe windows made here, without walking every window for each zone frame.
    bool probeOpen(qint64 zone) const override;
    // A push for a window that is not there reaches nobody.
    void Volt(const QString &reading) override;
    void Ampere(const QString &reading) override;
    void Watt(const QString &reading) override;
    void Temperatura(int zone, const QString &text) override;
    void Tempset(int zone, const QString &text) override;
    void Knob(int zone, const QString &text) override;
    void pCol(int zone, int valves) override;
    void AggiornaAux(bool createHidden) override;

private:
    QWidget *load(const QString &name);
    void meterReading(const QString &name, const QString &reading);
    ProbeDisplay *probe(int zone) const;

    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_loaded;
    ProbeFactory m_probeFactory;
    QHash<QString, std::function<void()>> m_unloaders;
    QPointer<QWidget> m_main;
    std::function<int()> m_probeZones;
    // The probe windows made for each zone; their owner deletes them.
    std::array<QPointer<QWidget>, 100> m_probes{};
};
