#include "CommandLink.h"

#include "CommandBox.h"
#include "EngineState.h"
#include "Frame.h"
#include "FrameSink.h"
#include "LinkGuard.h"
#include "LinkWait.h"
#include "LinkWindow.h"
#include "LogLine.h"
#include "LogPane.h"
#include "SessionOpening.h"
#include "StatusBar.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
constexpr int Red = 255;
constexpr int ColourRestoreMs = 2000;
constexpr int MaxAnswerText = 4096;

qint64 frameCount(const QString &text)
{
    return text.count(Frame::Terminator);
}
} // namespace

CommandLink::CommandLink(EngineState &state, FrameSink &sink, LogPane &TlogC, StatusBar &StBar, CommandBox &Tcmd,
                         LinkWindow &window, MessageBoxService &messages, QObject *parent)
    : QObject(parent), m_state(state), m_sink(sink), m_TlogC(TlogC), m_StBar(StBar), m_Tcmd(Tcmd), m_window(window),
      m_messages(messages)
{
    connect(&m_socket, &QTcpSocket::connected, this, &CommandLink::Winsock1_Connect);
    connect(&m_socket, &QTcpSocket::disconnected, this, &CommandLink::Winsock1_Close);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &CommandLink::Winsock1_Error);
    connect(&m_socket, &QTcpSocket::readyRead, this, &CommandLink::Winsock1_DataArrival);
}

bool CommandLink::ConnectTCP(bool &ack)
{
    LinkState &link = m_state.link;
    m_StBar.setStatusText(m_state.lang.t(QStringLiteral("WaitCon")));
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        closeOurselves();
    link.BufferCmd.clear();
    m_answerText.clear();
    m_framesWritten = m_answers = 0;

    LinkGuard::checkAddress(link.IpGateway);
    m_socket.connectToHost(link.IpGateway, link.PortaGateway.toUShort());

    const auto closing = [this] { return m_state.InChiusura; };
    // A refused or failed connection ends the wait: nothing more can come of it.
    const auto given_up = [this] { return m_socket.state() == QAbstractSocket::UnconnectedState; };
    if (LinkWait::run([&] { return link.ConnessoTCP || given_up(); }, closing, m_timings.connectMs,
                      {{&m_socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}})
        == LinkWait::Outcome::Aborted)
        return false;
    const bool result = link.ConnessoTCP;
    if (!result)
        return false;

    // The greeting; a refusal instead (the gateway has no session free) ends the wait.
    const LinkWait::Outcome greeting = LinkWait::run(
        [&] { return link.BufferCmd.contains(Frame::Ack) || link.BufferCmd.contains(Frame::Nack) || !connected(); },
        closing, m_timings.greetingMs,
        {{&m_socket, SIGNAL(readyRead())}, {&m_socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
    if (greeting == LinkWait::Outcome::Aborted)
        return false;
    if (link.BufferCmd.contains(Frame::Ack))
        ack = true;
    return result;
}

bool CommandLink::BuildConnessione()
{
    SessionOpening opening{m_socket, m_state.link.BufferCmd, m_state, m_TlogC, m_messages, m_timings.sessionMs, {}};
    const bool open = opening.open(Frame::SessionOpenCommand);
    if (open) {
        // Answers count from here: the greeting and the session reply are behind us.
        m_answerText.clear();
        m_framesWritten = m_answers = 0;
    }
    return open;
}

bool CommandLink::SendTCP(const QString &frame)
{
    return send(frame, frame);
}

bool CommandLink::send(const QString &frame, const QString &echo)
{
    LinkState &link = m_state.link;
    if (link.InInvio) {
        link.FramePendenti += frame;
        return false;
    }
    link.InInvio = true;

    if (!connected()) {
        m_TlogC.appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("Comstart")) + QStringLiteral(" @ ETH: ")
                                             + link.IpGateway)
                           + QStringLiteral("---") + LogLine::Crlf);
        bool ack = false;
        const bool ok = ConnectTCP(ack) && ack && BuildConnessione();
        if (m_state.InChiusura) {
            link.FramePendenti.clear();
            return false;
        }
        if (!ok) {
            if (connected())
                closeOurselves();
            m_carried.clear();
            return failure(m_state.lang.t(QStringLiteral("NoCon")));
        }
    }

    QString echoText = m_carried + echo;
    link.FramePendenti = m_carried + link.FramePendenti + frame;
    m_carried.clear();
    if (!connected()) {
        link.InInvio = false;
        link.FramePendenti.clear();
        return false;
    }

    m_sendStart = m_framesWritten;
    m_refused = false;
    for (int attempt = 1; attempt <= m_timings.attempts; ++attempt) {
        QCoreApplication::processEvents();
        if (m_state.InChiusura)
            return false;
        link.BufferCmd.clear();
        if (attempt == 1) {
            m_sink.TraduciEco(echoText, m_TlogC);
            echoText.clear();
        }
        m_written = link.FramePendenti;
        // Answers owed to earlier sends never count, and neither do those that came before
        // this write: the gateway may have let an earlier attempt go unanswered, so each
        // write must be answered in full by what follows it.
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
            return false;
        if (acknowledged()) {
            keepUnwritten();
            link.InInvio = false;
            link.FramePendenti.clear();
            // Whether the unanswered attempts will still be answered cannot be told; a late
            // answer must not acknowledge the next send, which opens a fresh session instead.
            if (m_answers < m_framesWritten)
                closeOurselves();
            return true;
        }
        if (m_refused) {
            const QString frames = link.FramePendenti;
            keepUnwritten();
            link.BufferCmd.clear();
            return failure(m_state.lang.t(QStringLiteral("NoAck")) + QStringLiteral("  ") + frames);
        }
        if (!connected()) {
            // The close event has said why; the box shows that the send failed.
            m_Tcmd.setBackgroundColour(Red);
            m_Tcmd.restoreColourAfter(ColourRestoreMs);
            link.InInvio = false;
            link.FramePendenti.clear();
            return false;
        }
        QCoreApplication::processEvents();
        if (m_state.InChiusura)
            return false;
        link.BufferCmd.clear();
    }

    const bool result = failure(m_state.lang.t(QStringLiteral("NoAck")) + QStringLiteral("  ") + link.FramePendenti);
    // Answers still owed to three writes would be taken for those of the next send: the
    // next send opens a fresh session instead.
    closeOurselves();
    return result;
}

