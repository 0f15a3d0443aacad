#include "engine/links/GatewayConnect.h"

#include "engine/protocol/Frame.h"
#include "engine/links/LinkGuard.h"
#include "engine/model/LinkState.h"
#include "engine/links/LinkWait.h"

#include <QTcpSocket>

bool GatewayConnect::run(const LinkState &link, bool &ack)
{
    LinkGuard::checkAddress(link.IpGateway);
    socket.connectToHost(link.IpGateway, link.PortaGateway.toUShort());

    // A refused or failed connection ends the wait: nothing more can come of it.
    const auto givenUp = [this] { return socket.state() == QAbstractSocket::UnconnectedState; };
    const LinkWait::Outcome connecting =
        LinkWait::run([&] { return connected || givenUp(); }, abort, connectMs,
                      {{&socket, SIGNAL(stateChanged(QAbstractSocket::SocketState))}});
    if (connecting == LinkWait::Outcome::Aborted || !connected) {
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
