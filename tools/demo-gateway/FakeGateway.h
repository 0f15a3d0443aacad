#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <functional>

class QTcpSocket;

// An OpenWebNet gateway on 127.0.0.1: greets each connection with "*#*1##", opens command
// ("*99*0##") and monitor ("*99*1##") sessions, optionally behind a password challenge,
// answers command frames and pushes events to the monitor sessions. It records what it
// received. It never listens on anything but loopback.
class FakeGateway : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Unknown, Command, Monitor };
    // AckInPieces: the acknowledgement written in two pieces 50 ms apart (session reply only).
    enum class Reply { Ack, Nack, Silence, AckInPieces };

    explicit FakeGateway(QObject *parent = nullptr);
    ~FakeGateway() override;

    // port 0 picks a free one.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1"); }

    // Behaviour
    void setGreeting(bool greet) { m_greet = greet; }
    void setSessionReply(Reply reply) { m_sessionReply = reply; }
    // The session reply becomes the nonce "*#<nonce>##"; the answer "*#<expected>##" opens
    // the session, anything else is refused and the connection closed.
    void setChallenge(const QString &nonce, const QString &expectedAnswer);
    // A wrong answer gets the nonce again instead of a refusal.
    void setChallengeAgain(bool again) { m_challengeAgain = again; }
    void setFrameReply(Reply reply) { m_frameReply = reply; }
    // Frames sent before the acknowledgement of a request (status and dimension replies).
    void setReplies(const QString &request, const QStringList &frames) { m_replies.insert(request, frames); }
    // Full control: the frames to answer with (empty list: silence). Overrides the above.
    using Responder = std::function<QStringList(const QString &frame)>;
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Answers waited for before they are written (0: at once).
    void setAnswerDelay(int ms) { m_answerDelayMs = ms; }
    // Everything the gateway writes goes out in pieces of this many bytes, gapMs apart, as
    // a busy gateway splits its frames (0: each write whole).
    void setWritePieces(int bytes, int gapMs);

    // Actions
    void pushEvent(const QString &frames);
    // Text written as it is to every open command session (late or stray answers).
    void pushCommand(const QString &text);
    void dropConnections();
    // Stops accepting and fills the accept queue, so that the next client's connect goes
    // unanswered (its SYNs dropped) until drainBacklog(). False if the queue would not fill.
    bool fillBacklog();
    // Accepts again: whatever waits in the queue, or retries its connect, gets in.
    void drainBacklog();

    // Records
    QStringList commandFrames() const { return m_commandFrames; }
    QStringList passwordAnswers() const { return m_passwordAnswers; }
    // Everything received before a session opened (session frames, stray answers).
    QStringList sessionFrames() const { return m_sessionFrames; }
    int openSessions(Kind kind) const;
    int connectionCount() const { return m_connectionCount; }
    void clearRecords();

signals:
    void frameReceived(const QString &frame, FakeGateway::Kind kind);
    void sessionOpened(FakeGateway::Kind kind);

private:
    struct Peer
    {
        QPointer<QTcpSocket> socket;
        QString pending;
        Kind kind = Kind::Unknown;
        bool open = false;
        bool awaitingPassword = false;
        QByteArray outgoing;  // pieces not written yet
        bool closeWhenWritten = false;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    QStringList handle(Peer &peer, const QString &frame, bool &closeAfter);
    void openSession(Peer &peer);
    QStringList answerCommand(const QString &frame) const;
    void write(QTcpSocket *socket, const QString &text, bool closeAfter);
    void writeOut(Peer &peer, const QByteArray &bytes, bool closeAfter = false);
    void writeNextPieces();

    QTcpServer m_server;
    QHash<QTcpSocket *, Peer> m_peers;
    bool m_greet = true;
    Reply m_sessionReply = Reply::Ack;
    QString m_nonce;
    QString m_expectedAnswer;
    bool m_challengeAgain = false;
    Reply m_frameReply = Reply::Ack;
    QHash<QString, QStringList> m_replies;
    Responder m_responder;
    int m_answerDelayMs = 0;
    int m_pieceBytes = 0;
    QTimer m_pacer;
    QList<QTcpSocket *> m_fillers;
    QStringList m_commandFrames;
    QStringList m_passwordAnswers;
    QStringList m_sessionFrames;
    int m_connectionCount = 0;
};
