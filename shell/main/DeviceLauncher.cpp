#include "shell/main/DeviceLauncher.h"

#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/links/LinkWait.h"
#include "engine/protocol/NumberConversions.h"
#include "shell/main/ShellEngine.h"
#include "shell/notice/NoticeCorner.h"
#include "shell/main/ShellOptions.h"
#include "shell/services/TopLevelWindows.h"
#include "engine/model/WindowNames.h"

namespace W = WindowNames;
using Entry = MainMenus::Entry;

namespace {

constexpr int ProbeWaitMs = 15000;

const std::array<QString, 3> &meterWindows()
{
    static const std::array<QString, 3> names{W::FrmVolt, W::FrmAmp, W::FrmWatt};
    return names;
}

} // namespace

DeviceLauncher::DeviceLauncher(EngineState &state, ShellOptions &shared, MainMenus &menus, DeviceWindows &windows)
    : m_state(state), m_shared(shared), m_menus(menus), m_windows(&windows)
{
}

void DeviceLauncher::toggleAux()
{
    toggleStatusWindow(W::FrmAux, Entry::Aux, Frame::statusRequest(9), m_state.live.AuxLetti);
}

void DeviceLauncher::toggleAlarm()
{
    toggleStatusWindow(W::FrmAI, Entry::Alarm, Frame::statusRequest(5), m_allarmeLetto);
}

// The first opening of the run asks the gateway for the state the window shows.
void DeviceLauncher::toggleStatusWindow(const QString &name, Entry entry, const QString &request, bool &requested)
{
    if (m_state.InChiusura)
        return;
    if (m_windows->isLoaded(name)) {
        const bool visible = m_windows->isVisible(name);
        if (visible)
            m_windows->hide(name);
        else
            m_windows->show(name, false);
        m_menus.tick(entry, !visible);
        return;
    }
    if (!requested && m_engine) {
        m_state.live.RichiestaStato = true;
        m_engine->SendTCP(request);
        // The request ends with its send: an alarm request, or fewer than eight channels,
        // would otherwise silence every auxiliary frame for the rest of the run.
        if (m_state.live.RichiestaStato) {
            m_state.live.RichiestaStato = false;
            if (name == W::FrmAux)
                m_windows->refresh(W::FrmAux);
        }
    }
    requested = true;
    m_menus.tick(entry, m_windows->show(name, false));
}

void DeviceLauncher::showCamera() { m_menus.tick(Entry::Camera, m_windows->show(W::FrmCamera, false)); }

void DeviceLauncher::toggleScenarios()
{
    if (m_windows->isLoaded(W::FrmScen))
        m_windows->unload(W::FrmScen);
    else
        m_windows->show(W::FrmScen, false);
}

void DeviceLauncher::openMeters()
{
    for (int k = 1; k <= 3; ++k)
        if (m_windows->show(meterWindows()[size_t(k - 1)], false))
            m_menus.markMeter(k, true);
}

void DeviceLauncher::toggleMeter(int meter)
{
    if (meter < 1 || meter > 3)
        return;
    const QString &name = meterWindows()[size_t(meter - 1)];
    if (!m_menus.isTicked(Entry(int(Entry::Volt) + meter - 1))) {
        if (m_windows->show(name, false))
            m_menus.markMeter(meter, true);
    } else {
        m_windows->unload(name);
        m_menus.markMeter(meter, false);
    }
}

void DeviceLauncher::toggleProbes()
{
    if (!m_shared.SondeAperte.isEmpty())
        closeProbeWindows();
    else
        openProbeWindows();
}

void DeviceLauncher::closeProbeWindows()
{
    const QStringList zones = m_shared.SondeAperte.split(QLatin1Char(','));
    for (const QString &item : zones) {
        if (item.isEmpty())
            continue;
        const auto n = NumberConversions::tryValue(item);
        if (!n || *n < 0 || *n >= 100)
            continue;
        delete m_shared.FinestreSonda[size_t(*n)].data();
        m_shared.FinestreSonda[size_t(*n)] = nullptr;
    }
    m_shared.SondeAperte.clear();
    m_menus.tick(Entry::Probe, false);
}

bool DeviceLauncher::waitWhileSending(int ms)
{
    LinkWait::run([this] { return !m_state.link.InInvio; }, [this] { return bool(m_state.InChiusura); }, ms, {});
    return !m_state.InChiusura;
}

void DeviceLauncher::openProbeWindows()
{
    const auto &sonde = m_state.model.Sonde;
    if (sonde[1].isEmpty())
        return;
    const QRect notice = NoticeCorner::defaultRect();
    for (int z = 1; z <= 99 && !sonde[size_t(z)].isEmpty(); ++z) {
        const QString caption = W::probeCaption(z);
        if (!WindowRegistry::FormAperto(TopLevelWindows::loaded(), caption, QString())) {
            if (QWidget *w = m_windows->createProbe(z, sonde[size_t(z)])) {
                m_shared.FinestreSonda[size_t(z)] = w;
                w->setWindowTitle(caption);
                w->show();
                // The zone windows stack upward along the right edge, from above the notice's
                // own place over the task bar, so that a notice never hides zone 1.
                w->move(notice.x() + notice.width() - w->frameGeometry().width(),
                        notice.y() - z * w->frameGeometry().height());
                m_windows->pZona(w, z);
                if (!m_shared.SondeAperte.isEmpty())
                    m_shared.SondeAperte += QLatin1Char(',');
                m_shared.SondeAperte += QString::number(z);
            }
        }
        if (!m_engine)
            continue;
        // A send still waiting for its acknowledgement would take the batch as its own.
        if (!m_state.link.ModoUsb && !waitWhileSending(ProbeWaitMs))
            return;
        m_engine->Send(Frame::probeZoneRequests(z));
    }
    m_menus.tick(Entry::Probe, !m_shared.SondeAperte.isEmpty());
}
