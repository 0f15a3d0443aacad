#pragma once

#include "AppServices.h"
#include "DeviceHost.h"
#include "FrmOpt.h"
#include "NoOptionsServices.h"
#include "NullServices.h"
#include "QtColorDialogService.h"
#include "WindowNames.h"

// The services the program runs with: the device host, and a stand-in for each service that
// is not built yet. A new service replaces its stand-in here.
struct ProgramServices
{
    NoNotice notice;
    NoCharacter character;
    NoDisplayClient display;
    DeviceHost devices;
    NoOptionsServices options;
    QtColorDialogService colours;

    AppServices services() { return {notice, character, display, devices, devices}; }

    // The options dialog: one at a time, loaded fresh at each opening.
    void addOptions(const FrmOpt::Services &with, QWidget *owner)
    {
        devices.addWindow(WindowNames::FrmOpt, [with, owner] { return new FrmOpt(with, owner); });
    }
};
