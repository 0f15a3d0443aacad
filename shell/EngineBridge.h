#pragma once

#include "ShellEngine.h"

#include <memory>

class ConfLoader;
class LanguageLoader;
class ProgramSettings;
class MessageBoxService;
struct EngineState;

// The engine pieces behind the main window's requests.
class EngineBridge : public ShellEngine
{
public:
    EngineBridge(EngineState &state, ProgramSettings &settings, MessageBoxService &messages);
    ~EngineBridge() override;

    void CaricaLingua(const QString &language) override;
    bool CaricaConf() override;
    bool SendTCP(const QString &frame) override;
    void SendUsb(const QString &frame, bool quiet) override;
    bool ApriGateway() override;
    void ChiudiMonitor() override;
    void ChiudiCollegamenti() override;

private:
    EngineState &m_state;
    std::unique_ptr<ConfLoader> m_conf;
    std::unique_ptr<LanguageLoader> m_language;
};
