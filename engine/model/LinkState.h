#pragma once

#include <QString>

// State of the gateway links, read by whoever needs to know whether a send is waiting.
struct LinkState
{
    bool ModoUsb = false;      // the gateway is on the serial port
    bool InInvio = false;      // a send waits for its acknowledgement
    bool ConnessoTCP = false;  // command socket connected
    bool ConnessoMon = false;  // monitor socket connected
    bool RilevamentoCom = false; // the options dialog is probing serial ports
    QString BufferCmd;         // command link receive buffer
    QString BufferMon;         // monitor or serial receive buffer
    QString FramePendenti;     // frames queued while a send waits
    QString IpGateway;
    QString PortaGateway;
    QString PasswordGateway;   // decimal OPEN password; empty: ask the user
    int IconaTray = 0;         // tray picture index: 0 monitor on, 2 monitor off
};
