#pragma once

#include "app/Program.h"
#include "demo-gateway/FakeGateway.h"
#include "engine/config/SettingKeys.h"
#include "support/FakeVoices.h"
#include "support/RecordingFileDialog.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingTray.h"
#include "support/TestFolder.h"

#include <QHostAddress>

// The program built by the same code as main() builds it, in a folder of its own with the
// shipped language files and conf.xml, with recorded dialogs, a recorded tray or none, and the
// remote services on loopback ports of the system's choosing. A test saves the settings it
// wants, then calls start(). The gateway lives here so that it outlives the engine's sessions
// to it.
struct ProgramFixture
{
    struct With
    {
        // The character speaks through `voices`, which keeps sight of it.
        bool fakeVoices = false;
        // The desktop has a notification area: `tray` records it.
        bool tray = false;
    };

    ProgramFixture() : ProgramFixture(With{}) {}
    explicit ProgramFixture(With with)
        : program(seams(with)),
          state(program.state()),
          settings(program.settings()),
          services(program.services()),
          window(program.window()),
          engine(&program.engine())
    {
        for (const char *name : {"italian.lng", "english.lng", "conf.xml"})
            dir.copyShipped(QString::fromLatin1(name));
    }

    // Points the settings at `gateway`, listening on loopback.
    void useGateway()
    {
        gateway.listen();
        settings.save(SettingKeys::ServerIP, gateway.address());
        settings.save(SettingKeys::ServerPORT, QString::number(gateway.port()));
    }

    void start() { program.start(); }

    TestFolder dir;
    RecordingMessageBox boxes;
    RecordingFileDialog files;
    RecordingTray tray;
    FakeVoices voices;
    FakeGateway gateway;
    Program program;
    EngineState &state;
    ProgramSettings &settings;
    ProgramServices &services;
    FrmMain &window;
    EngineBridge *engine;

private:
    Program::Seams seams(With with)
    {
        Program::Seams s;
        s.programFolder = dir.path();
        s.settingsFile = dir.settingsFile();
        s.messages = &boxes;
        s.files = &files;
        if (with.fakeVoices)
            s.voices = voices.factory();
        s.trayAvailable = with.tray;
        s.tray = &tray;
        s.remotePorts = RemoteAccess::Ports{QHostAddress::LocalHost, 0, 0, 0};
        return s;
    }
};
