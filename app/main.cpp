#include "shell/main/ConsolePane.h"
#include "app/EngineBridge.h"
#include "engine/model/EngineState.h"
#include "shell/main/FrmMain.h"
#include "app/ProgramServices.h"
#include "engine/config/ProgramSettings.h"
#include "shell/services/QtFileDialogService.h"
#include "shell/services/QtMessageBoxService.h"
#include "app/ProgramOptionsServices.h"
#include "app/RemoteStarter.h"
#include "engine/links/SerialDetection.h"
#include "engine/model/WindowNames.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProgramSettings::ApplicationName));
    QApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    // The program lives on in the tray while its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watches and drives a home-automation bus."));
    parser.addHelpOption();
    const QCommandLineOption folder(QStringLiteral("program-folder"),
                                    QStringLiteral("Folder with the language files, conf.xml and ico.icl."),
                                    QStringLiteral("folder"));
    const QCommandLineOption settingsFile(QStringLiteral("settings"),
                                          QStringLiteral("Settings kept in this INI file instead of the user's own."),
                                          QStringLiteral("file"));
    parser.addOption(folder);
    parser.addOption(settingsFile);
    parser.process(app);

    EngineState state;
    state.programFolder = parser.isSet(folder) ? QDir(parser.value(folder)).absolutePath()
                                               : QCoreApplication::applicationDirPath();
    auto settings = parser.isSet(settingsFile) ? std::make_unique<ProgramSettings>(parser.value(settingsFile))
                                               : std::make_unique<ProgramSettings>();

    QtMessageBoxService messages;
    QtFileDialogService files;
    ProgramServices services;
    FrmMain window(state, *settings, messages, files, FrmMain::Options{});
    messages.setParentWidget(&window);
    services.notice.attach(state, window.shellOptions(), window.images());
    services.devices.setUnloader(WindowNames::FrmMsg, [&services] { services.notice.unload(); });
    services.addShellFeatures(state, *settings, messages, window);
    EngineBridge engine(state, *settings, messages, window, services.services());
    services.addCamera({state, *settings, messages, engine, &window.Tlog(),
                        [&window] { window.windowUnloaded(WindowNames::FrmCamera); }});
    window.setEngine(&engine);
    RemoteStarter remote(services.remote, window, state, engine, &services.camera);
    services.addDeviceWindows({state, *settings, engine, window.shellOptions(), &window.menus(), {}});
    SerialDetection detection(state, engine.commands(), engine.monitor());
    services.options = std::make_unique<ProgramOptionsServices>(state, *settings, window, services.character, services.remote);
    services.addOptions({state, *settings, window, messages, files, services.colours, services.notice, services.devices,
                         *services.options, detection, &SerialDetection::ElencaCom},
                        &window);
    window.setDeviceWindows(&services.devices);
    QObject::connect(&window, &FrmMain::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.Main();
    return QApplication::exec();
}
