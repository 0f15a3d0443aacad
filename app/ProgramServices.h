#pragma once

#include "app/AppServices.h"
#include "devices/camera/CameraContext.h"
#include "devices/camera/CameraWindowControl.h"
#include "shell/services/DesktopLinkOpener.h"
#include "devices/host/DeviceContext.h"
#include "devices/host/DeviceHost.h"
#include "devices/alarm/FrmAI.h"
#include "devices/aux/FrmAux.h"
#include "devices/camera/FrmCamera.h"
#include "devices/meters/FrmMeter.h"
#include "shell/options/FrmOpt.h"
#include "devices/probe/FrmProbe.h"
#include "devices/scenarios/FrmScen.h"
#include "shell/notice/NoticePopup.h"
#include "app/ProgramOptionsServices.h"
#include "shell/options/QtColorDialogService.h"
#include "remote/RemoteAccess.h"
#include "shell/character/SpeakingCharacter.h"
#include "engine/model/EngineState.h"
#include "engine/model/WindowNames.h"

#include <QRandomGenerator>

#include <memory>

class FrmMain;
class MessageBoxService;
class ProgramSettings;
class StartupUpdateCheck;
struct EngineState;

// The services the program runs with: the notice pop-up (attached to the main window once
// that exists), the speaking character, the remote services, the device host with every
// window, and the update check. A new service is added here.
struct ProgramServices
{
    // Tests hand in a speech engine of their own.
    explicit ProgramServices(SpeakingCharacter::EngineFactory voices = {});
    ~ProgramServices();

    NoticePopup notice;
    SpeakingCharacter character;
    RemoteAccess remote;
    DeviceHost devices;
    // What the display-client listener drives the camera window through.
    CameraWindowControl camera{devices};
    DesktopLinkOpener links;
    std::unique_ptr<StartupUpdateCheck> updateCheck;
    QtColorDialogService colours;
    std::unique_ptr<ProgramOptionsServices> options;

    AppServices services() { return {notice, character, remote.chum(), devices, devices}; }

    // The device windows, once the main window and the engine they talk through exist.
    void addDeviceWindows(DeviceContext context)
    {
        if (!context.draw)
            context.draw = [] { return QRandomGenerator::global()->generateDouble(); };
        devices.addWindow(WindowNames::FrmAux, [context] { return new FrmAux(context); });
        devices.addWindow(WindowNames::FrmAI, [context] { return new FrmAI(context); });
        devices.addWindow(WindowNames::FrmVolt, [context] { return new FrmMeter(context, MeterVariant::volt()); });
        devices.addWindow(WindowNames::FrmAmp, [context] { return new FrmMeter(context, MeterVariant::amp()); });
        devices.addWindow(WindowNames::FrmWatt, [context] { return new FrmMeter(context, MeterVariant::watt()); });
        devices.addWindow(WindowNames::FrmScen, [context] { return new FrmScen(context); });
        devices.setProbeZones([&model = context.state.model] {
            int zones = 0;
            while (zones + 1 < int(model.Sonde.size()) && !model.Sonde[size_t(zones + 1)].isEmpty())
                ++zones;
            return zones;
        });
        devices.setProbeFactory([context](int, const QString &zoneName) {
            auto *probe = new FrmProbe(context);
            probe->Lname(zoneName);
            return probe;
        });
    }

    // The camera window needs the engine and the main window, which are built after these.
    void addCamera(const CameraContext &context)
    {
        devices.addWindow(WindowNames::FrmCamera, [context] { return new FrmCamera(context); });
    }

    // The start-up update check, the update window and the about box, joined to the main
    // window; before the window is given the device windows.
    void addShellFeatures(EngineState &state, MessageBoxService &messages, FrmMain &window);

    // The options dialog: one at a time, loaded fresh at each opening. It drives the notice
    // preview, the character and the remote services through `options`.
    void addOptions(FrmOpt::Services with, QWidget *owner)
    {
        devices.addWindow(WindowNames::FrmOpt, [with, owner] { return new FrmOpt(with, owner); });
    }
};
