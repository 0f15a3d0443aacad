#include "updater/UpdaterFiles.h"

#include "engine/config/SafeFileWriter.h"
#include "engine/protocol/Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    SafeFileWriter writer(path);
    if (!writer.write(bytes))
        return failStep(error, UpdateError::accessFailed(QFileInfo(path).fileName(), writer.reason()));
    return true;
}

bool keepBackup(const QString &folder, const QString &baseName, const QByteArray &bytes, UpdateError *error)
{
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? baseName + QStringLiteral(".old")
                                    : QStringLiteral("%1.%2.old").arg(baseName).arg(n);
        const QFileInfo info(dir.filePath(name));
        if (!info.exists())
            return writeAtomically(info.filePath(), bytes, error);
        if (info.isFile() && info.size() == bytes.size()) {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly) && f.readAll() == bytes)
                return true;
        }
    }
}

void processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace UpdaterFiles
