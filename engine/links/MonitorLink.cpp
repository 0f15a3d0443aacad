#include "engine/links/MonitorLink.h"

#include "engine/links/CommandLink.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/links/FrameReassembler.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSink.h"
#include "engine/links/GatewayConnect.h"
#include "engine/links/LinkWait.h"
#include "engine/ports/LinkWindow.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/NoticeService.h"
#include "engine/config/ProgramSettings.h"
#include "engine/links/SerialPortName.h"
#include "engine/links/SessionOpening.h"
#include "engine/config/SettingKeys.h"
#include "engine/ports/StatusBar.h"

#include <utility>

namespace {
constexpr int MonitorOffImage = 1;
constexpr int MonitorOffPicture = 2;
} // namespace

MonitorLink::MonitorLink(EngineState &state, const ProgramSettings &settings, CommandLink &commands,
                         FrameSink &sink, LogPane &Tlog, StatusBar &StBar, LinkWindow &window, NoticeService &notices,
                         MessageBoxService &messages, QObject *parent)
    : QObject(parent), m_state(state), m_settings(settings), m_commands(commands), m_sink(sink), m_Tlog(Tlog),
      m_StBar(StBar), m_window(window), m_notices(notices), m_messages(messages),
      m_slices(
          Tlog, [this](QString &slice, LogPane &pane) { translate(slice, pane); },
          [this] { return bool(m_state.InChiusura); })
{
    connect(&m_socket, &QTcpSocket::connected, this, &MonitorLink::WSMON_Connect);
    connect(&m_socket, &QTcpSocket::disconnected, this, &MonitorLink::WSMON_Close);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &MonitorLink::WSMON_Error);
    connect(&m_socket, &QTcpSocket::readyRead, this, &MonitorLink::WSMON_DataArrival);
    m_socket.setReadBufferSize(FrameSlicer::ReadBufferBytes);
    m_slices.setResume([this] { readHeld(); });
    QSerialPort &comm = m_commands.Comm();
    connect(&comm, &QSerialPort::readyRead, this, &MonitorLink::Comm_OnComm);
    connect(&comm, &QSerialPort::errorOccurred, this, &MonitorLink::Comm_Error);
}

// The socket dies after the members it reports into: its last "disconnected" would reach a
// half-destroyed link.
MonitorLink::~MonitorLink() { m_socket.disconnect(this); }

bool MonitorLink::monitorSwitchedOff() const
{
    return m_window.monitorButtonImage() == MonitorOffImage;
}

bool MonitorLink::stopped() const
{
    return m_state.InChiusura || monitorSwitchedOff();
}

QString MonitorLink::portCaption(const QString &com, const QString &prefix) const
{
    return SerialPorts::isPortNumber(com) ? prefix + com.trimmed() : com.trimmed();
}

bool MonitorLink::ApriGateway()
{
    const LanguageTexts &lang = m_state.lang;
    LinkState &link = m_state.link;
    if (m_settings.readInt(SettingKeys::Gateway) == 1) {
        QSerialPort &comm = m_commands.Comm();
        if (comm.isOpen())
            comm.close();
        const QString com = m_settings.read(SettingKeys::Com);
        m_StBar.setStatusText(lang.t(QStringLiteral("StartMon")));
        m_Tlog.appendText(LogLine::at(lang.t(QStringLiteral("LogStart")) + QStringLiteral(" @ USB: ")
                                      + portCaption(com, QStringLiteral("COM")))
                          + QStringLiteral("---") + LogLine::Crlf);
        link.ModoUsb = false;
        QString failureText = lang.t(QStringLiteral("NoComm"));

        if (!ApriPorta(com))
            return failurePath(true, failureText, com);
        m_commands.SendUsb(Frame::gatewayModelRequest(), false);

        const LinkWait::Outcome outcome = LinkWait::run([&] { return link.ModoUsb; }, [this] { return stopped(); },
                                                        m_timings.serialAnswerMs, {{&comm, SIGNAL(readyRead())}});
        failureText = lang.t(QStringLiteral("NoUsb"));
        if (outcome != LinkWait::Outcome::Aborted && link.ModoUsb)
            return success();
        // A late answer must not bring in frames, or switch the senders to the port, while
        // the monitor shows off.
        comm.close();
        link.ModoUsb = false;
        return failurePath(true, failureText, com);
    }

    m_StBar.setStatusText(lang.t(QStringLiteral("StartMon")));
    m_Tlog.appendText(LogLine::at(lang.t(QStringLiteral("LogStart")) + QStringLiteral(" @ ETH: ") + link.IpGateway)
                      + QStringLiteral("---") + LogLine::Crlf);
    if (m_sessionOpen && connected())
        return success();
    bool ack = false;
    if (!ConnettiMonitor(ack))
        return failurePath(false, QString(), QString());
    if (!ack) {
        closeSocket();
        return failurePath(false, QString(), QString());
    }
    if (AvviaMonitor())
        return success();
    closeSocket();
    return failurePath(false, QString(), QString());
}

