#pragma once

#include <QString>
#include <array>

// One bus point of the installation (WHERE 0..999).
struct Dispositivo
{
    QString name;
    bool pull = false;
    quint8 group = 0;
    QString type;          // empty: the point is not configured
    quint8 dimmer = 0;
    quint8 state = 0;      // lighting: 0 off / 1 on; automation: the last WHAT received

    bool configured() const { return !type.isEmpty(); }
};

// A scenario of the scenario module.
struct ScenarioF420
{
    QString name;
    QString address;       // module address as written in conf.xml ("01")
    QString defined;       // "1" once conf.xml defined it
};

// A scenario of the scenario programmer.
struct ScenarioMH200
{
    QString name;
    QString cenact;
    QString cendis;
};

// What conf.xml describes. Filled once at start-up; afterwards only the translator writes,
// and only the state byte of Dispositivi. Containers are read with at(), so an index out
// of range is an error for the caller rather than undefined behaviour.
struct InstallationModel
{
    static constexpr int PointCount = 1000;
    // Load priorities 1..9. Energy frames for a load of 10 or more name the central unit, not
    // a load, so conf.xml is told at once that names for such priorities would never show.
    static constexpr int LoadCount = 10;

    std::array<Dispositivo, PointCount> Dispositivi{};
    std::array<QString, 10> Gruppi{};           // groups 1..9
    std::array<QString, LoadCount> Carichi{};   // loads by priority
    std::array<QString, 16> NomiAux{};          // channels 1..15
    std::array<QString, 100> Sonde{};           // zones 1..99
    std::array<QString, 13> NomiCamere{};       // cameras 1..12
    std::array<QString, 13> IndirizziCamere{};  // "4001" or "4001#2"
    std::array<ScenarioF420, 17> ScenariF420{}; // 1..16
    std::array<ScenarioMH200, 101> ScenariMH200{}; // 0..100
    bool ConfCaricata = false;
};
