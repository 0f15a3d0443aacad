#include "app/ProgramServices.h"

#include "engine/model/EngineState.h"
#include "shell/about/FrmAbout.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/FrmMain.h"
#include "engine/protocol/LogLine.h"
#include "shell/update/FrmUpd.h"
#include "shell/update/StartupUpdateCheck.h"
#include "shell/services/TrayIcon.h"
#include "engine/model/WindowNames.h"

ProgramServices::ProgramServices(SpeakingCharacter::EngineFactory voices) : character(std::move(voices)) {}

ProgramServices::~ProgramServices() = default;

void ProgramServices::addShellFeatures(EngineState &state, MessageBoxService &messages, FrmMain &window)
{
    ShellOptions &options = window.shellOptions();
    character.setLog([&window](const QString &text) { window.Tlog().appendText(LogLine::at(text)); });
    updateCheck = std::make_unique<StartupUpdateCheck>(window, state.lang, options, state.InChiusura);
    // A newer version found at start-up is told in a tray balloon.
    QObject::connect(updateCheck.get(), &StartupUpdateCheck::newerVersion, &window, [&window](const QString &text) {
        if (TrayIcon *tray = window.MyTray())
            tray->MSG(text);
    });

    devices.setMainWindow(&window);
    devices.addWindow(WindowNames::FrmUpd,
                      [this, &state, &options, &window] { return new FrmUpd(state.lang, options, links, &window); });
    devices.addWindow(WindowNames::FrmAbout, [this, &state, &options, &messages, &window] {
        return new FrmAbout(state.lang, options, links, messages, SystemInfoTool(), &window);
    });
}
