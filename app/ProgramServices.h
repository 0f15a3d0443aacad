#pragma once

#include "AppServices.h"
#include "CameraContext.h"
#include "CameraWindowControl.h"
#include "DeviceContext.h"
#include "DeviceHost.h"
#include "FrmAI.h"
#include "FrmAux.h"
#include "FrmCamera.h"
#include "FrmMeter.h"
#include "FrmProbe.h"
#include "FrmScen.h"
#include "NoticePopup.h"
#include "NullServices.h"
#include "RemoteAccess.h"
#include "WindowNames.h"

#include <QRandomGenerator>

// The services the program runs with: the device host, the notice pop-up (attached to the main
// window once that exists), and a stand-in for each service that is not built yet. A new
// service replaces its stand-in here.
struct ProgramServices
{
    NoticePopup notice;
    NoCharacter character;
    RemoteAccess remote;
    DeviceHost devices;
    // What the display-client listener drives the camera window through.
    CameraWindowControl camera{devices};

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
};
