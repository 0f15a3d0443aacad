#include "EngineBridge.h"

#include "ConfLoader.h"
#include "EngineState.h"
#include "LanguageLoader.h"

EngineBridge::EngineBridge(EngineState &state, ProgramSettings &settings, MessageBoxService &messages)
    : m_state(state),
      m_conf(std::make_unique<ConfLoader>(state, messages)),
      m_language(std::make_unique<LanguageLoader>(state.lang, settings, messages, state.programFolder))
{
}

EngineBridge::~EngineBridge() = default;

void EngineBridge::CaricaLingua(const QString &language) { m_language->CaricaLingua(language); }

bool EngineBridge::CaricaConf() { return m_conf->CaricaConf(); }

bool EngineBridge::SendTCP(const QString &) { return false; }

void EngineBridge::SendUsb(const QString &, bool) {}

bool EngineBridge::ApriGateway() { return false; }

void EngineBridge::ChiudiMonitor() {}

void EngineBridge::ChiudiCollegamenti() {}
