#pragma once

#include "app/EngineBridge.h"
#include "app/ProgramApplication.h"
#include "app/ProgramServices.h"
#include "app/ProgramStages.h"
#include "app/RemoteStarter.h"
#include "engine/config/ProgramSettings.h"
#include "engine/links/SerialDetection.h"
#include "engine/model/EngineState.h"
#include "remote/RemoteAccess.h"
#include "shell/main/FrmMain.h"
#include "shell/services/QtFileDialogService.h"
#include "shell/services/QtMessageBoxService.h"

#include <QString>

#include <memory>
#include <optional>

class FileDialogService;
class MessageBoxService;
class SystemTray;

// The whole program, wired once: the application's own settings, the engine, the services,
// the main window and every window the main window opens. main() and the tests build it
// through here, so a wiring call that is missing or out of order shows in the tests too. The
// seams are what a test must replace.
class Program
{
public:
    struct Seams
    {
        // The folder of the language files, conf.xml and ico.icl.
        QString programFolder;
        // The settings' INI file; empty: the user's own store.
        QString settingsFile;
        // Dialogs the program opens; null: the real ones.
        MessageBoxService *messages = nullptr;
        FileDialogService *files = nullptr;
        // The speech engine of the character; unset: the platform's.
        SpeakingCharacter::EngineFactory voices;
        // Whether the platform shows a tray; unset: ask the platform.
        std::optional<bool> trayAvailable;
        // The notification area the tray icon shows in; null: the desktop's.
        SystemTray *tray = nullptr;
        // Where the remote services listen; unset: every interface on their own ports.
        std::optional<RemoteAccess::Ports> remotePorts;
    };

    explicit Program(Seams seams);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The main window's start-up; the program then runs in the event loop, which ends when
    // the main window has closed for good.
    void start();

    // One program per settings store: the lock for the store in that file, in the user's
    // runtime folder, the same however the file's path is written.
    static QString lockFileFor(const QString &storeFile);

    EngineState &state() { return m_state; }
    ProgramSettings &settings() { return *m_settings; }
    MessageBoxService &messages() { return m_messages; }
    ProgramServices &services() { return m_services; }
    FrmMain &window() { return m_window; }
    EngineBridge &engine() { return m_engine; }
    QString lockFile() const { return m_lockFile; }

private:
    ProgramApplication m_application;
    EngineState m_state;
    std::unique_ptr<ProgramSettings> m_settings;
    QString m_lockFile;
    QtMessageBoxService m_realMessages;
    QtFileDialogService m_realFiles;
    MessageBoxService &m_messages;
    FileDialogService &m_files;
    ProgramServices m_services;
    ProgramStages m_stages;
    FrmMain m_window;
    EngineBridge m_engine;
    RemoteStarter m_remote;
    SerialDetection m_detection;
};
