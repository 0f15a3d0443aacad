#include "remote/display/WsPolicy.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

WsPolicy::WsPolicy(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_server->setObjectName(QStringLiteral("WsPolicy"));
    connect(m_server, &QTcpServer::newConnection, this, &WsPolicy::onNewConnection);
}

QByteArray WsPolicy::CrossDomainPolicy(quint16 clientPort)
{
    QByteArray doc = "<?xml version=\"1.0\"?>"
                     "<!DOCTYPE cross-domain-policy SYSTEM \"http://www.adobe.com/xml/dtds/cross-domain-policy.dtd\">"
                     "<cross-domain-policy>"
                     "<allow-access-from domain=\"*\" to-ports=\"";
    doc += QByteArray::number(clientPort);
    doc += "\" /></cross-domain-policy>";
    doc.append('\0');
    return doc;
}

bool WsPolicy::listen(const QHostAddress &address, quint16 port) { return m_server->listen(address, port); }
void WsPolicy::close() { m_server->close(); }
bool WsPolicy::isListening() const { return m_server->isListening(); }
quint16 WsPolicy::serverPort() const { return m_server->serverPort(); }
QString WsPolicy::errorString() const { return m_server->errorString(); }

void WsPolicy::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // The peer's request is read and discarded for as long as the connection lives:
        // data left unread when the socket closes would make the close a reset, and the peer
        // could lose the document with it.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        // Once the document is out, only our sending side is shut: the peer reads up to the
        // end of the stream and closes, and we close after it.
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
        });
        // A peer that does not take the document, or does not close, in time is not kept.
        QTimer::singleShot(SendTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->write(CrossDomainPolicy(m_clientPort));
    }
}
