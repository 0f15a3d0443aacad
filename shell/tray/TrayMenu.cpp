#include "shell/tray/TrayMenu.h"

#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/LogLine.h"
#include "shell/main/MainMenus.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "engine/model/WindowNames.h"

#include <QMenu>

namespace {

QAction *item(QMenu &menu, const QString &text, int id)
{
    QAction *a = menu.addAction(text);
    a->setData(id);
    return a;
}

void separator(QMenu &menu, int id) { menu.addSeparator()->setData(id); }

} // namespace

TrayMenu::TrayMenu(const EngineState &state, const ProgramSettings &settings, Actions actions)
    : m_state(state), m_settings(settings), m_actions(std::move(actions))
{
}

std::unique_ptr<QMenu> TrayMenu::build(int monitorImage, const DeviceWindows &windows) const
{
    const LanguageTexts &l = m_state.lang;
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("TrayMenu"));
    menu->setDefaultAction(item(*menu, l.t(QStringLiteral("Open")), Open));
    item(*menu, l.t(monitorImage == 1 ? QStringLiteral("Traystart") : QStringLiteral("Traystop")), StartStop);
    separator(*menu, 3);
    for (int slot = 1; slot <= 2; ++slot) {
        QAction *a = item(*menu, l.NomiProg[size_t(slot - 1)], slot == 1 ? Prog1 : Prog2);
        a->setEnabled(m_settings.readInt(SettingKeys::LaunchSection, SettingKeys::launchProgKey(slot), 0) != 0);
    }
    separator(*menu, 6);
    item(*menu, l.t(QStringLiteral("Options")), Options)->setEnabled(windows.provides(WindowNames::FrmOpt));
    separator(*menu, 8);
    MainMenus::CreaMenuScenari(menu.get(), QStringLiteral("Scenari"), m_state.model);
    separator(*menu, 6);
    item(*menu, QStringLiteral("About.."), About)->setEnabled(windows.provides(WindowNames::FrmAbout));
    item(*menu, l.t(QStringLiteral("Exit")), Exit);
    return menu;
}

int TrayMenu::popup(const QPoint &at, int monitorImage, const DeviceWindows &windows) const
{
    const std::unique_ptr<QMenu> menu = build(monitorImage, windows);
    const int id = identifier(menu->exec(at));
    act(id);
    return id;
}

int TrayMenu::identifier(const QAction *action) { return action ? action->data().toInt() : 0; }

void TrayMenu::act(int id) const
{
    const auto call = [](const std::function<void()> &f) {
        if (f)
            f();
    };
    switch (id) {
    case Open:
        call(m_actions.restore);
        break;
    case StartStop:
        call(m_actions.toggleMonitor);
        break;
    case Prog1:
    case Prog2: {
        // An empty or wrong path opens nothing, silently.
        const QString path = m_settings.read(SettingKeys::LaunchSection,
                                             SettingKeys::launchPathKey(id == Prog1 ? 1 : 2), QString());
        if (!path.isEmpty() && m_actions.openUrl)
            m_actions.openUrl(QUrl::fromLocalFile(path));
        break;
    }
    case Options:
    case About:
        if (m_actions.showWindow)
            m_actions.showWindow(id == Options ? WindowNames::FrmOpt : WindowNames::FrmAbout);
        break;
    case Exit:
        call(m_actions.exitProgram);
        break;
    default:
        if (id >= Scenario1 && id < Scenario1 + 16 && m_actions.sendScenario)
            m_actions.sendScenario(id - 100);
        break;
    }
}

QString TrayMenu::statusText(const LanguageTexts &lang, const LiveState &live)
{
    if (live.UltimoMessaggio.isEmpty())
        return lang.t(QStringLiteral("RClick"));
    return lang.t(QStringLiteral("Lastmsg")) + LogLine::Crlf + LogLine::timeText(live.OraUltimoMessaggio)
           + QStringLiteral(" : ") + live.UltimoMessaggio;
}