bool CommandLink::failure(const QString &status)
{
    m_StBar.setStatusText(status);
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
    send(QString(), QString());
}

void CommandLink::SendUsb(const QString &frame, bool quiet)
{
    if (!m_comm.isOpen())
        return;
    m_comm.write(frame.toLatin1());
    if (!quiet)
        m_TlogC.appendText(LogLine::at(QStringLiteral("-> ") + frame));
}

void CommandLink::closeOurselves()
{
    // Our own close is no "Close" event: only the gateway closing the session is reported.
    m_closingOurselves = true;
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
    m_StBar.setStatusText(stop.toLower().remove(QLatin1Char('*')));
    m_state.link.ConnessoTCP = false;
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
    QString chunk = QString::fromLatin1(m_socket.readAll());
    if (chunk.isEmpty())
        return;
    m_window.showActivity();
    m_state.link.BufferCmd += chunk;
    countAnswers(chunk);
    if (Frame::isAck(chunk) || Frame::isNack(chunk)) {
        m_TlogC.appendText(LogLine::at(chunk));
        m_TlogC.moveCaretToEnd();
    } else {
        m_sink.Traduci(chunk, m_TlogC);
    }
    if (!m_window.isPaneVisible(m_TlogC))
        m_window.markPaneUnread(m_TlogC);
}

void CommandLink::countAnswers(const QString &chunk)
{
    m_answerText += chunk;
    int end;
    while ((end = m_answerText.indexOf(Frame::Terminator)) >= 0) {
        const QString frame = m_answerText.left(end + 2);
        m_answerText.remove(0, end + 2);
        const bool nack = Frame::isNack(frame);
        if (!nack && !Frame::isAck(frame))
            continue;  // a status reply: the answer follows it
        ++m_answers;
        if (nack && m_state.link.InInvio && m_answers > m_sendStart)
            m_refused = true;
    }
    if (m_answerText.size() > MaxAnswerText)
        m_answerText.clear();
}
