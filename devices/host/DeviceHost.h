#pragma once

#include "shell/main/DeviceWindows.h"
#include "engine/ports/WindowRegistry.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <bitset>
#include <functional>
#include <optional>

class ProbeDisplay;

// The one home of the device windows. The main window opens and closes them by name
// (DeviceWindows); the translator asks which are open and pushes readings into them
// (WindowRegistry). Each window is added with the factory that builds it on first use; a
// name never added is never loaded, and the entries that would open it stay disabled.
//
// The translator pushes a reading with every frame, thousands in one turn of the event loop
// during a burst. The host keeps the latest of each and hands it to its window once that turn
// is over, so a window repaints once a turn however many frames the turn holds, and no more
// often than a person can follow.
class DeviceHost : public DeviceWindows, public WindowRegistry
{
public:
    using Factory = std::function<QWidget *()>;
    using ProbeFactory = std::function<QWidget *(int zone, const QString &zoneName)>;

    DeviceHost();
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
    // A window of a name added here is made only here: answered from what was made.
    bool windowOpen(const QString &name) const override;
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
    // What the pushes of the turn leave for a probe window: the latest of each.
    struct ProbePushes
    {
        std::optional<QString> temperatura;
        std::optional<QString> tempset;
        std::optional<QString> knob;
        std::optional<int> pCol;
    };

    QWidget *load(const QString &name);
    void meterReading(int meter, const QString &reading);
    ProbeDisplay *probe(int zone) const;
    ProbePushes *probePushes(int zone);
    // Asks for one hand-over after the current turn, however often it is called in the turn.
    void handOverLater();
    void handOver();

    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_loaded;
    ProbeFactory m_probeFactory;
    QHash<QString, std::function<void()>> m_unloaders;
    QPointer<QWidget> m_main;
    std::function<int()> m_probeZones;
    // The probe windows made for each zone; their owner deletes them.
    std::array<QPointer<QWidget>, 100> m_probes{};

    // The pushes waiting for the end of the turn.
    QObject m_turn;
    bool m_handOverAsked = false;
    // A hand-over follows the last one by at least this much: a window shown more often than
    // this only costs the bus's time, nobody sees it.
    static constexpr int HandOverSpacingMs = 40;
    QElapsedTimer m_lastHandOver;
    QTimer m_handOverLater;
    bool m_auxWaits = false;
    std::array<std::optional<QString>, 3> m_meterReadings{};
    std::array<ProbePushes, 100> m_probePushes{};
    std::bitset<100> m_probesWaiting;
};
