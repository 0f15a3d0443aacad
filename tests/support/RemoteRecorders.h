#pragma once

#include "engine/ports/CameraControl.h"
#include "remote/display/ClientLamp.h"
#include "support/RecordingSender.h"

#include <QList>
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
