#pragma once

#include <QString>
#include <functional>

class QTcpSocket;
struct LinkState;

// The first two steps of both gateway links: connect the socket to the gateway, then wait for
// its greeting (the acknowledgement, or a refusal when it has no session free).
struct GatewayConnect
{
    QTcpSocket &socket;
    const bool &connected;      // the link's ConnessoTCP or ConnessoMon, set by its own slots
    const QString &buffer;      // the link's receive buffer
    std::function<bool()> abort;
    // Closes the socket as the link does: a socket left connecting after a wait that gave up
    // would connect later by itself, with no session opened on it.
    std::function<void()> close;
    int connectMs;
    int greetingMs;

    // False when no connection came or a wait was aborted (the socket is closed then); ack
    // tells whether the greeting was the acknowledgement. When no connection came, reason
    // gets the system's word for why (refused, timed out, no route).
    bool run(const LinkState &link, bool &ack, QString *reason = nullptr);

    // The failure line: the language text, the gateway's address and port, and the reason
    // where one is known ("Could not connect to the gateway (127.0.0.1:20000): Connection refused").
    static QString failureText(const QString &noCon, const LinkState &link, const QString &reason);
};
