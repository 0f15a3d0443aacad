#include "remote/common/OrderlyClose.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace OrderlyClose {

void afterWritten(QTcpSocket *socket)
{
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    const auto shutWhenSent = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, shutWhenSent);
    shutWhenSent();
}

} // namespace OrderlyClose
