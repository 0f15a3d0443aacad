#pragma once

class QTcpSocket;

// Closes a connection once what was written to it has gone, without a reset: only the
// sending side is shut, and whatever the peer still sends is read and dropped until it
// closes too (its `disconnected` then ends the connection). Data left unread when a socket
// closes makes the close a reset, which can throw away the end of the reply at the peer.
// The caller keeps a deadline for a peer that never closes.
namespace OrderlyClose {
void afterWritten(QTcpSocket *socket);
// True when all that was written has gone to the transport and the peer has closed its end
// (what it sent before its close is read and dropped): the connection is over, and closing it
// now is as clean as when the event loop comes to the close. A listener at its cap asks this
// before refusing: a client that closes and connects again at once is there before its close.
bool peerDone(QTcpSocket *socket);
}
