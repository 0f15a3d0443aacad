#include "remote/common/OrderlyClose.h"

#include <QTcpSocket>

#include <cerrno>

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

bool peerDone(QTcpSocket *socket)
{
    if (socket->bytesToWrite() > 0 || socket->state() != QAbstractSocket::ConnectedState)
        return false;
    const int fd = int(socket->socketDescriptor());
    if (fd < 0)
        return false;
    // A peer that keeps sending is not done; a few reads tell.
    char scratch[4096];
    for (int reads = 0; reads < 16; ++reads) {
        const ssize_t n = ::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (n == 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
    return false;
}

} // namespace OrderlyClose
