#include "remote/snapshot/clsConnection.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// Complete once the headers have ended, or at the end of the request line when it names no
// HTTP version (such a request has no headers to wait for).
bool isComplete(const QByteArray &request)
{
    if (request.contains("\r\n\r\n"))
        return true;
    const qsizetype lineEnd = request.indexOf("\r\n");
    return lineEnd >= 0 && !request.left(lineEnd).contains(" HTTP");
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
    connect(m_deadline, &QTimer::timeout, this, &clsConnection::drop);
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
    m_request += chunk;
    if (m_request.size() > MaxRequestBytes) {
        drop();
        return;
    }
    if (!isComplete(m_request))
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
    // Closes once the reply has gone; `disconnected` then ends the connection.
    m_socket->disconnectFromHost();
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
