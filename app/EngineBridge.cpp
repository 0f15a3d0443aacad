#include "app/EngineBridge.h"

#include "shell/main/CommandBoxWidget.h"
#include "engine/links/CommandLink.h"
#include "engine/config/ConfLoader.h"
#include "shell/main/ConsolePane.h"
#include "engine/model/EngineState.h"
#include "engine/translator/FrameTranslator.h"
#include "shell/main/FrmMain.h"
#include "engine/config/LanguageLoader.h"
#include "engine/links/MonitorLink.h"

EngineBridge::EngineBridge(EngineState &state, ProgramSettings &settings, MessageBoxService &messages,
                           FrmMain &window, const AppServices &services)
    : ShellEngine(state.link),
      m_state(state),
      m_conf(std::make_unique<ConfLoader>(state, messages)),
      m_language(std::make_unique<LanguageLoader>(state.lang, settings, messages, state.programFolder)),
      m_translator(std::make_unique<FrameTranslator>(
          state, FrameTranslator::Outputs{services.notice, services.character, services.windows, services.display,
                                          window, messages})),
      m_commands(std::make_unique<CommandLink>(state, *m_translator, window.TlogC(), window, window.Tcmd(), window,
                                               messages)),
      m_monitor(std::make_unique<MonitorLink>(state, settings, *m_commands, *m_translator, window.Tlog(), window,
                                              window, services.notice, messages))
{
}

EngineBridge::~EngineBridge() = default;

void EngineBridge::CaricaLingua(const QString &language) { m_language->CaricaLingua(language); }

bool EngineBridge::CaricaConf() { return m_conf->CaricaConf(); }

bool EngineBridge::SendTCP(const QString &frame) { return m_commands->SendTCP(frame); }

void EngineBridge::SendUsb(const QString &frame, bool quiet) { m_commands->SendUsb(frame, quiet); }

bool EngineBridge::ApriGateway() { return m_monitor->ApriGateway(); }

void EngineBridge::ChiudiMonitor()
{
    m_monitor->WSMON().close();
    m_state.link.ModoUsb = false;
    if (m_commands->Comm().isOpen())
        m_commands->Comm().close();
}

void EngineBridge::ChiudiCollegamenti()
{
    m_commands->Winsock1().close();
    m_monitor->WSMON().close();
    if (m_commands->Comm().isOpen())
        m_commands->Comm().close();
}
