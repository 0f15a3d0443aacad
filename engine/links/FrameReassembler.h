#pragma once

#include <QString>

class LogPane;
class QIODevice;

// Busy gateways split frames anywhere, so a read is not a frame: the text after the last
// "##" waits here for the next read. Each link (command socket, monitor socket, serial
// port) keeps one.
class FrameReassembler
{
public:
    // A tail that grows past this without "##" is noise, not the start of a frame.
    static constexpr int MaxTail = 1024;
    // What a link's receive buffer keeps; only the session waits search it.
    static constexpr int MaxBuffer = 16384;

    // The whole frames that this read completes (empty when it completes none). A tail
    // that outgrows MaxTail is dropped with a line in pane saying so.
    QString join(const QString &read, LogPane &pane);
    // join() over everything the socket or port has; `arrived` tells whether any byte came.
    QString readFrom(QIODevice &device, LogPane &pane, bool *arrived = nullptr);
    const QString &tail() const { return m_tail; }
    // A new connection or port starts with nothing pending.
    void clear() { m_tail.clear(); }

    // Appends frames to a link's receive buffer, keeping only its last MaxBuffer characters.
    static void keepBounded(QString &buffer, const QString &frames);

private:
    QString m_tail;
};
