#include "engine/config/SafeFileWriter.h"

#include <QDir>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

SafeFileWriter::SafeFileWriter(const QString &path) : m_path(path) {}

bool SafeFileWriter::fail(const QString &reason)
{
    m_reason = reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
    return false;
}

QString SafeFileWriter::errorMessage() const
{
    return QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + m_reason;
}

bool SafeFileWriter::write(const QByteArray &bytes)
{
    m_reason.clear();
    QSaveFile f(m_path);
    // Unbuffered: commit() does not see a failure of its own final flush and would rename a
    // cut file into place, reporting success.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(f.errorString());
    // A short write carries no reason; the next one meets the cause and names it.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = f.errorString();
            f.cancelWriting();
            return fail(reason);
        }
        done += n;
    }
#ifdef Q_OS_UNIX
    // Some file systems only report a full disk when the data goes out; commit() ignores that.
    if (::fsync(f.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString reason = qt_error_string(errno);
        f.cancelWriting();
        return fail(reason);
    }
#endif
    if (!f.commit())
        return fail(f.errorString());
    return true;
}
