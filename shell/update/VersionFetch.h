#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QUrl>

// One GET of the version file, never blocking: finished() comes once, with the whole body of
// a successful answer, or telling that the server answered with an error status, or that no
// answer came (no connection, no answer within the time-out).
class VersionFetch : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 15000;
    enum class Outcome { Reply, ServerError, NoAnswer };

    explicit VersionFetch(QObject *parent = nullptr);
    ~VersionFetch() override;

    // Tests point these at a loopback server and shorten the wait.
    void setAddress(const QUrl &address) { m_address = address; }
    QUrl address() const { return m_address; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Starts a fetch; one still running is abandoned without a finished().
    void start();
    void cancel();
    bool isRunning() const { return m_reply != nullptr; }

signals:
    void finished(VersionFetch::Outcome outcome, const QByteArray &body);

private:
    QNetworkAccessManager m_network;
    QUrl m_address;
    int m_timeoutMs = DefaultTimeoutMs;
    QPointer<QNetworkReply> m_reply;
};
