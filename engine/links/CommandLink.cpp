#include "engine/links/CommandLink.h"

#include "engine/ports/CommandBox.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/links/FrameReassembler.h"
#include "engine/ports/FrameSink.h"
#include "engine/links/GatewayConnect.h"
#include "engine/links/LinkWait.h"
#include "engine/ports/LinkWindow.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/links/SessionOpening.h"
#include "engine/ports/StatusBar.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
constexpr int Red = 255;
constexpr int ColourRestoreMs = 2000;

qint64 frameCount(const QString &text)
{
    return text.count(Frame::Terminator);
}
} // namespace

CommandLink::CommandLink(EngineState &state, FrameSink &sink, LogPane &TlogC, StatusBar &StBar, CommandBox &Tcmd,
                         LinkWindow &window, MessageBoxService &messages, QObject *parent)
    : QObject(parent), m_state(state), m_sink(sink), m_TlogC(TlogC), m_StBar(StBar), m_Tcmd(Tcmd), m_window(window),
      m_messages(messages),
      m_slices(
          TlogC, [this](QString &slice, LogPane &pane) { translate(slice, pane); },
          [this] { return bool(m_state.InChiusura); })
{
    connect(&m_socket, &QTcpSocket::connected, this, &CommandLink::Winsock1_Connect);
    connect(&m_socket, &QTcpSocket::disconnected, this, &CommandLink::Winsock1_Close);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &CommandLink::Winsock1_Error);
    connect(&m_socket, &QTcpSocket::readyRead, this, &CommandLink::Winsock1_DataArrival);
    m_socket.setReadBufferSize(FrameSlicer::ReadBufferBytes);
    m_comm.setReadBufferSize(FrameSlicer::ReadBufferBytes);
    m_slices.setResume([this] { Winsock1_DataArrival(); });
}

// The socket dies after the members it reports into: its last "disconnected" would reach a
// half-destroyed link.
CommandLink::~CommandLink() { m_socket.disconnect(this); }

bool CommandLink::ConnectTCP(bool &ack)
{
    return connectGateway(ack, true);
}

bool CommandLink::connectGateway(bool &ack, bool announce)
{
    LinkState &link = m_state.link;
    if (announce)
        showStatus(m_state.lang.t(QStringLiteral("WaitCon")));
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        closeOurselves();
    link.BufferCmd.clear();
    m_received.clear();
    m_framesWritten = m_answers = 0;
    m_sessionOpen = false;

    GatewayConnect steps{m_socket,          link.ConnessoTCP,     link.BufferCmd,
                         [this] { return bool(m_state.InChiusura); }, [this] { closeOurselves(); },
                         m_timings.connectMs, m_timings.greetingMs};
    m_connectReason.clear();
    return steps.run(link, ack, &m_connectReason);
}

bool CommandLink::BuildConnessione()
{
    SessionOpening opening{m_socket, m_state.link.BufferCmd, m_state, m_TlogC, m_messages,
                           m_timings.sessionMs, {}, &m_connectReason};
    const bool open = opening.open(Frame::SessionOpenCommand);
    if (open) {
        // Answers count from here: the greeting and the session reply are behind us.
        m_framesWritten = m_answers = 0;
        m_sessionOpen = true;
    }
    return open;
}

bool CommandLink::SendTCP(const QString &frame)
{
    // Anything but frames makes the gateway drop the session (and "?" stands in on the wire
    // for what Latin-1 cannot carry): typed or client text that is no frame is not sent.
    if (!Frame::isFrameRun(frame))
        return false;
    return send(frame, Origin::Caller);
}

bool CommandLink::send(const QString &frame, Origin origin)
{
    LinkState &link = m_state.link;
    if (link.InInvio) {
        link.FramePendenti += frame;
        return false;
    }
    link.InInvio = true;

    switch (openSession(origin)) {
    case Step::Go:
        break;
    case Step::Failed:
        return false;
    case Step::Closing:
        return abandon();
    }
    if (!gatherPending(frame))
        return false;
    return settle(writeUntilAnswered());
}

CommandLink::Step CommandLink::openSession(Origin origin)
{
    if (connected())
        return Step::Go;
    LinkState &link = m_state.link;
    m_TlogC.appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("Comstart")) + QStringLiteral(" @ ETH: ")
                                         + link.IpGateway)
                       + QStringLiteral("---") + LogLine::Crlf);
    // Queued frames going out after a failed send leave the failure on the status bar: it
    // names them, and it is their send that will replace it.
    const bool announce = origin == Origin::Caller;
    bool ack = false;
    const bool ok = connectGateway(ack, announce) && ack && BuildConnessione();
    if (m_state.InChiusura)
        return Step::Closing;
    if (!ok) {
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            closeOurselves();
        m_carried.clear();
        failure(GatewayConnect::failureText(m_state.lang.t(QStringLiteral("NoCon")), link, m_connectReason));
        return Step::Failed;
    }
    if (announce)
        showMonitorStatus();
    return Step::Go;
}

