#pragma once

#include <QString>
#include <functional>

class LogPane;
class MessageBoxService;
class QTcpSocket;
struct EngineState;

// Opening a command or monitor session on a connected socket: the session frame, then the
// acknowledgement, or a nonce answered with the OPEN password and then the acknowledgement.
struct SessionOpening
{
    QTcpSocket &socket;
    QString &buffer;              // the link's receive buffer: whole frames, appended by its handler
    EngineState &state;
    LogPane &pane;
    MessageBoxService &messages;
    int windowMs;                 // each reply window
    std::function<bool()> abort;  // ends the opening as a failure (closing, monitor off)
    QString *reason;              // set to why the opening failed, where that can be said; may be null

    // True when the session is open. A refusal, silence, a lost connection or a nonce with
    // no password are failures; no answer is sent for a refusal.
    bool open(const QString &sessionFrame);
};
