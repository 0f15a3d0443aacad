#pragma once

#include <QString>
#include <QStringList>

class CommandLink;
class MonitorLink;
struct EngineState;

// Finds the port a serial gateway sits on: each port is opened at the gateway's line
// settings, sent one status request, and taken when a complete reply comes back. The reply
// is recognised by the monitor link's serial receive handler, which only notes it while
// RilevamentoCom is set.
class SerialDetection
{
public:
    struct Timings
    {
        int replyMs = 500;  // how long a probe waits for the reply
        int pauseMs = 500;  // pause after a port that stayed silent
    };
    static constexpr int MaxPorts = 50;

    SerialDetection(EngineState &state, CommandLink &commands, MonitorLink &monitor);
    void setTimings(const Timings &timings) { m_timings = timings; }

    // ElencaCom: the names of this computer's serial ports ("COM3", "ttyUSB0"), in ascending
    // order, at most MaxPorts. Nothing is opened. SerialPortSetting gives what Com stores.
    static QStringList ElencaCom();

    // ProvaCom: true when a serial gateway answered on that port. Leaves the port closed.
    bool ProvaCom(const QString &port);
    // Probes the ports in order, pausing after each silent one; the index of the first that
    // answered, or -1. The shutdown ends the search at once.
    int cerca(const QStringList &ports);
    // Opens the port once and closes it again: empty text when it opened, else the reason.
    QString provaApertura(const QString &port);

private:
    EngineState &m_state;
    CommandLink &m_commands;
    MonitorLink &m_monitor;
    Timings m_timings;
};
