#pragma once

#include "app/AppServices.h"
#include "shell/main/ShellEngine.h"

#include <memory>

class CommandLink;
class ConfLoader;
class FrameTranslator;
class FrmMain;
class LanguageLoader;
class MessageBoxService;
class MonitorLink;
class ProgramSettings;
struct EngineState;

// The engine behind the main window: the loaders, the frame translator and both gateway
// links, writing into the window's panes, status bar and command box, and reaching notices,
// the character, the display client and the device windows through the services handed in.
class EngineBridge : public ShellEngine
{
public:
    EngineBridge(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FrmMain &window,
                 const AppServices &services);
    ~EngineBridge() override;

    void CaricaLingua(const QString &language) override;
    bool CaricaConf() override;
    bool SendTCP(const QString &frame) override;
    void SendUsb(const QString &frame, bool quiet) override;
    bool ApriGateway() override;
    void ChiudiMonitor() override;
    void ChiudiCollegamenti() override;

    FrameTranslator &translator() { return *m_translator; }
    CommandLink &commands() { return *m_commands; }
    MonitorLink &monitor() { return *m_monitor; }

private:
    EngineState &m_state;
    std::unique_ptr<ConfLoader> m_conf;
    std::unique_ptr<LanguageLoader> m_language;
    std::unique_ptr<FrameTranslator> m_translator;
    std::unique_ptr<CommandLink> m_commands;
    std::unique_ptr<MonitorLink> m_monitor;
};
