#pragma once

#include "shell/main/MainWindowStages.h"

class FrmMain;
class ProgramSettings;
struct EngineState;
struct ProgramServices;

// The main window's start-up and closing stages that start and stop the program's services:
// the update check, the character and the remote services.
class ProgramStages final : public MainWindowStages
{
public:
    // `window` is read only when a stage runs, so it may still be under construction here.
    ProgramStages(ProgramServices &services, EngineState &state, ProgramSettings &settings, FrmMain &window);

    void startUpdateCheck() override;
    bool loadCharacter(const QString &name) override;
    void startRemoteAccess() override;
    void stopRemoteAccess() override;
    void closeShellFeatures() override;

private:
    ProgramServices &m_services;
    EngineState &m_state;
    ProgramSettings &m_settings;
    FrmMain &m_window;
};
