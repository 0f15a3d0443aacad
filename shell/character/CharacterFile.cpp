#include "shell/character/CharacterFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::optional<CharacterFile> fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::optional<CharacterFile> CharacterFile::load(const QString &folder, const QString &name, QString *error)
{
    // The name comes from the settings: it must stay a plain file name inside the folder.
    if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.startsWith(QLatin1Char('.')))
        return fail(error, QStringLiteral("no character name"));
    QFile file(QDir(folder).filePath(name + Extension));
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.fileName() + QStringLiteral(": ") + file.errorString());
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject())
        return fail(error, file.fileName() + QStringLiteral(": ") + parse.errorString());
    const QJsonObject root = doc.object();

    CharacterFile c;
    c.name = name;
    const QJsonArray size = root.value(QLatin1String("size")).toArray();
    c.size = QSize(size.at(0).toInt(), size.at(1).toInt());
    if (c.size.width() <= 0 || c.size.height() <= 0 || c.size.width() > 1000 || c.size.height() > 1000)
        return fail(error, QStringLiteral("the figure's size is missing or out of range"));

    const QDir pictures(QDir(folder).filePath(root.value(QLatin1String("pictures")).toString(name)));
    const QJsonObject animations = root.value(QLatin1String("animations")).toObject();
    for (auto it = animations.begin(); it != animations.end(); ++it) {
        const QJsonObject a = it.value().toObject();
        Animation anim;
        anim.intervalMs = qBound(20, a.value(QLatin1String("interval")).toInt(150), 10000);
        anim.loop = a.value(QLatin1String("loop")).toBool(false);
        for (const QJsonValue &f : a.value(QLatin1String("frames")).toArray()) {
            const QString path = pictures.filePath(f.toString());
            if (f.toString().isEmpty() || !QFileInfo(path).isFile())
                return fail(error, QStringLiteral("missing frame picture ") + path);
            anim.frames << path;
        }
        if (anim.frames.isEmpty())
            return fail(error, QStringLiteral("animation without frames: ") + it.key());
        c.animations.insert(it.key(), anim);
    }
    for (const char *required : {"Idle", "Show", "Hide", "Read"}) {
        if (!c.animations.contains(QString::fromLatin1(required)))
            return fail(error, QStringLiteral("missing animation ") + QString::fromLatin1(required));
    }
    return c;
}

QStringList CharacterFile::names(const QString &folder)
{
    QStringList out;
    const QFileInfoList files = QDir(folder).entryInfoList({QLatin1Char('*') + Extension}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        out << f.completeBaseName();
    return out;
}
