#include "remote/display/WsChum.h"

#include "engine/ports/CameraControl.h"
#include "remote/display/ClientLamp.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/Frame.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSender.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/translator/OutputError.h"
#include "engine/protocol/Windows1252.h"
#include "remote/common/RefusalLog.h"
#include "remote/display/WsPolicy.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cmath>
#include <poll.h>

namespace {

constexpr int MaxFrameLength = 64;
constexpr int CameraCount = 12;
constexpr int ScenarioCount = 16;

// What a client may put on the bus: a plain frame of digits, "*" and "#". Session frames
// would reopen or hijack the gateway's sessions and stay with the links.
bool isSendable(const QString &frame)
{
    return Frame::isWellFormed(frame) && frame.size() <= MaxFrameLength && !frame.startsWith(QLatin1String("*99*"));
}

// What the client meant as a frame, well formed or not (a malformed one is refused, not
// taken for another command).
bool looksLikeFrame(const QString &command)
{
    return command.startsWith(QLatin1Char('*')) && command.endsWith(QLatin1String("##"));
}

// The commands whose handling waits for the gateway.
bool goesToTheBus(const QString &command)
{
    return looksLikeFrame(command) || command == QLatin1String("l51") || command == QLatin1String("k51");
}

QString scenarioList(const InstallationModel &model)
{
    QString s = QStringLiteral("scn");
    for (int i = 1; i <= ScenarioCount; ++i) {
        const ScenarioF420 &sc = model.ScenariF420.at(size_t(i));
        if (sc.name.isEmpty())
            s += QStringLiteral(",Scenario %1,").arg(i);
        else
            s += QLatin1Char(',') + sc.name + QStringLiteral(",*0*%1*").arg(i) + sc.address + Frame::Terminator;
    }
    return s;
}

QString cameraList(const InstallationModel &model)
{
    QString s = QStringLiteral("cam");
    for (int i = 1; i <= CameraCount; ++i)
        s += QLatin1Char(',') + model.NomiCamere.at(size_t(i));
    return s;
}

} // namespace

WsChum::WsChum(QObject *parent)
    : QObject(parent),
      m_server(new QTcpServer(this)),
      m_tout(new QTimer(this)),
      m_tlchum(new QTimer(this)),
      m_refusals(new RefusalLog([this](const QString &text) { note(text); }, this)),
      m_frameRefusals(new RefusalLog([this](const QString &text) { note(text); }, this, QStringLiteral("frame"),
                                     QStringLiteral("frames"))),
      m_turn(new QTimer(this))
{
    m_server->setObjectName(QStringLiteral("WsChum"));
    m_tout->setObjectName(QStringLiteral("Tout"));
    m_tlchum->setObjectName(QStringLiteral("Tlchum"));
    m_tlchum->setSingleShot(true);
    m_turn->setSingleShot(true);
    m_turn->setInterval(0);
    setTimings({});
    connect(m_server, &QTcpServer::newConnection, this, &WsChum::onNewConnection);
    connect(m_tout, &QTimer::timeout, this, &WsChum::Tout_Timer);
    connect(m_tlchum, &QTimer::timeout, this, &WsChum::Tlchum_Timer);
    connect(m_turn, &QTimer::timeout, this, &WsChum::processPending);
}

WsChum::~WsChum()
{
    if (m_client)
        m_client->disconnect(this);
}

void WsChum::setTimings(const Timings &timings)
{
    m_tout->setInterval(timings.keepAliveMs);
    m_tlchum->setInterval(timings.flashMs);
}

bool WsChum::listen(const QHostAddress &address, quint16 port)
{
    return m_context && m_server->listen(address, port);
}

void WsChum::close()
{
    m_server->close();
    closeHandling();
}

bool WsChum::isListening() const { return m_server->isListening(); }
quint16 WsChum::serverPort() const { return m_server->serverPort(); }
QString WsChum::errorString() const { return m_server->errorString(); }

bool WsChum::ClienteConnesso() const { return m_client && m_client->state() == QAbstractSocket::ConnectedState; }

void WsChum::write(const QByteArray &bytes)
{
    if (!m_client)
        throw OutputError(40006, QStringLiteral("no display client is connected"));
    if (!m_client->isWritable())
        throw OutputError(40006, m_client->errorString());
    // A burst pushes a line per frame: the lines of one turn of the event loop go out in one
    // write, or at once when they pass the bound of what a client may leave unread.
    m_lines += bytes;
    if (m_lines.size() > MaxUnsentBytes) {
        writeLines();
        return;
    }
    if (!m_linesDue) {
        m_linesDue = true;
        QMetaObject::invokeMethod(this, &WsChum::writeLines, Qt::QueuedConnection);
    }
}

