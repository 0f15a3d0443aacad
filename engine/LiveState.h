#pragma once

#include <QString>
#include <QTime>
#include <array>

// Device state written by the translator and polled by the windows.
struct LiveState
{
    std::array<QString, 16> StatoAux{};   // channels 0..15, empty until reported
    std::array<QString, 100> TempSonde{}; // last temperature text per zone
    QString VoltValue;
    QString AmpValue;
    QString WattValue;
    QString UltimoMessaggio;
    QTime OraUltimoMessaggio;
    bool RichiestaStato = false;
};
