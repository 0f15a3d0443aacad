#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// One connection of the snapshot server: reads one request, hands it to the server, sends the
// reply and closes. It reports `finished` exactly once, however the connection ends.
class clsConnection : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRequestBytes = 8 * 1024;

    clsConnection(QTcpSocket *socket, int timeoutMs, QObject *parent = nullptr);

    QString RemoteAddress;

    // Sends the bytes as they are and closes once they are written.
    void reply(const QByteArray &bytes);
    // Closes at once, sending nothing.
    void drop();
    // Ends the connection if its reply is out and the peer has closed (OrderlyClose::peerDone).
    void endIfPeerDone();

signals:
    void requestReceived(clsConnection *connection, const QString &request);
    void finished(clsConnection *connection);
    // The request was not served; the reason is for the log.
    void refused(clsConnection *connection, const QString &reason);

private:
    void onReadyRead();
    void finish();

    QTcpSocket *m_socket;
    QTimer *m_deadline;
    QByteArray m_request;
    bool m_answered = false;
    bool m_finished = false;
};