void WsChum::writeLines()
{
    m_linesDue = false;
    if (m_lines.isEmpty())
        return;
    QByteArray lines;
    lines.swap(m_lines);
    sendBytes(lines);
}

// The peer's end may already wait in the old connection while a new one is accepted: a
// client that reconnects at once is not a second client.
bool WsChum::isConnectionOver() const
{
    if (!m_client || m_client->state() != QAbstractSocket::ConnectedState)
        return true;
    const qintptr fd = m_client->socketDescriptor();
    if (fd < 0)
        return true;
    pollfd p{int(fd), POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL));
}

void WsChum::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_client && isConnectionOver())
            closeHandling();
        if (m_client) {
            // One client at a time; the one connected stays undisturbed.
            m_refusals->refused(QStringLiteral("second client refused: ") + socket->peerAddress().toString());
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        releasePending();
        m_waiting.clear();
        m_sondaInAttesa = false;
        // What the client sends beyond what waits here stays in the socket, and the client is
        // slowed down by the transport.
        socket->setReadBufferSize(MaxReceivedBytes);
        connect(socket, &QTcpSocket::readyRead, this, &WsChum::onReadyRead);
        // Its commands wait while it has not taken their replies.
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (commandWaits() && !m_turn->isActive())
                m_turn->start();
        });
        connect(socket, &QTcpSocket::disconnected, this, &WsChum::closeHandling);
        connect(socket, &QTcpSocket::errorOccurred, this, &WsChum::onError);
        m_context->lamp.setClientLamp(ClientLamp::Green);
        m_tout->start();
    }
}

void WsChum::onReadyRead()
{
    if (!m_client || m_pending.size() - m_pendingAt > MaxReceivedBytes)
        return;
    m_pending += m_client->readAll();
    if (m_pending.size() - (m_pending.lastIndexOf('\0') + 1) > MaxCommandBytes) {
        note(QStringLiteral("command longer than %1 bytes, client dropped").arg(MaxCommandBytes));
        closeHandling();
        return;
    }
    // Commands are handled from the event loop, never inside the socket's own signal: a
    // frame's send waits for the gateway and the client may be gone when it returns.
    if (!m_turn->isActive() && commandWaits())
        m_turn->start();
}

void WsChum::processPending()
{
    handleSlice();
    if (!m_client)
        return;
    // Read on the slice's turn what the socket kept while enough waited here.
    if (m_client->bytesAvailable() > 0)
        onReadyRead();
    if (!m_client)
        return;
    // The next slice on the next turn; a client that has not taken its replies gets more once
    // it has (bytesWritten).
    if (commandWaits() && !outputBacklogged())
        m_turn->start();

    // A send already under way takes the waiting frames in turn when it returns.
    if (m_sending)
        return;
    m_sending = true;
    while (m_client && !m_waiting.isEmpty())
        handle(m_waiting.takeFirst());
    m_sending = false;
}

// One turn's commands. Everything but a frame for the bus is handled at once, even while a send
// waits for the gateway: the client's "yep" must keep it connected through the send's retries.
void WsChum::handleSlice()
{
    if (outputBacklogged())
        return;
    m_gathering = true;
    int handled = 0;
    qsizetype end;
    while (m_client && handled < SliceCommands && (end = m_pending.indexOf('\0', m_pendingAt)) >= 0) {
        const QString command = Windows1252::decode(m_pending.mid(m_pendingAt, end - m_pendingAt));
        m_pendingAt = end + 1;
        ++handled;
        if (!goesToTheBus(command)) {
            handle(command);
        } else if (m_waiting.size() < MaxWaitingFrames) {
            m_waiting.append(command);
        } else {
            m_frameRefusals->refused(QStringLiteral("frame refused, %1 frames already wait: ").arg(MaxWaitingFrames)
                                     + command);
            send(QStringLiteral("ok"));
        }
    }
    m_gathering = false;
    writeLog();
    if (!m_client)
        return;
    // What was handled goes; a burst's text is given back once it is through.
    if (m_pendingAt == m_pending.size()) {
        releasePending();
    } else if (m_pendingAt > m_pending.size() / 2) {
        m_pending = m_pending.mid(m_pendingAt);
        m_pendingAt = 0;
    }
}

bool WsChum::commandWaits() const { return m_pending.indexOf('\0', m_pendingAt) >= 0; }

bool WsChum::outputBacklogged() const
{
    return m_client && m_client->bytesToWrite() > MaxUnsentBytes / 2;
}

void WsChum::releasePending()
{
    m_pending = QByteArray();
    m_pendingAt = 0;
}

