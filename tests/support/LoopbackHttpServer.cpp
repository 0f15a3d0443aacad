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
                if (m_endlessHead) {
                    s->write("HTTP/1.1 200 OK\r\nX-Pad: ");
                    auto *pump = new QTimer(s);
                    QObject::connect(pump, &QTimer::timeout, s, [s] {
                        if (s->bytesToWrite() < 1024 * 1024)
                            s->write(QByteArray(64 * 1024, 'a'));
                    });
                    pump->start(2);
                    return;
                }
                QTimer::singleShot(m_delayMs, s, [this, s] {
                    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_status)
                                      + (m_status == 200 ? " OK" : " Error") + "\r\nContent-Type: text/plain";
                    if (!m_noLength)
                        head += "\r\nContent-Length: " + QByteArray::number(m_body.size());
                    head += "\r\nConnection: close\r\n\r\n";
                    if (m_trickleMs <= 0) {
                        s->write(head + m_body);
                        s->disconnectFromHost();
                        return;
                    }
                    s->write(head);
                    auto *pump = new QTimer(s);
                    QObject::connect(pump, &QTimer::timeout, s, [s, pump, body = m_body, sent = qsizetype(0)]() mutable {
                        if (sent == body.size()) {
                            pump->stop();
                            s->disconnectFromHost();
                            return;
                        }
                        s->write(body.mid(sent++, 1));
                    });
                    pump->start(m_trickleMs);
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
