#pragma once

#include "engine/ports/DisplayClient.h"
#include "remote/display/RemoteContext.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <optional>

class QTcpServer;
class QTcpSocket;
class QTimer;
class RefusalLog;

// The display-client listener: one client at a time speaks the short NUL-ended command
// language, is probed every 9 s with "on?" and dropped when a probe goes unanswered. The
// translator pushes lighting lines to it through DisplayClient.
class WsChum : public QObject, public DisplayClient
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 2010;
    // Received text that holds no NUL beyond this is not a command a client would send.
    static constexpr int MaxCommandBytes = 4096;
    // Output a client has not taken yet beyond this means it no longer reads; it is dropped.
    static constexpr qint64 MaxUnsentBytes = 1024 * 1024;
    // Frames that may wait behind a send to the gateway; each can take its whole retry time.
    static constexpr int MaxWaitingFrames = 32;
    // Commands handled per turn of the event loop: a client's burst never holds the window's
    // thread, and the replies of a turn go out before the next turn's are made.
    static constexpr int SliceCommands = 256;
    // Received text not yet handled beyond this is left in the socket: the client waits.
    static constexpr qsizetype MaxReceivedBytes = 64 * 1024;

    struct Timings
    {
        int keepAliveMs = 9000;  // "Tout"
        int flashMs = 1000;      // "Tlchum"
    };

    explicit WsChum(QObject *parent = nullptr);
    ~WsChum() override;

    // The program's side; nothing listens before it is attached.
    void attach(const RemoteContext &context) { m_context.emplace(context); }
    void setTimings(const Timings &timings);

    bool listen(const QHostAddress &address, quint16 port);
    // Stops listening and drops a connected client.
    void close();
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;

    bool ClienteConnesso() const override;
    void write(const QByteArray &bytes) override;
    bool SondaInAttesa() const { return m_sondaInAttesa; }
    RefusalLog &refusals() { return *m_refusals; }
    // The frames a client sent that were not sent to the bus.
    RefusalLog &frameRefusals() { return *m_frameRefusals; }

signals:
    // The client connection has ended (closed by the peer, dropped, or an error).
    void clientClosed();

private:
    void onNewConnection();
    void onReadyRead();
    void processPending();
    void handleSlice();
    void handle(const QString &command);
    bool isConnectionOver() const;
    void sendFrame(const QString &frame);
    void showCamera(const QString &number);
    void driveCamera(int camera);
    void Tout_Timer();
    void Tlchum_Timer();
    void onError();
    void closeHandling();
    void send(const QString &text);
    void sendBytes(const QByteArray &bytes);
    void writeLines();
    void note(const QString &text);
    void log(const QString &line);
    void writeLog();
    // A whole command (ended by its NUL) waits to be handled.
    bool commandWaits() const;
    bool outputBacklogged() const;
    void releasePending();

    std::optional<RemoteContext> m_context;
    QTcpServer *m_server;
    QPointer<QTcpSocket> m_client;
    QTimer *m_tout;
    QTimer *m_tlchum;
    RefusalLog *m_refusals;
    RefusalLog *m_frameRefusals;
    QTimer *m_turn;
    QByteArray m_pending;
    qsizetype m_pendingAt = 0; // where the first command not yet handled starts in m_pending
    // Commands that go to the bus, in arrival order; one is sent at a time.
    QStringList m_waiting;
    bool m_sending = false;
    QByteArray m_lines; // pushed lines not yet written
    bool m_linesDue = false;
    QString m_log;           // the monitor pane's lines of the turn's commands
    bool m_gathering = false; // a turn's commands are being handled: their lines go into m_log
    bool m_sondaInAttesa = false;
};
