#pragma once

#include "engine/http/HttpGet.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>

// One GET of the version file, never blocking: finished() comes once, with the whole body of
// a successful answer, or telling that the server answered with an error status or with more
// than a version file holds (headers or body), or that no whole answer came (no connection,
// or not all of it within the time-out, which counts from the start of the request).
class VersionFetch : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 15000;
    // A version and an address; a larger body is not a version file.
    static constexpr qint64 MaxBodyBytes = 64 * 1024;
    enum class Outcome { Reply, ServerError, NoAnswer };

    explicit VersionFetch(QObject *parent = nullptr);

    // Tests point these at a loopback server and shorten the wait.
    void setAddress(const QUrl &address) { m_address = address; }
    QUrl address() const { return m_address; }
    void setTimeoutMs(int ms) { m_get.setTimeoutMs(ms); }

    // Starts a fetch; one still running is abandoned without a finished().
    void start();
    void cancel() { m_get.abort(); }
    bool isRunning() const { return m_get.isPending(); }

signals:
    void finished(VersionFetch::Outcome outcome, const QByteArray &body);

private:
    void onFinished(const HttpGet::Result &result);

    HttpGet m_get;
    QUrl m_address;
};
