#include "demo-gateway/FakeGateway.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace {
const QString Ack = QStringLiteral("*#*1##");
const QString Nack = QStringLiteral("*#*0##");
} // namespace

FakeGateway::FakeGateway(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeGateway::onNewConnection);
    connect(&m_pacer, &QTimer::timeout, this, &FakeGateway::writeNextPieces);
}

FakeGateway::~FakeGateway()
{
    dropConnections();
}

bool FakeGateway::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void FakeGateway::setWritePieces(int bytes, int gapMs)
{
    m_pieceBytes = bytes;
    m_pacer.setInterval(gapMs);
}

bool FakeGateway::fillBacklog()
{
    // A queue of one: the kernel keeps a single connection nobody accepted, and drops the
    // SYNs of the next ones, which the clients then retry.
    const quint16 p = port();
    m_server.close();
    m_server.setListenBacklogSize(0);
    if (!m_server.listen(QHostAddress::LocalHost, p))
        return false;
    m_server.pauseAccepting();
    for (int i = 0; i < 8; ++i) {
        auto *filler = new QTcpSocket(this);
        m_fillers << filler;
        filler->connectToHost(QHostAddress::LocalHost, p);
        if (!filler->waitForConnected(300))
            return true;  // this one found the queue full
    }
    return false;
}

void FakeGateway::drainBacklog()
{
    for (QTcpSocket *filler : std::as_const(m_fillers)) {
        filler->abort();
        filler->deleteLater();
    }
    m_fillers.clear();
    m_server.resumeAccepting();
}

void FakeGateway::setChallenge(const QString &nonce, const QString &expectedAnswer)
{
    m_nonce = nonce;
    m_expectedAnswer = expectedAnswer;
}

int FakeGateway::openSessions(Kind kind) const
{
    int n = 0;
    for (const Peer &p : m_peers)
        n += p.open && p.kind == kind && p.socket && p.socket->state() == QAbstractSocket::ConnectedState;
    return n;
}

void FakeGateway::clearRecords()
{
    m_commandFrames.clear();
    m_passwordAnswers.clear();
    m_sessionFrames.clear();
}

void FakeGateway::pushEvent(const QString &frames)
{
    for (Peer &p : m_peers) {
        if (p.open && p.kind == Kind::Monitor && p.socket)
            writeOut(p, frames.toLatin1());
    }
}

void FakeGateway::pushCommand(const QString &text)
{
    for (Peer &p : m_peers) {
        if (p.open && p.kind == Kind::Command && p.socket)
            writeOut(p, text.toLatin1());
    }
}

void FakeGateway::dropConnections()
{
    const auto sockets = m_peers.keys();
    for (QTcpSocket *s : sockets) {
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    m_peers.clear();
}

void FakeGateway::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connectionCount;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Peer peer;
        peer.socket = socket;
        Peer &added = *m_peers.insert(socket, peer);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_peers.remove(socket);
            socket->deleteLater();
        });
        if (m_greet)
            writeOut(added, Ack.toLatin1());
    }
}

void FakeGateway::onReadyRead(QTcpSocket *socket)
{
    auto it = m_peers.find(socket);
    if (it == m_peers.end())
        return;
    it->pending += QString::fromLatin1(socket->readAll());
    // Answers to what arrived in one read go out in one write, as a busy gateway does.
    QString answer;
    bool closeAfter = false;
    int end;
    while ((end = it->pending.indexOf(QLatin1String("##"))) >= 0) {
        const QString frame = it->pending.left(end + 2);
        it->pending.remove(0, end + 2);
        answer += handle(*it, frame, closeAfter).join(QString());
        it = m_peers.find(socket);  // a handler of frameReceived may have dropped it
        if (it == m_peers.end())
            return;
        if (closeAfter)
            break;
    }
    if (!answer.isEmpty() || closeAfter)
        write(socket, answer, closeAfter);
}

