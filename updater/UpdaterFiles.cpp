#include "UpdaterFiles.h"

#include "Windows1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

UpdateError UpdateError::fileNotFound(const QString &name)
{
    return {FileNotFound, QStringLiteral("File not found (%1)").arg(name)};
}

UpdateError UpdateError::emptyFile(const QString &name)
{
    return {InputPastEnd, QStringLiteral("Input past end of file (%1 is empty)").arg(name)};
}

UpdateError UpdateError::noMarker(const QString &marker, const QString &name)
{
    return {InvalidArgument,
            QStringLiteral("Invalid procedure call or argument (no line \"%1\" in %2)").arg(marker, name)};
}

UpdateError UpdateError::accessFailed(const QString &name, const QString &reason)
{
    return {PathAccess, QStringLiteral("Path/File access error (%1: %2)").arg(name, reason)};
}

namespace UpdaterFiles {

bool readLines(const QString &path, QString *text, QByteArray *raw, UpdateError *error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failStep(error, UpdateError::fileNotFound(info.fileName()));
    QFile f(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        return failStep(error, UpdateError::accessFailed(info.fileName(), f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return failStep(error, UpdateError::accessFailed(info.fileName(), f.errorString()));

    const QString decoded = Windows1252::decode(bytes);
    QString out;
    out.reserve(decoded.size() + decoded.size() / 16);
    qsizetype start = 0;
    const qsizetype n = decoded.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && decoded[end] != QLatin1Char('\r') && decoded[end] != QLatin1Char('\n'))
            ++end;
        out += QStringView(decoded).mid(start, end - start);
        out += Crlf;
        if (end < n && decoded[end] == QLatin1Char('\r') && end + 1 < n && decoded[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    if (text)
        *text = std::move(out);
    if (raw)
        *raw = bytes;
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes, UpdateError *error)
{
    const QString name = QFileInfo(path).fileName();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return failStep(error, UpdateError::accessFailed(name, f.errorString()));
    if (f.write(bytes) != bytes.size()) {
        const QString reason = f.errorString();
        f.cancelWriting();
        return failStep(error, UpdateError::accessFailed(name, reason));
    }
    if (!f.commit())
        return failStep(error, UpdateError::accessFailed(name, f.errorString()));
    return true;
}

void processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace UpdaterFiles
