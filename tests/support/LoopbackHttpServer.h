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
    QUrl url(const QString &path = QStringLiteral("/version.txt")) const;
    int requests() const { return m_requests; }

private:
    QTcpServer m_server;
    QByteArray m_body;
    int m_status = 200;
    bool m_silent = false;
    int m_delayMs = 0;
    int m_requests = 0;
};
