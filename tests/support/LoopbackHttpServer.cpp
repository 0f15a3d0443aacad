#include "support/LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

LoopbackHttpServer::LoopbackHttpServer()
{
    if (!m_server.listen(QHostAddress::LocalHost))
        qFatal("loopback web server: %s", qPrintable(m_server.errorString()));
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                // The whole request head has arrived once it ends with an empty line.
                if (!s->peek(s->bytesAvailable()).contains("\r\n\r\n"))
                    return;
                s->readAll();
                ++m_requests;
                if (m_silent)
                    return;
                QTimer::singleShot(m_delayMs, s, [this, s] {
                    const QByteArray head = "HTTP/1.1 " + QByteArray::number(m_status)
                                            + (m_status == 200 ? " OK" : " Error") + "\r\nContent-Type: text/plain"
                                            + "\r\nContent-Length: " + QByteArray::number(m_body.size())
                                            + "\r\nConnection: close\r\n\r\n";
                    s->write(head + m_body);
                    s->disconnectFromHost();
                });
            });
        }
    });
}

void LoopbackHttpServer::reply(const QByteArray &body, int status)
{
    m_body = body;
    m_status = status;
}

QUrl LoopbackHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}
