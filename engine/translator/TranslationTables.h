#pragma once

#include "engine/protocol/NumberConversions.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>

// Lookups of the frame translator. A miss throws, so that the translation of that one frame
// ends with the translation-error sentence instead of reading past a table.
namespace TranslationTables {

inline const QString &entry(const QStringList &table, int index)
{
    if (index < 0 || index >= table.size())
        throw std::out_of_range("translation table entry");
    return table[index];
}

template<class Array>
auto &slot(Array &array, int index)
{
    if (index < 0)
        throw std::out_of_range("negative index");
    return array.at(static_cast<std::size_t>(index));
}

// Where `placeholder` next occurs in `sentence` from `from` on, or -1. The standard search for
// its backslash: a sentence is a few dozen characters, fewer than Qt's search takes to set out.
inline qsizetype findPlaceholder(QStringView sentence, QStringView placeholder, qsizetype from = 0)
{
    if (from >= sentence.size())
        return -1;
    const QChar *const begin = sentence.begin();
    const QChar *const end = sentence.end();
    const QStringView rest = placeholder.sliced(1);
    for (const QChar *at = std::find(begin + from, end, placeholder.front()); at != end;
         at = std::find(at + 1, end, placeholder.front())) {
        if (end - at > rest.size() && std::equal(rest.begin(), rest.end(), at + 1))
            return at - begin;
    }
    return -1;
}

// Where `c` next occurs in `field` from `from` on, or -1. A field is a few characters, fewer
// than Qt's search takes to set out.
inline qsizetype indexIn(QStringView field, QChar c, qsizetype from = 0)
{
    if (from >= field.size())
        return -1;
    const QChar *const at = std::find(field.begin() + from, field.end(), c);
    return at == field.end() ? -1 : at - field.begin();
}

// `text` written over what `target` holds, into the storage it already has: a buffer that
// is refilled for every frame is allocated once, not once per frame. `text` must not lie
// in `target`.
inline void copyInto(QString &target, QStringView text)
{
    target.resize(text.size());
    std::copy(text.begin(), text.end(), target.data());
}

// Replaces every `placeholder` in `sentence` with `text`, left to right; the inserted text is
// not searched again. Done in place: a sentence buffer keeps its storage from frame to frame.
// `text` must not lie in `sentence`. A caller that has found the first placeholder already
// says where it is.
inline void substitute(QString &sentence, QStringView placeholder, QStringView text, qsizetype first = -1)
{
    const qsizetype grow = text.size() - placeholder.size();
    for (qsizetype at = first >= 0 ? first : findPlaceholder(sentence, placeholder); at >= 0;
         at = findPlaceholder(sentence, placeholder, at + text.size())) {
        const qsizetype size = sentence.size();
        if (grow > 0)
            sentence.resize(size + grow);
        QChar *data = sentence.data();
        const qsizetype tail = at + placeholder.size();
        std::memmove(data + tail + grow, data + tail, std::size_t(size - tail) * sizeof(QChar));
        std::copy(text.begin(), text.end(), data + at);
        if (grow < 0)
            sentence.resize(size + grow);
    }
}

// `field` with every "#" dropped, written into `text`'s storage.
inline void withoutHashes(QStringView field, QString &text)
{
    text.resize(field.size());
    QChar *to = text.data();
    for (const QChar c : field) {
        if (c != QLatin1Char('#'))
            *to++ = c;
    }
    text.truncate(to - text.constData());
}

// A text of up to three characters and its length packed into one number, so that a WHO or
// a dimension is told by one switch rather than by a string comparison per case; 0 for a
// longer text.
constexpr quint64 shortKey(QStringView text)
{
    if (text.size() > 3)
        return 0;
    quint64 key = quint64(text.size()) << 48;
    for (qsizetype i = 0; i < text.size(); ++i)
        key |= quint64(text[i].unicode()) << (16 * i);
    return key;
}

// Placeholders of the sentences, replaced by plain, case-sensitive text replacement.
namespace Ph {
inline const QString n = QStringLiteral("\\n");
inline const QString c = QStringLiteral("\\c");
inline const QString v = QStringLiteral("\\v");
inline const QString d = QStringLiteral("\\d");
inline const QString t = QStringLiteral("\\t");
inline const QString m = QStringLiteral("\\m");
inline const QString z = QStringLiteral("\\z");
inline const QString vc = QStringLiteral("\\vc");
inline const QString vr = QStringLiteral("\\vr");
inline const QString x = QStringLiteral("\\x");
inline const QString y = QStringLiteral("\\y");
inline const QString h = QStringLiteral("\\h");
inline const QString ww = QStringLiteral("\\ww");
inline const QString dd = QStringLiteral("\\dd");
inline const QString mm = QStringLiteral("\\mm");
inline const QString aa = QStringLiteral("\\aa");
} // namespace Ph

} // namespace TranslationTables
