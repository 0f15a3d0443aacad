#include "app/ProgramServices.h"

#include "engine/model/EngineState.h"
#include "shell/about/FrmAbout.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/FrmMain.h"
#include "engine/protocol/LogLine.h"
#include "shell/update/FrmUpd.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/update/StartupUpdateCheck.h"
#include "shell/services/TrayIcon.h"
#include "engine/model/WindowNames.h"

ProgramServices::ProgramServices(SpeakingCharacter::EngineFactory voices) : character(std::move(voices)) {}

ProgramServices::~ProgramServices() = default;

void ProgramServices::addShellFeatures(EngineState &state, ProgramSettings &settings, MessageBoxService &messages,
                                       FrmMain &window)
{
    ShellOptions &options = window.shellOptions();
    window.loadCharacter = [this, &state, &settings, &options](const QString &name) {
        character.attach(options, state.lang.Lingua);
        if (!character.load(name))
            return false;
        character.SetSoundEffectsOn(settings.readInt(SettingKeys::AgSound) == 1);
        if (NumberConversions::tryValue(options.OpzHlet) == 0.0)
            character.Show();
        return true;
    };

    character.setLog([&window](const QString &text) { window.Tlog().appendText(LogLine::at(text)); });
    updateCheck = std::make_unique<StartupUpdateCheck>(window, state.lang, options, state.InChiusura);
    window.startUpdateCheck = [this] { updateCheck->start(); };
    // A newer version found at start-up is told in a tray balloon.
    QObject::connect(updateCheck.get(), &StartupUpdateCheck::newerVersion, &window, [&window](const QString &text) {
        if (TrayIcon *tray = window.MyTray())
            tray->MSG(text);
    });
    window.closeShellFeatures = [this] {
        updateCheck->cancel();
        character.release();
    };

    devices.setMainWindow(&window);
    devices.addWindow(WindowNames::FrmUpd,
                      [this, &state, &options, &window] { return new FrmUpd(state.lang, options, links, &window); });
    devices.addWindow(WindowNames::FrmAbout, [this, &state, &options, &messages, &window] {
        return new FrmAbout(state.lang, options, links, messages, SystemInfoTool(), &window);
    });
}
