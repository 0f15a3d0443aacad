#include "remote/common/ConnectionCap.h"

#include "remote/common/RefusalLog.h"

#include <QTcpSocket>

namespace ConnectionCap {

bool admit(QTcpSocket *socket, int cap, const std::function<qsizetype()> &open,
           const std::function<void()> &endFinished, RefusalLog &refusals)
{
    if (open() >= cap)
        endFinished();
    if (open() < cap)
        return true;
    refusals.refused(QStringLiteral("%1 connections open, %2 refused").arg(cap).arg(socket->peerAddress().toString()));
    socket->abort();
    socket->deleteLater();
    return false;
}

} // namespace ConnectionCap
