#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>

// A peer on 127.0.0.1 that collects everything it receives from the event loop, so the
// server under test runs in the same thread while a test waits with QTRY_*.
class LoopbackClient
{
public:
    explicit LoopbackClient(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool isConnected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    void send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }

    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
};
