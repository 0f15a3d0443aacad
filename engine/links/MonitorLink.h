#pragma once

#include "engine/links/FrameReassembler.h"
#include "engine/links/FrameSlicer.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>

class CommandLink;
class FrameSink;
class LinkWindow;
class LogPane;
class MessageBoxService;
class NoticeService;
class ProgramSettings;
class StatusBar;
struct EngineState;

// The monitor link: every bus event comes in here, from the monitor session of an
// Ethernet gateway (WSMON) or from a serial gateway (Comm, shared with the command link).
class MonitorLink : public QObject
{
    Q_OBJECT

public:
    struct Timings
    {
        int connectMs = 5000;
        int greetingMs = 5000;
        int sessionMs = 2000;
        int serialAnswerMs = 100;
    };
    MonitorLink(EngineState &state, const ProgramSettings &settings, CommandLink &commands, FrameSink &sink,
                LogPane &Tlog, StatusBar &StBar, LinkWindow &window, NoticeService &notices,
                MessageBoxService &messages, QObject *parent = nullptr);
    ~MonitorLink() override;
    void setTimings(const Timings &timings) { m_timings = timings; }

    // Opens the link chosen by Option/"Gateway"; true when it is open.
    bool ApriGateway();
    // Opens Comm on the port an Option/"Com" value names, at the gateway's line settings
    // and with no received text left from before; the serial-gateway probe opens it so too.
    bool ApriPorta(const QString &com);
    bool ConnettiMonitor(bool &ack);
    bool AvviaMonitor();

    QTcpSocket &WSMON() { return m_socket; }
    // Serial text received and not yet ended by "##".
    QString RicezioneSeriale() const { return m_serial.tail(); }

public slots:
    void Comm_OnComm();

private slots:
    void Comm_Error(QSerialPort::SerialPortError error);
    void WSMON_Connect();
    void WSMON_Close();
    void WSMON_Error(QAbstractSocket::SocketError error);
    void WSMON_DataArrival();

private:
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool monitorSwitchedOff() const;
    bool stopped() const;
    void received(const QString &piece);
    // What waited in the socket or the port while the slicer was full.
    void readHeld();
    void translate(QString &slice, LogPane &pane);
    bool success();
    bool failurePath(bool serial, const QString &failureText, const QString &port);
    // The monitor went off by itself: the log, the button, the status and the tray say so.
    void monitorStopped();
    void closeSocket();
    QString portCaption(const QString &com, const QString &prefix) const;

    EngineState &m_state;
    const ProgramSettings &m_settings;
    CommandLink &m_commands;
    FrameSink &m_sink;
    LogPane &m_Tlog;
    StatusBar &m_StBar;
    LinkWindow &m_window;
    QString m_connectReason;  // why the last connection did not come, where known
    NoticeService &m_notices;
    MessageBoxService &m_messages;
    Timings m_timings;
    QTcpSocket m_socket;
    FrameReassembler m_received;  // WSMON
    FrameReassembler m_serial;    // Comm
    FrameSlicer m_slices;         // received frames not yet translated
    bool m_sessionOpen = false;   // the monitor session on WSMON is open
};
