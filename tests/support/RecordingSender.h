#pragma once

#include "engine/model/LinkState.h"
#include "engine/ports/FrameSender.h"

#include <QStringList>
#include <functional>

// Records what was sent on each link; the command link acknowledges as told.
class RecordingSender : public FrameSender
{
public:
    explicit RecordingSender(const LinkState &link) : FrameSender(link) {}

    bool SendTCP(const QString &frame) override
    {
        tcp << frame;
        sent << QStringLiteral("tcp ") + frame;
        if (whileSending)
            whileSending();
        return acknowledge;
    }
    void SendUsb(const QString &frame, bool quiet) override
    {
        usb << frame + (quiet ? QStringLiteral(" quiet") : QString());
        sent << QStringLiteral("usb ") + frame;
    }

    QStringList tcp;
    QStringList usb;  // a quiet send ends in " quiet"
    QStringList sent; // both links in the order sent, each frame after its link: "tcp *1*1*11##"
    bool acknowledge = true;
    // Runs inside the send, as the gateway wait runs the event loop there.
    std::function<void()> whileSending;
};
