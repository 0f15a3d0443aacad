#pragma once

#include "AppServices.h"
#include "DeviceContext.h"
#include "DeviceHost.h"
#include "FrmAI.h"
#include "FrmAux.h"
#include "FrmMeter.h"
#include "FrmProbe.h"
#include "FrmScen.h"
#include "NullServices.h"
#include "RemoteAccess.h"
#include "WindowNames.h"

#include <QRandomGenerator>

// The services the program runs with: the device host, and a stand-in for each service that
// is not built yet. A new service replaces its stand-in here.
struct ProgramServices
{
    NoNotice notice;
    NoCharacter character;
    RemoteAccess remote;
    DeviceHost devices;

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
};
