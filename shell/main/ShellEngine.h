#pragma once

#include "engine/ports/FrameSender.h"

#include <QString>

// What the main window asks of the engine: the language and installation loaders and the
// gateway links. The program hands in the real ones; tests hand in fakes or the real links
// on a fake gateway.
class ShellEngine : public FrameSender
{
public:
    using FrameSender::FrameSender;

    // Loads the language file of that name into the shared texts; may throw.
    virtual void CaricaLingua(const QString &language) = 0;
    // Reads conf.xml into the installation model; false when the program cannot run.
    virtual bool CaricaConf() = 0;

    // Opens the gateway link and the monitor session.
    virtual bool ApriGateway() = 0;
    // The monitor switched off: the monitor socket closed, the serial port closed, ModoUsb cleared.
    virtual void ChiudiMonitor() = 0;
    // Closing: every socket of the links and the serial port closed.
    virtual void ChiudiCollegamenti() = 0;
};
