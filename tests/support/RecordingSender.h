#pragma once

#include "engine/ports/FrameSender.h"
#include "engine/model/LinkState.h"

#include <QStringList>

// Records what was sent on each link; the command link acknowledges as told.
class RecordingSender : public FrameSender
{
public:
    explicit RecordingSender(const LinkState &link) : FrameSender(link) {}

    bool SendTCP(const QString &frame) override
    {
        tcp << frame;
        return acknowledge;
    }
    void SendUsb(const QString &frame, bool quiet) override { usb << frame + (quiet ? QStringLiteral(" quiet") : QString()); }

    QStringList tcp;
    QStringList usb;
    bool acknowledge = true;
};
