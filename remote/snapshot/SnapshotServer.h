#pragma once

#include "remote/snapshot/clsHeader.h"

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>

class clsConnection;
class LogPane;
class QTcpServer;
class RefusalLog;

// The snapshot server ("FrmWS"): every request gets the bare bytes of temp.jpg from the
// program folder, with no status line and no headers, and the connection is closed. Display
// clients read the picture from the first byte, so the reply stays raw.
class SnapshotServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 1037;
    static constexpr int MaxConnections = 32;
    static constexpr int DefaultTimeoutMs = 5000;
    static constexpr char MissingFileText[] = "<html><body>Unable to find the file not found file.</body></html>";

    explicit SnapshotServer(QString programFolder, QObject *parent = nullptr);
    ~SnapshotServer() override;

    // 1 starts the server on the port set (all interfaces by default), anything else stops
    // it. False when the port could not be opened; errorString() says why.
    bool WSCam(int mode);
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;
    void setPort(quint16 port) { m_port = port; }
    void setAddress(const QHostAddress &address) { m_address = address; }
    // How long a peer may take to send its request, and to take each part of the reply.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Refused requests are logged here (the monitor pane).
    void setLog(LogPane *log) { m_log = log; }
    RefusalLog &refusals() { return *m_refusals; }
    int connectionCount() const { return int(m_connections.size()); }

    static clsHeader ProcessDataRequest(const QString &request);

private:
    void onNewConnection();
    void onRequest(clsConnection *connection, const QString &request);
    void onFinished(clsConnection *connection);
    void SendFile(const QString &path, clsConnection &connection);
    void note(const QString &text);

    QString m_folder;
    QTcpServer *m_server;
    RefusalLog *m_refusals;
    QHostAddress m_address = QHostAddress::Any;
    quint16 m_port = DefaultPort;
    int m_timeoutMs = DefaultTimeoutMs;
    QSet<clsConnection *> m_connections;
    LogPane *m_log = nullptr;
};
