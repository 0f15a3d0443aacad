#include "remote/display/WsPolicy.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

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
        // The peer's own request is read and ignored, so closing never resets the connection
        // before the peer has the document.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        // A peer that does not take the document in time is not kept.
        QTimer::singleShot(SendTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->write(CrossDomainPolicy(m_clientPort));
        socket->disconnectFromHost();
    }
}
