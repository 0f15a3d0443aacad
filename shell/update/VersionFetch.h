#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

// One GET of the version file, never blocking: finished() comes once, with the whole body of
// a successful answer, or telling that the server answered with an error status or with more
// than a version file holds, or that no whole answer came (no connection, or not all of it
// within the time-out, which counts from the start of the request).
class VersionFetch : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 15000;
    // A version and an address; a larger body is not a version file.
    static constexpr qint64 MaxBodyBytes = 64 * 1024;
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
    // Ends the request early; finished() then reports this outcome.
    void giveUp(Outcome outcome);

    QNetworkAccessManager m_network;
    QTimer m_deadline;
    std::optional<Outcome> m_verdict;
    QUrl m_address;
    int m_timeoutMs = DefaultTimeoutMs;
    QPointer<QNetworkReply> m_reply;
};
