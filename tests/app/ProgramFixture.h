#pragma once

#include "app/EngineBridge.h"
#include "engine/model/EngineState.h"
#include "demo-gateway/FakeGateway.h"
#include "support/FakeVoices.h"
#include "shell/main/FrmMain.h"
#include "app/ProgramServices.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingFileDialog.h"
#include "support/RecordingMessageBox.h"
#include "engine/config/SettingKeys.h"
#include "support/TestFolder.h"

#include <functional>
#include <memory>

// The program as main() wires it, in a folder of its own with the shipped language files and
// conf.xml. A test saves the settings it wants, then calls startEngine(). The gateway lives
// here, not in a test's own fixture, so that it outlives the engine's sessions to it.
struct ProgramFixture
{
    // With fakeVoices the character speaks through `voices`, which keeps sight of it.
    explicit ProgramFixture(bool fakeVoices = false)
        : settings(dir.settingsFile()),
          services(fakeVoices ? SpeakingCharacter::EngineFactory(voices.factory()) : SpeakingCharacter::EngineFactory()),
          window(state, settings, boxes, files, FrmMain::Options{dir.filePath(QStringLiteral("ombrix.lock")), false})
    {
        for (const char *name : {"italian.lng", "english.lng", "conf.xml"})
            dir.copyShipped(QString::fromLatin1(name));
        state.programFolder = dir.path();
    }

    // Points the settings at `gateway`, listening on loopback.
    void useGateway()
    {
        gateway.listen();
        settings.save(SettingKeys::ServerIP, gateway.address());
        settings.save(SettingKeys::ServerPORT, QString::number(gateway.port()));
    }

    // The engine on the settings saved so far; `addWindows` adds what needs the engine before
    // the main window is told its device windows, as main() does.
    void startEngine(const std::function<void()> &addWindows = {})
    {
        engine = std::make_unique<EngineBridge>(state, settings, boxes, window, services.services());
        window.setEngine(engine.get());
        if (addWindows)
            addWindows();
        window.setDeviceWindows(&services.devices);
    }

    TestFolder dir;
    ProgramSettings settings;
    EngineState state;
    RecordingMessageBox boxes;
    RecordingFileDialog files;
    FakeVoices voices;
    FakeGateway gateway;
    ProgramServices services;
    FrmMain window;
    std::unique_ptr<EngineBridge> engine;
};
