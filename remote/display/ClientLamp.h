#pragma once

#include <QtGlobal>

// The display-client lamp "Lchum" of the main window's status bar.
class ClientLamp
{
public:
    // Colours as the settings keep them (0xBBGGRR).
    static constexpr quint32 Green = 65280;
    static constexpr quint32 Yellow = 65535;
    static constexpr quint32 Grey = 8421504;
    static constexpr quint32 Red = 255;
    static constexpr quint32 Off = 0xC0C0C0;  // the listeners are not running

    virtual ~ClientLamp() = default;
    virtual void setClientLamp(quint32 bgr) = 0;
};
