#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file or nothing. The bytes go to a temporary file beside the target, which
// takes the target's place only once every byte of it is known to be on disk; until then the
// previous file stays exactly as it was. A failure names the file and the system's reason.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString &path);

    bool write(const QByteArray &bytes);

    QString path() const { return m_path; }
    // Why the last write failed, as the system says it ("No space left on device"); empty
    // after a success.
    QString reason() const { return m_reason; }
    // The path and the reason, for the user: "/home/anna/log.txt: No space left on device".
    QString errorMessage() const;

private:
    bool fail(const QString &reason);

    QString m_path;
    QString m_reason;
};
