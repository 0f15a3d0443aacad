#pragma once

#include "demo-gateway/LoopbackCertificate.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpServer>

class QSslSocket;

// The gateway's camera page on 127.0.0.1 over HTTPS: every GET of "/telecamera.php" gets a
// 320 x 240 JPEG picture of a moving shape and a clock, on a kept-alive connection. Tests
// make it silent, slow, or answer with fixed bytes.
class CameraPictureServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit CameraPictureServer(LoopbackCertificate certificate, QObject *parent = nullptr);

    // port 0 picks a free one. Loopback only.
    bool start(quint16 port = 0);

    void setSilent(bool silent) { m_silent = silent; }
    // Answers waited for before they are written.
    void setAnswerDelay(int ms) { m_delayMs = ms; }
    // Answered instead of a drawn picture (empty: draw one per request).
    void setFixedBody(const QByteArray &body) { m_fixedBody = body; }
    // The Content-Length announced instead of the body's own (NoLength: none, the body then
    // ends with the connection). A body shorter than announced is followed by a close.
    static constexpr qint64 NoLength = -2;
    void setAnnouncedLength(qint64 length) { m_announced = length; }
    // After the body, filler bytes follow for as long as the client takes them.
    void setEndless(bool endless) { m_endless = endless; }
    // Headers that never end: one endless line, or endless lines.
    enum class EndlessHead { None, OneLine, Lines };
    void setEndlessHead(EndlessHead head) { m_endlessHead = head; }

    int requests() const { return m_requests; }
    int connections() const { return m_connections; }

    // The picture for this moment of the demo.
    static QByteArray drawPicture(qint64 elapsedMs);

signals:
    void requestReceived(int count);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void serve(QSslSocket *socket);
    void answer(QSslSocket *socket);
    void stream(QSslSocket *socket, const QByteArray &filler);

    LoopbackCertificate m_certificate;
    QElapsedTimer m_clock;
    QByteArray m_fixedBody;
    qint64 m_announced = -1;
    bool m_endless = false;
    EndlessHead m_endlessHead = EndlessHead::None;
    bool m_silent = false;
    int m_delayMs = 0;
    int m_requests = 0;
    int m_connections = 0;
};
