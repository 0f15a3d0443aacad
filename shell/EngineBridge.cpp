#include "EngineBridge.h"

#include "ConfLoader.h"
#include "EngineState.h"

EngineBridge::EngineBridge(EngineState &state, MessageBoxService &messages)
    : m_state(state), m_conf(std::make_unique<ConfLoader>(state, messages))
{
}

EngineBridge::~EngineBridge() = default;

void EngineBridge::CaricaLingua(const QString &language) { m_state.lang.Lingua = language; }

bool EngineBridge::CaricaConf() { return m_conf->CaricaConf(); }

bool EngineBridge::SendTCP(const QString &) { return false; }

void EngineBridge::SendUsb(const QString &, bool) {}

bool EngineBridge::ApriGateway() { return false; }

void EngineBridge::ChiudiMonitor() {}

void EngineBridge::ChiudiCollegamenti() {}
