#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QUrl>

// A web server on 127.0.0.1 that answers every GET with one scripted reply, or, when told to
// be silent, accepts the connection and never answers.
class LoopbackHttpServer
{
public:
    LoopbackHttpServer();

    void reply(const QByteArray &body, int status = 200);
    void setSilent(bool silent) { m_silent = silent; }
    // Answers this long after the request, so a test sees the wait.
    void setDelayMs(int ms) { m_delayMs = ms; }
    // The body is written one byte every this many milliseconds (0: all at once).
    void setTrickleMs(int ms) { m_trickleMs = ms; }
    // No Content-Length: the body ends with the connection.
    void setNoLength(bool noLength) { m_noLength = noLength; }
    // The reply's headers never end: one header line grows for as long as the client reads.
    void setEndlessHead(bool endless) { m_endlessHead = endless; }
    QUrl url(const QString &path = QStringLiteral("/version.txt")) const;
    int requests() const { return m_requests; }

private:
    QTcpServer m_server;
    QByteArray m_body;
    int m_status = 200;
    bool m_silent = false;
    int m_delayMs = 0;
    int m_trickleMs = 0;
    bool m_noLength = false;
    bool m_endlessHead = false;
    int m_requests = 0;
};
