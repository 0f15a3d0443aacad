#pragma once

#include <QString>
#include <QTime>
#include <array>
#include <optional>

// Device state written by the translator and polled by the windows.
struct LiveState
{
    static constexpr int AuxChannels = 16;
    static constexpr int Zones = 100;
    static constexpr int AlarmZones = 9;

    std::array<std::optional<bool>, AuxChannels> StatoAux{}; // on/off, empty until reported
    std::array<QString, Zones> TempSonde{}; // last temperature text per zone, or "---"
    // 0 the alarm system, 1 its engagement, 2 the battery, 3 the mains; empty until reported.
    std::array<std::optional<int>, 4> StatoAllarme{};
    // Zones 0..8 by two columns; column 0 is "1" while the zone is active, "0" once inactive.
    std::array<std::array<QString, 2>, AlarmZones> ZoneAllarme{};
    QString VoltValue = QStringLiteral("0"); // meter readings as received
    QString AmpValue = QStringLiteral("0");
    qint16 WattValue = 0;
    QString UltimoMessaggio;
    QTime OraUltimoMessaggio;
    bool RichiestaStato = false; // an alarm or all-channel status request is answering: channel frames stay silent
    bool AuxLetti = false;       // the auxiliary status reply has been read once
};
