#include "remote/snapshot/clsConnection.h"

#include "remote/common/OrderlyClose.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// Complete at the blank line that ends the headers, whether lines end in CR LF or a bare LF;
// at the end of a request line that names no HTTP version (such a request has no headers);
// or, when the first chunk holds no line end at all, as that chunk: a client that sends a
// bare "GET /" waits for an answer, not for more lines.
bool isComplete(const QByteArray &request, bool firstChunk)
{
    const qsizetype lineEnd = request.indexOf('\n');
    if (lineEnd < 0)
        return firstChunk;
    if (request.contains("\n\n") || request.contains("\n\r\n"))
        return true;
    return !request.left(lineEnd).contains(" HTTP");
}

} // namespace

clsConnection::clsConnection(QTcpSocket *socket, int timeoutMs, QObject *parent)
    : QObject(parent),
      RemoteAddress(socket->peerAddress().toString()),
      m_socket(socket),
      m_deadline(new QTimer(this))
{
    m_socket->setParent(this);
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(timeoutMs);
    // Before the request: the time to send it; during the reply: the time without progress.
    connect(m_deadline, &QTimer::timeout, this, [this] {
        if (!m_answered)
            emit refused(this, QStringLiteral("no whole request within %1 ms").arg(m_deadline->interval()));
        drop();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &clsConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, m_deadline, qOverload<>(&QTimer::start));
    connect(m_socket, &QTcpSocket::disconnected, this, &clsConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &clsConnection::drop);
    m_deadline->start();
}

void clsConnection::onReadyRead()
{
    const QByteArray chunk = m_socket->readAll();
    if (m_answered)
        return;
    const bool firstChunk = m_request.isEmpty();
    m_request += chunk;
    if (m_request.size() > MaxRequestBytes) {
        emit refused(this, QStringLiteral("request longer than %1 bytes").arg(MaxRequestBytes));
        drop();
        return;
    }
    if (!isComplete(m_request, firstChunk))
        return;
    m_answered = true;
    emit requestReceived(this, QString::fromLatin1(m_request));
}

void clsConnection::reply(const QByteArray &bytes)
{
    m_answered = true;
    if (m_finished)
        return;
    m_deadline->start();
    m_socket->write(bytes);
    // The rest of a request that comes late (a client that sends its headers after the
    // request line) is read and dropped while the reply goes out, so the close is orderly
    // and the client gets the whole picture; `disconnected` then ends the connection.
    OrderlyClose::afterWritten(m_socket);
}

void clsConnection::endIfPeerDone()
{
    if (m_answered && !m_finished && OrderlyClose::peerDone(m_socket))
        drop();
}

void clsConnection::drop()
{
    if (m_finished)
        return;
    m_socket->abort();
    finish();
}

void clsConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_deadline->stop();
    emit finished(this);
}
