#include "updater/IniWriter.h"

#include "engine/ports/MessageBoxService.h"
#include "updater/UpdateError.h"
#include "updater/UpdaterFiles.h"
#include "engine/protocol/Windows1252.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

struct Line
{
    qsizetype start;   // first character
    qsizetype end;     // one past the last character before the line break
    qsizetype next;    // start of the following line
};

QList<Line> splitLines(const QString &text)
{
    QList<Line> lines;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        qsizetype next = end < 0 ? n : end + 1;
        if (end < 0)
            end = n;
        if (end > pos && text[end - 1] == QLatin1Char('\r'))
            --end;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

// The lower-case section name of a header line; nothing for any other line.
std::optional<QString> sectionName(QStringView trimmed)
{
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    const QStringView name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    return name.trimmed().toString().toLower();
}

} // namespace

QString withIniValue(const QString &text, const QString &section, const QString &key, const QString &value)
{
    const QString &Crlf = UpdaterFiles::Crlf;
    const QString wantedSection = section.trimmed().toLower();
    const QString wantedKey = key.trimmed().toLower();
    const QList<Line> lines = splitLines(text);

    // The first section of the name is the one written, as it is the one the reader takes: the
    // search ends at the header that follows it.
    qsizetype sectionAt = -1;   // index of the header line of the target section
    qsizetype lastContent = -1; // last non-blank line inside it
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = QStringView(text).mid(lines[i].start, lines[i].end - lines[i].start);
        const QStringView trimmed = line.trimmed();
        if (const auto name = sectionName(trimmed)) {
            if (sectionAt >= 0)
                break;
            if (*name == wantedSection) {
                sectionAt = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (!trimmed.isEmpty())
            lastContent = i;
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq < 0 || trimmed.left(eq).trimmed().toString().toLower() != wantedKey)
            continue;
        // Keep the key as the file spells it and replace what follows its "=".
        const qsizetype keyEnd = lines[i].start + (line.indexOf(QLatin1Char('=')));
        QString out = text;
        out.replace(keyEnd + 1, lines[i].end - keyEnd - 1, value);
        return out;
    }

    const QString entry = key + QLatin1Char('=') + value;
    if (sectionAt >= 0) {
        const Line &after = lines[lastContent];
        QString out = text;
        if (after.next == after.end) // the file ends on this line without a line break
            out.insert(after.end, Crlf + entry);
        else
            out.insert(after.next, entry + Crlf);
        return out;
    }
    QString out = text;
    if (!out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
        out += Crlf;
    out += QLatin1Char('[') + section + QLatin1Char(']') + Crlf + entry + Crlf;
    return out;
}

bool ScriviIni(const QString &section, const QString &key, const QString &value, const QString &file,
               MessageBoxService &boxes)
{
    const QString name = QFileInfo(file).fileName();
    UpdateError error;
    QByteArray bytes;
    QFile f(file);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly)) {
            error = UpdateError::accessFailed(name, f.errorString());
        } else {
            bytes = f.readAll();
            f.close();
        }
    }
    if (error.number == 0) {
        const QString updated = withIniValue(Windows1252::decode(bytes), section, key, value);
        if (UpdaterFiles::writeAtomically(file, Windows1252::encode(updated), &error))
            return true;
    }
    boxes.message(error.text(), UpdaterFiles::ProgramName);
    return false;
}
