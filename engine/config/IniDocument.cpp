#include "engine/config/IniDocument.h"

#include "engine/protocol/Windows1252.h"

#include <QFile>

IniDocument::IniDocument(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    m_exists = true;
    parse(f.readAll());
}

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    IniDocument doc;
    doc.m_exists = true;
    doc.parse(bytes);
    return doc;
}

namespace {
QString unquoted(const QString &v)
{
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && v.back() == first)
            return v.mid(1, v.size() - 2);
    }
    return v;
}
} // namespace

void IniDocument::parse(const QByteArray &bytes)
{
    // Language files are Windows-1252; an editor that saved one as UTF-8 says so with a
    // byte-order mark, which would otherwise hide the first section.
    static const QByteArray Utf8Bom("\xEF\xBB\xBF");
    const QString text = bytes.startsWith(Utf8Bom) ? QString::fromUtf8(bytes.mid(Utf8Bom.size()))
                                                   : Windows1252::decode(bytes);
    QHash<QString, QString> *current = nullptr; // null: before any section, or a repeated one
    qsizetype pos = 0;
    while (pos <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            const QString name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed().toString().toLower();
            if (m_sections.contains(name)) {
                current = nullptr; // the first occurrence of a section is the one that counts
            } else {
                current = &m_sections[name];
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = trimmed.left(eq).trimmed().toString().toLower();
        if (current->contains(key))
            continue;
        current->insert(key, unquoted(trimmed.mid(eq + 1).trimmed().toString()).left(MaxValueLength));
    }
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const auto s = m_sections.constFind(section.trimmed().toLower());
    if (s == m_sections.cend())
        return {};
    return s->value(key.trimmed().toLower());
}

QString LeggiIni(const QString &section, const QString &key, const QString &file)
{
    return IniDocument(file).value(section, key);
}
