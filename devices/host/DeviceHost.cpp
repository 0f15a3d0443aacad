#include "devices/host/DeviceHost.h"

#include "devices/host/DevicePlacement.h"
#include "devices/host/MeterDisplay.h"
#include "devices/host/ProbeDisplay.h"
#include "devices/host/RefreshableWindow.h"
#include "shell/services/TopLevelWindows.h"
#include "engine/model/WindowNames.h"

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

void DeviceHost::Temperatura(int zone, const QString &text)
{
    if (ProbeDisplay *p = probe(zone))
        p->Temperatura(text);
}

void DeviceHost::Tempset(int zone, const QString &text)
{
    if (ProbeDisplay *p = probe(zone))
        p->Tempset(text);
}

void DeviceHost::Knob(int zone, const QString &text)
{
    if (ProbeDisplay *p = probe(zone))
        p->Knob(text);
}

void DeviceHost::pCol(int zone, int valves)
{
    if (ProbeDisplay *p = probe(zone))
        p->pCol(valves);
}

void DeviceHost::meterReading(const QString &name, const QString &reading)
{
    if (auto *m = dynamic_cast<MeterDisplay *>(window(name)))
        m->showReading(reading);
}

void DeviceHost::Volt(const QString &reading) { meterReading(WindowNames::FrmVolt, reading); }
void DeviceHost::Ampere(const QString &reading) { meterReading(WindowNames::FrmAmp, reading); }
void DeviceHost::Watt(const QString &reading) { meterReading(WindowNames::FrmWatt, reading); }

QList<WindowRegistry::LoadedWindow> DeviceHost::loadedWindows() const { return TopLevelWindows::loaded(); }

bool DeviceHost::probeOpen(qint64 zone) const
{
    // Only createProbe makes windows with a probe's caption, and only for zones of the table.
    if (zone < 0 || zone >= qint64(m_probes.size()))
        return false;
    const QWidget *w = m_probes[size_t(zone)].data();
    return w && w->windowTitle() == WindowNames::probeCaption(int(zone));
}

void DeviceHost::AggiornaAux(bool createHidden)
{
    if (createHidden || isLoaded(WindowNames::FrmAux))
        refresh(WindowNames::FrmAux);
}