bool MonitorLink::success()
{
    m_StBar.setStatusText(m_state.lang.t(QStringLiteral("StatCon")));
    QString silenced;
    for (int k = 0; k < Filters::GroupCount; ++k) {
        if (m_state.filters.WhoL[static_cast<size_t>(k)] != 1)
            silenced += QLatin1Char(' ') + m_state.lang.NomiWho[static_cast<size_t>(k)] + QLatin1Char(',');
    }
    if (!silenced.isEmpty()) {
        silenced.chop(1);
        m_Tlog.appendText(QStringLiteral("Non si riceveranno messagi per :") + silenced + LogLine::Crlf
                          + QStringLiteral("---") + LogLine::Crlf);
    }
    m_state.link.IconaTray = 0;
    m_window.I_Icon(0);
    return true;
}

bool MonitorLink::failurePath(bool serial, const QString &failureText, const QString &port)
{
    if (m_state.InChiusura)
        return false;
    m_StBar.setStatusText(m_state.lang.t(QStringLiteral("Stop")));
    if (monitorSwitchedOff())
        return false;
    if (serial) {
        m_Tlog.appendText(LogLine::at(failureText + QStringLiteral(" (") + portCaption(port, QStringLiteral("Com"))
                                      + QStringLiteral(") ")));
    } else {
        // The status bar says it too: the log may be on the other pane, or scrolled away.
        const QString line =
            GatewayConnect::failureText(m_state.lang.t(QStringLiteral("NoCon")), m_state.link, m_connectReason);
        m_Tlog.appendText(LogLine::at(line));
        m_StBar.setStatusText(line);
    }
    m_window.setMonitorButtonImage(MonitorOffImage);
    m_state.link.IconaTray = MonitorOffPicture;
    m_window.I_Icon(MonitorOffPicture);
    return false;
}

void MonitorLink::monitorStopped()
{
    m_window.setMonitorButtonImage(MonitorOffImage);
    m_Tlog.appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStop"))));
    m_StBar.setStatusText(m_state.lang.t(QStringLiteral("Stop")));
    m_state.link.IconaTray = MonitorOffPicture;
    m_window.I_Icon(MonitorOffPicture);
}

bool MonitorLink::ApriPorta(const QString &com)
{
    QSerialPort &comm = m_commands.Comm();
    if (comm.isOpen())
        comm.close();
    comm.setPortName(SerialPorts::SerialPortName(com));
    comm.setBaudRate(QSerialPort::Baud115200);
    comm.setDataBits(QSerialPort::Data8);
    comm.setParity(QSerialPort::NoParity);
    comm.setStopBits(QSerialPort::OneStop);
    comm.setFlowControl(QSerialPort::NoFlowControl);
    // Text left from an earlier port or session would be glued to the first answer.
    m_serial.clear();
    return comm.open(QIODevice::ReadWrite);
}