QStringList FakeGateway::handle(Peer &peer, const QString &frame, bool &closeAfter)
{
    if (!peer.open && !peer.awaitingPassword) {
        m_sessionFrames << frame;
        if (frame == QLatin1String("*99*0##"))
            peer.kind = Kind::Command;
        else if (frame == QLatin1String("*99*1##"))
            peer.kind = Kind::Monitor;
        else
            return {Nack};
        switch (m_sessionReply) {
        case Reply::Silence:
            return {};
        case Reply::Nack:
            // The connection stays up: whatever the client sends next is recorded.
            return {Nack};
        case Reply::Ack:
        case Reply::AckInPieces:
            break;
        }
        if (!m_nonce.isEmpty()) {
            peer.awaitingPassword = true;
            return {QStringLiteral("*#") + m_nonce + QStringLiteral("##")};
        }
        openSession(peer);
        if (m_sessionReply == Reply::AckInPieces) {
            QPointer<QTcpSocket> socket = peer.socket;
            socket->write(Ack.left(5).toLatin1());
            QTimer::singleShot(50, this, [socket] {
                if (socket)
                    socket->write(Ack.mid(5).toLatin1());
            });
            return {};
        }
        return {Ack};
    }
    if (peer.awaitingPassword) {
        m_passwordAnswers << frame;
        if (frame != QStringLiteral("*#") + m_expectedAnswer + QStringLiteral("##")) {
            if (m_challengeAgain)
                return {QStringLiteral("*#") + m_nonce + QStringLiteral("##")};
            peer.awaitingPassword = false;
            closeAfter = true;
            return {Nack};
        }
        peer.awaitingPassword = false;
        openSession(peer);
        return {Ack};
    }
    if (peer.kind == Kind::Command)
        m_commandFrames << frame;
    const Kind kind = peer.kind;
    emit frameReceived(frame, kind);
    if (kind != Kind::Command)
        return {};
    return answerCommand(frame);
}

void FakeGateway::openSession(Peer &peer)
{
    peer.open = true;
    // Announced after the reply is on its way, as a test waiting for it expects.
    const Kind kind = peer.kind;
    QTimer::singleShot(0, this, [this, kind] { emit sessionOpened(kind); });
}

QStringList FakeGateway::answerCommand(const QString &frame) const
{
    if (m_responder)
        return m_responder(frame);
    switch (m_frameReply) {
    case Reply::Silence:
        return {};
    case Reply::Nack:
        return {Nack};
    case Reply::Ack:
    case Reply::AckInPieces:
        break;
    }
    return m_replies.value(frame) << Ack;
}

void FakeGateway::write(QTcpSocket *socket, const QString &text, bool closeAfter)
{
    const auto send = [this, socket, text, closeAfter] {
        const auto it = m_peers.find(socket);
        if (it != m_peers.end())
            writeOut(*it, text.toLatin1(), closeAfter);
    };
    if (m_answerDelayMs <= 0) {
        send();
        return;
    }
    QTimer::singleShot(m_answerDelayMs, this, send);
}

void FakeGateway::writeOut(Peer &peer, const QByteArray &bytes, bool closeAfter)
{
    if (m_pieceBytes <= 0) {
        if (!bytes.isEmpty())
            peer.socket->write(bytes);
        if (closeAfter)
            peer.socket->disconnectFromHost();
        return;
    }
    peer.outgoing += bytes;
    peer.closeWhenWritten = peer.closeWhenWritten || closeAfter;
    if (!m_pacer.isActive())
        m_pacer.start();
}

void FakeGateway::writeNextPieces()
{
    bool more = false;
    QList<QTcpSocket *> finished;
    for (Peer &p : m_peers) {
        if (!p.socket || p.outgoing.isEmpty())
            continue;
        p.socket->write(p.outgoing.left(m_pieceBytes));
        p.socket->flush();
        p.outgoing.remove(0, m_pieceBytes);
        if (!p.outgoing.isEmpty())
            more = true;
        else if (p.closeWhenWritten)
            finished << p.socket;
    }
    if (!more)
        m_pacer.stop();
    // After the loop: a close can remove its peer at once.
    for (QTcpSocket *socket : std::as_const(finished))
        socket->disconnectFromHost();
}
