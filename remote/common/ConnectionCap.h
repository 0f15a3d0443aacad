#pragma once

#include <QtGlobal>

#include <functional>

class QTcpSocket;
class RefusalLog;

// A listener's room for one more connection, so that no peer can take the program's
// descriptors. At the cap the connections that are over go first (`endFinished`): a client
// that closes and connects again at once comes before its close has been seen. Still at the
// cap, the new connection is refused at once and the refusal logged.
namespace ConnectionCap {
bool admit(QTcpSocket *socket, int cap, const std::function<qsizetype()> &open,
           const std::function<void()> &endFinished, RefusalLog &refusals);
}
