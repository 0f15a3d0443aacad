#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class QTcpServer;

// The policy listener: every connection gets the socket policy document and is closed.
class WsPolicy : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 843;
    static constexpr int SendTimeoutMs = 5000;

    explicit WsPolicy(QObject *parent = nullptr);

    // The document with its NUL; it grants the display-client port only.
    static QByteArray CrossDomainPolicy(quint16 clientPort = 2010);

    void setClientPort(quint16 port) { m_clientPort = port; }
    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;

private:
    void onNewConnection();

    QTcpServer *m_server;
    quint16 m_clientPort = 2010;
};
