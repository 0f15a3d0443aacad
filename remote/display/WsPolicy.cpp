#include "remote/display/WsPolicy.h"

#include "engine/ports/LogPane.h"
#include "engine/protocol/LogLine.h"
#include "remote/common/ConnectionCap.h"
#include "remote/common/OrderlyClose.h"
#include "remote/common/RefusalLog.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

WsPolicy::WsPolicy(QObject *parent)
    : QObject(parent),
      m_server(new QTcpServer(this)),
      m_refusals(new RefusalLog(
          [this](const QString &text) {
              if (m_log)
                  m_log->appendText(LogLine::at(QStringLiteral("Policy listener: ") + text));
          },
          this))
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
    const auto open = [this] { return m_open.size(); };
    const auto endFinished = [this] {
        const QSet<QTcpSocket *> now = m_open;
        for (QTcpSocket *done : now) {
            if (!OrderlyClose::peerDone(done))
                continue;
            m_open.remove(done);
            done->abort();
            done->deleteLater();
        }
    };
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (!ConnectionCap::admit(socket, MaxConnections, open, endFinished, *m_refusals))
            continue;
        m_open.insert(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_open.remove(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // A peer that does not take the document, or does not close, in time is not kept.
        QTimer::singleShot(m_timeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        // The peer's request is never looked at; the peer reads up to the end of the stream
        // and closes, and we close after it.
        socket->write(CrossDomainPolicy(m_clientPort));
        OrderlyClose::afterWritten(socket);
    }
}
