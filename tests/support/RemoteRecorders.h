#pragma once

#include "engine/ports/CameraControl.h"
#include "remote/display/ClientLamp.h"
#include "engine/ports/FrameSender.h"

#include <QList>
#include <functional>
#include <QStringList>

// Recorders standing in for the main window's lamp, the camera window and the links in
// tests of the remote services.

class RecordingLamp : public ClientLamp
{
public:
    void setClientLamp(quint32 bgr) override { colours << bgr; }
    quint32 last() const { return colours.isEmpty() ? 0 : colours.last(); }
    QList<quint32> colours;
};

class RecordingCamera : public CameraControl
{
public:
    bool showCamera() override
    {
        calls << QStringLiteral("show");
        return available;
    }
    void StopMe() override { calls << QStringLiteral("StopMe"); }
    void Video(int camera) override { calls << QStringLiteral("Video %1").arg(camera); }
    bool available = true;
    QStringList calls;
};

// Frames as they would go to the bus, each with its link ("tcp" or "usb").
class RecordingSender : public FrameSender
{
public:
    using FrameSender::FrameSender;
    bool SendTCP(const QString &frame) override
    {
        sent << QStringLiteral("tcp ") + frame;
        if (whileSending)
            whileSending();
        return acknowledge;
    }
    void SendUsb(const QString &frame, bool) override { sent << QStringLiteral("usb ") + frame; }
    bool acknowledge = true;
    // Runs inside the send, as the gateway wait runs the event loop there.
    std::function<void()> whileSending;
    QStringList sent;
};