void WsChum::handle(const QString &command)
{
    const QPointer<QTcpSocket> client = m_client;
    m_context->lamp.setClientLamp(ClientLamp::Yellow);
    m_tlchum->start();
    log(command);

    if (command.startsWith(QLatin1String("<policy-"))) {
        writeLines();
        sendBytes(WsPolicy::CrossDomainPolicy(serverPort()));
        return;
    }
    if (command == QLatin1String("yep")) {
        m_sondaInAttesa = false;
        return;
    }
    if (command == QLatin1String("scn")) {
        send(scenarioList(m_context->state.model));
        return;
    }
    try {
        if (command == QLatin1String("cam"))
            send(cameraList(m_context->state.model));
        else if (command.startsWith(QLatin1String("co/")))
            showCamera(command.mid(3));
        else if (looksLikeFrame(command))
            sendFrame(command);
        else if (command == QLatin1String("l51"))
            m_context->sender.Send(Frame::command(1, QStringLiteral("1"), QStringLiteral("51")));
        else if (command == QLatin1String("k51"))
            m_context->sender.Send(Frame::command(1, QStringLiteral("0"), QStringLiteral("51")));
    } catch (const std::exception &e) {
        // A stranger's command never opens a dialog; the monitor log keeps the failure.
        note(QStringLiteral("error: ") + QString::fromLocal8Bit(e.what()));
    }
    // A send to the bus waits for the gateway; the client may have left meanwhile, and its
    // "ok" must not reach a client that came after it.
    if (client && client == m_client)
        send(QStringLiteral("ok"));
}

void WsChum::sendFrame(const QString &frame)
{
    if (!isSendable(frame)) {
        m_frameRefusals->refused(QStringLiteral("frame refused: ") + frame);
        return;
    }
    m_context->sender.Send(frame);
}

void WsChum::showCamera(const QString &number)
{
    const double v = NumberConversions::numberValue(number);
    // Checked as a double: a number beyond int has no int to compare with.
    if (!(v >= 1 && v <= CameraCount) || v != std::trunc(v)) {
        note(QStringLiteral("no camera ") + number);
        return;
    }
    const int camera = int(v);
    // The camera's picture loop runs until it is stopped; it runs from the event loop so that
    // the client's later commands, its "yep" among them, are still answered meanwhile.
    QMetaObject::invokeMethod(this, [this, camera] { driveCamera(camera); }, Qt::QueuedConnection);
}

void WsChum::driveCamera(int camera)
{
    CameraControl *c = m_context->camera;
    if (!c || !c->showCamera()) {
        note(QStringLiteral("no camera window for camera %1").arg(camera));
        return;
    }
    c->StopMe();
    c->Video(camera);
}

void WsChum::Tout_Timer()
{
    if (m_sondaInAttesa) {
        closeHandling();
        return;
    }
    m_sondaInAttesa = true;
    send(QStringLiteral("on?"));
}

void WsChum::Tlchum_Timer()
{
    if (ClienteConnesso())
        m_context->lamp.setClientLamp(ClientLamp::Green);
}

void WsChum::onError()
{
    if (m_client && m_client->error() != QAbstractSocket::RemoteHostClosedError)
        m_context->lamp.setClientLamp(ClientLamp::Red);
    closeHandling();
}

void WsChum::closeHandling()
{
    if (!m_client)
        return;
    QTcpSocket *socket = m_client;
    m_client = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_turn->stop();
    releasePending();
    m_waiting.clear();
    m_lines = QByteArray();
    m_tout->stop();
    m_sondaInAttesa = false;
    m_context->lamp.setClientLamp(ClientLamp::Grey);
    emit clientClosed();
}

void WsChum::send(const QString &text)
{
    QByteArray bytes = Windows1252::encode(text);
    bytes.append('\0');
    // After the lines pushed before it, as they were pushed.
    writeLines();
    sendBytes(bytes);
}

void WsChum::sendBytes(const QByteArray &bytes)
{
    if (!m_client)
        return;
    if (!bytes.isEmpty())
        m_client->write(bytes);
    if (m_client->bytesToWrite() > MaxUnsentBytes) {
        note(QStringLiteral("client takes no output, %1 bytes unsent, client dropped").arg(m_client->bytesToWrite()));
        closeHandling();
    }
}

void WsChum::note(const QString &text) { log(text); }

void WsChum::log(const QString &line)
{
    m_log += QStringLiteral("chum: ") + line + LogLine::Crlf;
    if (!m_gathering)
        writeLog();
}

void WsChum::writeLog()
{
    if (m_log.isEmpty())
        return;
    QString lines;
    lines.swap(m_log);
    m_context->log.appendText(lines);
}
