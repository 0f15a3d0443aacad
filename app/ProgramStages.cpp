#include "app/ProgramStages.h"

#include "app/ProgramServices.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/NumberConversions.h"
#include "shell/main/FrmMain.h"
#include "shell/update/StartupUpdateCheck.h"

ProgramStages::ProgramStages(ProgramServices &services, EngineState &state, ProgramSettings &settings,
                             FrmMain &window)
    : m_services(services), m_state(state), m_settings(settings), m_window(window)
{
}

void ProgramStages::startUpdateCheck() { m_services.updateCheck->start(); }

bool ProgramStages::loadCharacter(const QString &name)
{
    SpeakingCharacter &character = m_services.character;
    ShellOptions &options = m_window.shellOptions();
    character.attach(options, m_state.lang.Lingua);
    if (!character.load(name))
        return false;
    character.SetSoundEffectsOn(m_settings.readInt(SettingKeys::AgSound) == 1);
    if (NumberConversions::tryValue(options.OpzHlet) == 0.0)
        character.Show();
    return true;
}

void ProgramStages::startRemoteAccess() { m_services.remote.start(); }

void ProgramStages::stopRemoteAccess() { m_services.remote.stop(); }

void ProgramStages::closeShellFeatures()
{
    m_services.updateCheck->cancel();
    m_services.character.release();
}
