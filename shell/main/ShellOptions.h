#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

// What the later windows read of the main window: values set at start-up, the live copies of
// settings that the notice pop-up and the character use (the options dialog updates them
// when the user changes them), and the open probe windows. The main window owns it; the
// others take it by reference.
struct ShellOptions
{
    QString DirWindows;          // where character files are looked for
    QString VersioneCorrente;    // the running version, "1.0.4B5"
    QString MsgPosX;             // notice position in twips, as stored
    int MsgPosY = 0;             // twips; any screen's, not only 16 bits' worth
    quint8 OpzFx = 1;            // notice effect: "fx"
    QString OpzMsgType;          // notice colour scheme: "msgtype"
    quint8 OpzMsgTras = 255;     // notice opacity: "msgtras"
    QString OpzHlet;             // character's speech balloon: "hlet"

    // The zones whose probe window is open, "1,2,3", and those windows by zone.
    QString SondeAperte;
    std::array<QPointer<QWidget>, 100> FinestreSonda{};
};
