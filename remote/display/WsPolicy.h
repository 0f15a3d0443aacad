#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSet>

class LogPane;
class QTcpServer;
class QTcpSocket;
class RefusalLog;

// The policy listener: every connection gets the socket policy document and is closed. A few
// are served side by side; beyond them a connection is refused at once, so peers cannot hold
// the program's descriptors.
class WsPolicy : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 843;
    static constexpr int DefaultTimeoutMs = 5000;
    // One display client asks at a time; a handful covers its reconnects.
    static constexpr int MaxConnections = 8;

    explicit WsPolicy(QObject *parent = nullptr);

    // The document with its NUL; it grants the display-client port only.
    static QByteArray CrossDomainPolicy(quint16 clientPort = 2010);

    void setClientPort(quint16 port) { m_clientPort = port; }
    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;
    // How long a peer may take to read the document and close.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Refusals are logged here (the monitor pane).
    void setLog(LogPane *log) { m_log = log; }
    RefusalLog &refusals() { return *m_refusals; }
    int connectionCount() const { return int(m_open.size()); }

private:
    void onNewConnection();

    QTcpServer *m_server;
    RefusalLog *m_refusals;
    LogPane *m_log = nullptr;
    quint16 m_clientPort = 2010;
    int m_timeoutMs = DefaultTimeoutMs;
    QSet<QTcpSocket *> m_open;
};