bool MonitorLink::ConnettiMonitor(bool &ack)
{
    LinkState &link = m_state.link;
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        closeSocket();
    link.BufferMon.clear();
    m_received.clear();

    GatewayConnect steps{m_socket,          link.ConnessoMon,  link.BufferMon, [this] { return stopped(); },
                         [this] { closeSocket(); }, m_timings.connectMs, m_timings.greetingMs};
    m_connectReason.clear();
    return steps.run(link, ack, &m_connectReason);
}

bool MonitorLink::AvviaMonitor()
{
    SessionOpening opening{m_socket,   m_state.link.BufferMon, m_state, m_Tlog, m_messages, m_timings.sessionMs,
                           [this] { return monitorSwitchedOff(); }, &m_connectReason};
    if (!opening.open(Frame::SessionOpenMonitor))
        return false;
    m_sessionOpen = true;
    m_notices.MostraMessaggio(m_state.lang.t(QStringLiteral("Monstart")), QString(), 1000, 0);
    return true;
}

void MonitorLink::closeSocket()
{
    // Our own close: the close event reports only a session the gateway ended.
    m_sessionOpen = false;
    m_socket.abort();
    m_state.link.ConnessoMon = false;
}

void MonitorLink::Comm_OnComm()
{
    QSerialPort &comm = m_commands.Comm();
    // The gateway's answer to the probe is always read; frames wait in the port while the
    // slicer is full.
    if (m_state.link.ModoUsb && !m_state.link.RilevamentoCom && !m_slices.admits())
        return;
    const QString piece = m_serial.readFrom(comm, m_Tlog);
    // A bare "##" is no answer.
    if (piece.size() < 3)
        return;
    m_state.link.ModoUsb = true;
    if (m_state.link.RilevamentoCom)
        return;
    m_window.showActivity();
    received(piece);
    m_slices.readAgainIfLeft(comm);
}

void MonitorLink::Comm_Error(QSerialPort::SerialPortError error)
{
    QSerialPort &comm = m_commands.Comm();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !comm.isOpen())
        return;
    // The port went away under us (unplugged, reset): stop the serial link.
    m_Tlog.appendText(LogLine::at(QString::number(static_cast<int>(error)) + QLatin1Char('-') + comm.errorString()));
    monitorStopped();
    closeSocket();
    m_state.link.ModoUsb = false;
    comm.clearError();
    comm.close();
}

void MonitorLink::received(const QString &piece)
{
    // Only the session opening searches it; a monitor that runs for days must not grow it.
    FrameReassembler::keepBounded(m_state.link.BufferMon, piece);
    m_slices.add(piece);
}

void MonitorLink::readHeld()
{
    if (m_commands.Comm().isOpen())
        Comm_OnComm();
    WSMON_DataArrival();
}

void MonitorLink::translate(QString &slice, LogPane &pane)
{
    if (Frame::isAck(slice) || Frame::isNack(slice)) {
        pane.appendText(LogLine::at(slice));
        pane.moveCaretToEnd();
    } else {
        m_sink.Traduci(slice, pane);
    }
    if (!m_window.isPaneVisible(m_Tlog))
        m_window.markPaneUnread(m_Tlog);
}

void MonitorLink::WSMON_Connect()
{
    m_state.link.ConnessoMon = true;
}

void MonitorLink::WSMON_Close()
{
    m_state.link.ConnessoMon = false;
    const bool wasOpen = std::exchange(m_sessionOpen, false);
    // The user's switch and the shutdown have said so themselves; a session that never
    // opened is the opening's failure to report.
    if (!wasOpen || stopped())
        return;
    monitorStopped();
}

void MonitorLink::WSMON_Error(QAbstractSocket::SocketError)
{
    m_state.link.ConnessoMon = false;
}

void MonitorLink::WSMON_DataArrival()
{
    if (!connected())
        return;
    // The opening's answers are always read; frames wait in the socket while the slicer is full.
    if (m_sessionOpen && !m_slices.admits())
        return;
    bool arrived = false;
    const QString frames = m_received.readFrom(m_socket, m_Tlog, &arrived);
    if (!arrived)
        return;
    m_window.showActivity();
    if (!frames.isEmpty())
        received(frames);
    m_slices.readAgainIfLeft(m_socket);
}
