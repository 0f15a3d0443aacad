#include "devices/host/DeviceHost.h"

#include "devices/host/DevicePlacement.h"
#include "devices/host/MeterDisplay.h"
#include "devices/host/ProbeDisplay.h"
#include "devices/host/RefreshableWindow.h"
#include "shell/services/TopLevelWindows.h"
#include "engine/model/WindowNames.h"

#include <utility>

DeviceHost::DeviceHost()
{
    m_handOverLater.setSingleShot(true);
    QObject::connect(&m_handOverLater, &QTimer::timeout, &m_turn, [this] { handOver(); });
}

DeviceHost::~DeviceHost()
{
    for (const QPointer<QWidget> &w : std::as_const(m_loaded))
        delete w.data();
}

void DeviceHost::addWindow(const QString &name, Factory create) { m_factories.insert(name, std::move(create)); }

QWidget *DeviceHost::window(const QString &name) const { return m_loaded.value(name).data(); }

bool DeviceHost::provides(const QString &name) const
{
    return name == WindowNames::FrmProbe ? bool(m_probeFactory) : m_factories.contains(name);
}

bool DeviceHost::isLoaded(const QString &name) const { return window(name) != nullptr; }

bool DeviceHost::isVisible(const QString &name) const
{
    const QWidget *w = window(name);
    return w && w->isVisible();
}

QWidget *DeviceHost::load(const QString &name)
{
    if (QWidget *w = window(name))
        return w;
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd() || !*factory)
        return nullptr;
    QWidget *w = (*factory)();
    if (w) {
        // FormAperto finds a window by its name.
        if (w->objectName().isEmpty())
            w->setObjectName(name);
        // The windows already open stay where they are; the new one finds room beside them.
        QHash<QString, const QWidget *> open;
        for (auto it = m_loaded.cbegin(); it != m_loaded.cend(); ++it)
            open.insert(it.key(), it.value().data());
        m_loaded.insert(name, w);
        DevicePlacement::placeUnmoved(w, name, m_main, m_probeZones ? m_probeZones() : 0, open);
    }
    return w;
}

bool DeviceHost::show(const QString &name, bool modal)
{
    QWidget *w = load(name);
    if (!w)
        return false;
    // Modal without a nested event loop: nothing waits on the window, and tests never block.
    if (modal)
        w->setWindowModality(Qt::ApplicationModal);
    w->show();
    w->raise();
    return true;
}

void DeviceHost::hide(const QString &name)
{
    if (QWidget *w = window(name))
        w->hide();
}

void DeviceHost::unload(const QString &name)
{
    if (const auto foreign = m_unloaders.constFind(name); foreign != m_unloaders.constEnd()) {
        (*foreign)();
        return;
    }
    QWidget *w = window(name);
    m_loaded.remove(name);
    if (!w)
        return;
    // Closing first lets the window save its position as it does when the user closes it.
    w->close();
    delete w;
}

void DeviceHost::refresh(const QString &name)
{
    if (auto *r = dynamic_cast<RefreshableWindow *>(load(name)))
        r->refreshFromState();
}

QWidget *DeviceHost::createProbe(int zone, const QString &zoneName)
{
    QWidget *w = m_probeFactory ? m_probeFactory(zone, zoneName) : nullptr;
    if (w && zone >= 0 && zone < int(m_probes.size()))
        m_probes[size_t(zone)] = w;
    return w;
}

void DeviceHost::pZona(QWidget *probe, int zone)
{
    if (auto *p = dynamic_cast<ProbeDisplay *>(probe))
        p->pZona(zone);
}

ProbeDisplay *DeviceHost::probe(int zone) const
{
    if (zone < 0 || zone >= int(m_probes.size()))
        return nullptr;
    return dynamic_cast<ProbeDisplay *>(m_probes[size_t(zone)].data());
}

DeviceHost::ProbePushes *DeviceHost::probePushes(int zone)
{
    if (!probe(zone))
        return nullptr;
    m_probesWaiting.set(size_t(zone));
    handOverLater();
    return &m_probePushes[size_t(zone)];
}

void DeviceHost::Temperatura(int zone, const QString &text)
{
    if (ProbePushes *p = probePushes(zone))
        p->temperatura = text;
}

