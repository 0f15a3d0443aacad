#include "support/TestFolder.h"

#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QFile>

TestFolder::TestFolder() = default;

bool TestFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

bool TestFolder::writeText1252(const QString &name, const QString &text) const
{
    return write(name, Windows1252::encode(text));
}

QByteArray TestFolder::read(const QString &name) const
{
    QFile f(filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString TestFolder::shippedDataPath(const QString &name)
{
    return QDir(QStringLiteral(OMBRIX_SOURCE_DIR "/data")).filePath(name);
}

bool TestFolder::copyShipped(const QString &name) const
{
    QFile::remove(filePath(name));
    return QFile::copy(shippedDataPath(name), filePath(name));
}
