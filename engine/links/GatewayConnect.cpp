#include "engine/links/GatewayConnect.h"

#include "engine/protocol/Frame.h"
#include "engine/links/LinkGuard.h"
#include "engine/model/LinkState.h"
#include "engine/links/LinkWait.h"

#include <QTcpSocket>

#include <cerrno>

QString GatewayConnect::failureText(const QString &noCon, const LinkState &link, const QString &reason)
{
    // An IPv6 address is bracketed, or its port would read as one more group.
    const QString host = link.IpGateway.contains(QLatin1Char(':')) ? QLatin1Char('[') + link.IpGateway + QLatin1Char(']')
                                                                   : link.IpGateway;
    QString line = noCon + QStringLiteral(" (") + host + QLatin1Char(':') + link.PortaGateway + QLatin1Char(')');
    if (!reason.isEmpty())
        line += QStringLiteral(": ") + reason;
    return line;
}

bool GatewayConnect::run(const LinkState &link, bool &ack, QString *reason)
{
    LinkGuard::checkAddress(link.IpGateway);
    socket.connectToHost(link.IpGateway, link.PortaGateway.toUShort());

    // A refused or failed connection ends the wait: nothing more can come of it.
    const auto givenUp = [this] { return socket.state() == QAbstractSocket::UnconnectedState; };
    const LinkWait::Outcome connecting =
        LinkWait::run([&] { return connected || givenUp(); }, abort, connectMs,
                      {{&socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
    if (connecting == LinkWait::Outcome::Aborted || !connected) {
        // Read before the socket is closed, which forgets it. A connection still pending when
        // the wait ran out has no error of its own.
        if (reason && connecting != LinkWait::Outcome::Aborted)
            *reason = socket.error() != QAbstractSocket::UnknownSocketError ? socket.errorString()
                                                                           : qt_error_string(ETIMEDOUT);
        close();
        return false;
    }

    const auto open = [this] { return socket.state() == QAbstractSocket::ConnectedState; };
    const LinkWait::Outcome greeting = LinkWait::run(
        [&] { return buffer.contains(Frame::Ack) || buffer.contains(Frame::Nack) || !open(); }, abort, greetingMs,
        {{&socket, SIGNAL(readyRead())}, {&socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
    if (greeting == LinkWait::Outcome::Aborted) {
        close();
        return false;
    }
    if (buffer.contains(Frame::Ack))
        ack = true;
    return true;
}
