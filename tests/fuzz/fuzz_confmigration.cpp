// The migration settles: whatever conf.xml holds, a second run writes nothing and leaves the
// file as the first run left it.
#include "FuzzSupport.h"
#include "updater/ConfMigration.h"
#include "updater/UpdateLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    static QTemporaryDir dir;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        QFile::remove(dir.filePath(name));
    const QString conf = dir.filePath(QStringLiteral("conf.xml"));
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(Fuzz::bytes(data, size));
    file.close();

    UpdateLog log;
    UpdateError error;
    if (MigraConf(dir.path(), log, &error) != ConfOutcome::Written)
        return 0;
    const QByteArray once = readAll(conf);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    FUZZ_PROPERTY(MigraConf(dir.path(), log, &error) != ConfOutcome::Written);
    FUZZ_PROPERTY(readAll(conf) == once);
    FUZZ_PROPERTY(QDir(dir.path()).entryList(QDir::Files) == files);
    return 0;
}
