#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Two connected pseudo-terminals made by socat, standing in for a serial gateway: the
// program opens portPath(), the test plays the gateway on peerPath().
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    static bool socatAvailable();
    // Starts socat and waits until both ends exist.
    bool start();
    // Ends socat: both ends go away, as when the gateway is unplugged.
    void stop();
    QString portPath() const { return m_dir.filePath(QStringLiteral("a")); }
    QString peerPath() const { return m_dir.filePath(QStringLiteral("b")); }

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
};
