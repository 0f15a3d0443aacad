#pragma once

// A loopback client for the targets that reach a listener through its socket, as a peer does.

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>
#include <functional>

namespace Fuzz {

// Lets the listener's events run until `done` holds, for a bounded number of short passes.
inline void runUntil(const std::function<bool()> &done, int passes = 40)
{
    for (int i = 0; i < passes && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::usleep(50);
    }
}

// Connects, writes the input, lets the listener read and answer it, then drops the connection.
inline void exchange(quint16 port, const QByteArray &input, const std::function<bool()> &accepted,
                     const std::function<bool()> &released)
{
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    runUntil([&] { return client.state() == QAbstractSocket::ConnectedState && accepted(); }, 400);
    if (client.state() != QAbstractSocket::ConnectedState)
        return;
    client.write(input);
    client.flush();
    runUntil([&] { return client.state() != QAbstractSocket::ConnectedState; }, 20);
    client.readAll();
    client.abort();
    runUntil(released, 400);
}

} // namespace Fuzz