void DeviceHost::Tempset(int zone, const QString &text)
{
    if (ProbePushes *p = probePushes(zone))
        p->tempset = text;
}

void DeviceHost::Knob(int zone, const QString &text)
{
    if (ProbePushes *p = probePushes(zone))
        p->knob = text;
}

void DeviceHost::pCol(int zone, int valves)
{
    if (ProbePushes *p = probePushes(zone))
        p->pCol = valves;
}

namespace {
const std::array<QString, 3> &meterNames()
{
    static const std::array<QString, 3> names{WindowNames::FrmVolt, WindowNames::FrmAmp, WindowNames::FrmWatt};
    return names;
}
} // namespace

void DeviceHost::meterReading(int meter, const QString &reading)
{
    if (!dynamic_cast<MeterDisplay *>(window(meterNames()[size_t(meter)])))
        return;
    m_meterReadings[size_t(meter)] = reading;
    handOverLater();
}

void DeviceHost::Volt(const QString &reading) { meterReading(0, reading); }
void DeviceHost::Ampere(const QString &reading) { meterReading(1, reading); }
void DeviceHost::Watt(const QString &reading) { meterReading(2, reading); }

void DeviceHost::handOverLater()
{
    if (m_handOverAsked)
        return;
    m_handOverAsked = true;
    const qint64 since = m_lastHandOver.isValid() ? m_lastHandOver.elapsed() : HandOverSpacingMs;
    if (since < HandOverSpacingMs) {
        m_handOverLater.start(int(HandOverSpacingMs - since));
        return;
    }
    // Queued behind the events already waiting, the slice under way among them.
    QMetaObject::invokeMethod(&m_turn, [this] { handOver(); }, Qt::QueuedConnection);
}

void DeviceHost::handOver()
{
    m_handOverAsked = false;
    m_lastHandOver.start();
    for (size_t m = 0; m < m_meterReadings.size(); ++m) {
        if (!m_meterReadings[m])
            continue;
        const QString reading = *std::exchange(m_meterReadings[m], std::nullopt);
        if (auto *meter = dynamic_cast<MeterDisplay *>(window(meterNames()[m])))
            meter->showReading(reading);
    }
    for (int zone = 0; m_probesWaiting.any() && zone < int(m_probesWaiting.size()); ++zone) {
        if (!m_probesWaiting.test(size_t(zone)))
            continue;
        m_probesWaiting.reset(size_t(zone));
        const ProbePushes pushes = std::exchange(m_probePushes[size_t(zone)], ProbePushes{});
        ProbeDisplay *p = probe(zone);
        if (!p)
            continue;
        if (pushes.temperatura)
            p->Temperatura(*pushes.temperatura);
        if (pushes.tempset)
            p->Tempset(*pushes.tempset);
        if (pushes.knob)
            p->Knob(*pushes.knob);
        if (pushes.pCol)
            p->pCol(*pushes.pCol);
    }
    if (std::exchange(m_auxWaits, false) && isLoaded(WindowNames::FrmAux))
        refresh(WindowNames::FrmAux);
}

QList<WindowRegistry::LoadedWindow> DeviceHost::loadedWindows() const { return TopLevelWindows::loaded(); }

bool DeviceHost::probeOpen(qint64 zone) const
{
    // Only createProbe makes windows with a probe's caption, and only for zones of the table.
    if (zone < 0 || zone >= qint64(m_probes.size()))
        return false;
    const QWidget *w = m_probes[size_t(zone)].data();
    return w && w->windowTitle() == WindowNames::probeCaption(int(zone));
}

bool DeviceHost::windowOpen(const QString &name) const
{
    if (!m_factories.contains(name))
        return WindowRegistry::windowOpen(name);
    const QWidget *w = window(name);
    return w && w->objectName() == name;
}

void DeviceHost::AggiornaAux(bool createHidden)
{
    // Loaded at once, so that the next frames see it open; painted with the turn's last state.
    if (createHidden)
        load(WindowNames::FrmAux);
    if (!isLoaded(WindowNames::FrmAux))
        return;
    m_auxWaits = true;
    handOverLater();
}