bool CommandLink::gatherPending(const QString &frame)
{
    LinkState &link = m_state.link;
    link.FramePendenti = m_carried + link.FramePendenti + frame;
    m_carried.clear();
    if (connected())
        return true;
    link.InInvio = false;
    link.FramePendenti.clear();
    return false;
}

CommandLink::Answer CommandLink::writeUntilAnswered()
{
    LinkState &link = m_state.link;
    m_sendStart = m_framesWritten;
    m_refused = false;
    for (int attempt = 1; attempt <= m_timings.attempts; ++attempt) {
        if (closingAfterYield())
            return Answer::Closing;
        link.BufferCmd.clear();
        if (attempt == 1) {
            // The retries write these frames again and nothing more: a frame handed in while
            // they wait goes out, and is echoed, once, in a send of its own afterwards.
            m_written = link.FramePendenti;
            m_sink.TraduciEco(m_written, m_TlogC);
        }
        const Answer answer = writeOnce();
        if (answer != Answer::None)
            return answer;
        if (closingAfterYield())
            return Answer::Closing;
        link.BufferCmd.clear();
    }
    return Answer::None;
}

CommandLink::Answer CommandLink::writeOnce()
{
    // Answers owed to earlier sends never count, and neither do those that came before this
    // write: the gateway may have let an earlier attempt go unanswered, so each write must be
    // answered in full by what follows it.
    const qint64 answersBefore = qMax(m_sendStart, m_answers);
    const qint64 carriedByWrite = frameCount(m_written);
    m_socket.write(m_written.toLatin1());
    m_framesWritten += carriedByWrite;

    const auto acknowledged = [this, answersBefore, carriedByWrite] {
        return !m_refused && m_answers - answersBefore >= carriedByWrite;
    };
    const LinkWait::Outcome outcome = LinkWait::run(
        [&] { return acknowledged() || m_refused || !connected(); }, [this] { return m_state.InChiusura; },
        m_timings.ackMs,
        {{&m_socket, SIGNAL(readyRead())}, {&m_socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
    if (outcome == LinkWait::Outcome::Aborted)
        return Answer::Closing;
    if (acknowledged())
        return Answer::Acknowledged;
    if (m_refused)
        return Answer::Refused;
    if (!connected())
        return Answer::Dropped;
    return Answer::None;
}

bool CommandLink::settle(Answer answer)
{
    LinkState &link = m_state.link;
    // The failure names every frame the send was carrying, those queued behind it included.
    const auto noAck = [&] { return m_state.lang.t(QStringLiteral("NoAck")) + QStringLiteral("  ") + link.FramePendenti; };
    switch (answer) {
    case Answer::Acknowledged:
        keepUnwritten();
        link.InInvio = false;
        link.FramePendenti.clear();
        // Whether the unanswered attempts will still be answered cannot be told; a late
        // answer must not acknowledge the next send, which opens a fresh session instead.
        if (m_answers < m_framesWritten)
            closeOurselves();
        showMonitorStatus();
        return true;
    case Answer::Refused: {
        const QString status = noAck();
        keepUnwritten();
        link.BufferCmd.clear();
        return failure(status);
    }
    case Answer::Dropped:
        // The close event has said why; the box shows that the send failed. Frames queued
        // meanwhile open a new session.
        keepUnwritten();
        m_Tcmd.setBackgroundColour(Red);
        m_Tcmd.restoreColourAfter(ColourRestoreMs);
        link.InInvio = false;
        link.FramePendenti.clear();
        return false;
    case Answer::None: {
        const QString status = noAck();
        keepUnwritten();
        const bool result = failure(status);
        // Answers still owed to three writes would be taken for those of the next send: the
        // next send opens a fresh session instead.
        closeOurselves();
        return result;
    }
    case Answer::Closing:
        break;
    }
    return abandon();
}

bool CommandLink::closingAfterYield()
{
    QCoreApplication::processEvents();
    return bool(m_state.InChiusura);
}

bool CommandLink::abandon()
{
    // The program is closing: nothing more goes out, so nothing may stay queued or marked
    // as under way for a send that will never come.
    m_state.link.InInvio = false;
    m_state.link.FramePendenti.clear();
    m_carried.clear();
    m_written.clear();
    return false;
}

void CommandLink::showStatus(const QString &text)
{
    m_statusShown = text;
    m_StBar.setStatusText(text);
}

void CommandLink::showMonitorStatus()
{
    // Between sends the first panel tells the monitor's state. A text of ours that no
    // longer holds gives way to it; one that someone else has written since stays.
    if (!m_statusShown || m_StBar.statusText() != *m_statusShown)
        return;
    m_statusShown.reset();
    const bool monitorOn = m_state.link.ConnessoMon || m_state.link.ModoUsb;
    m_StBar.setStatusText(m_state.lang.t(monitorOn ? QStringLiteral("StatCon") : QStringLiteral("Stop")));
}

bool CommandLink::failure(const QString &status)
{
    showStatus(status);
    m_Tcmd.setBackgroundColour(Red);
    m_Tcmd.restoreColourAfter(ColourRestoreMs);
    m_state.link.InInvio = false;
    m_state.link.FramePendenti.clear();
    return false;
}

void CommandLink::keepUnwritten()
{
    // Frames queued after the last write belong to other callers: they go out next, in order.
    const QString rest = m_state.link.FramePendenti.mid(m_written.size());
    if (rest.isEmpty())
        return;
    m_carried += rest;
    QTimer::singleShot(0, this, &CommandLink::sendCarried);
}

void CommandLink::sendCarried()
{
    // A closing program opens no session for frames left over.
    if (m_state.InChiusura)
        m_carried.clear();
    if (m_carried.isEmpty())
        return;
    if (m_state.link.InInvio) {
        // Behind the send under way; it carries them on if it does not write them.
        m_state.link.FramePendenti += m_carried;
        m_carried.clear();
        return;
    }
    send(QString(), Origin::Queued);
}

void CommandLink::SendUsb(const QString &frame, bool quiet)
{
    if (!m_comm.isOpen() || !Frame::isFrameRun(frame))
        return;
    m_comm.write(frame.toLatin1());
    if (!quiet)
        m_TlogC.appendText(LogLine::at(QStringLiteral("-> ") + frame));
}

void CommandLink::closeOurselves()
{
    // Our own close is no "Close" event: only the gateway closing the session is reported.
    m_closingOurselves = true;
    m_sessionOpen = false;
    m_socket.abort();
    m_closingOurselves = false;
    m_state.link.ConnessoTCP = false;
}

void CommandLink::Winsock1_Connect()
{
    // Frames are tiny and each waits for its answer: do not let them sit in the send buffer.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_state.link.ConnessoTCP = true;
}

void CommandLink::Winsock1_Close()
{
    if (m_closingOurselves)
        return;
    QString stop = m_state.lang.t(QStringLiteral("Comstop"));
    showStatus(stop.toLower().remove(QLatin1Char('*')));
    m_state.link.ConnessoTCP = false;
    m_sessionOpen = false;
    m_TlogC.appendText(LogLine::at(stop));
}

void CommandLink::Winsock1_Error(QAbstractSocket::SocketError)
{
    m_state.link.ConnessoTCP = false;
}

void CommandLink::Winsock1_DataArrival()
{
    if (!connected())
        return;
    // The opening's answers are always read; answers wait in the socket while the slicer is
    // full, and a send's wait drains it meanwhile.
    if (m_sessionOpen && !m_slices.admits())
        return;
    bool arrived = false;
    QString frames = m_received.readFrom(m_socket, m_TlogC, &arrived);
    if (!arrived)
        return;
    m_window.showActivity();
    if (!frames.isEmpty()) {
        // The send waiting for its answer learns of it at once; only the translation is
        // spread over the turns of the event loop.
        FrameReassembler::keepBounded(m_state.link.BufferCmd, frames);
        countAnswers(frames);
        m_slices.add(frames);
    }
    if (!m_window.isPaneVisible(m_TlogC))
        m_window.markPaneUnread(m_TlogC);
    m_slices.readAgainIfLeft(m_socket);
}

void CommandLink::translate(QString &slice, LogPane &pane)
{
    if (Frame::isAck(slice) || Frame::isNack(slice)) {
        pane.appendText(LogLine::at(slice));
        pane.moveCaretToEnd();
    } else {
        m_sink.Traduci(slice, pane);
    }
}

void CommandLink::countAnswers(const QString &frames)
{
    for (const QString &piece : Frame::cut(frames)) {
        const QString frame = piece + Frame::Terminator;
        const bool nack = Frame::isNack(frame);
        if (!nack && !Frame::isAck(frame))
            continue;  // a status reply: the answer follows it
        ++m_answers;
        if (nack && m_state.link.InInvio && m_answers > m_sendStart)
            m_refused = true;
    }
}
