#pragma once

#include "NumberConversions.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cstddef>
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

// Where `placeholder` next occurs in `sentence` from `from` on, or -1. A plain scan: a
// sentence is a few dozen characters, fewer than a library search takes to set out.
inline qsizetype findPlaceholder(QStringView sentence, QStringView placeholder, qsizetype from = 0)
{
    const QChar mark = placeholder.front();
    for (qsizetype at = from, last = sentence.size() - placeholder.size(); at <= last; ++at) {
        if (sentence[at] == mark && std::equal(placeholder.begin(), placeholder.end(), sentence.begin() + at))
            return at;
    }
    return -1;
}

// Replaces every `placeholder` in `sentence` with `text`, left to right; the inserted text is
// not searched again. (QString::replace builds a search table for every call: that costs
// more than the few characters of a sentence.)
inline void substitute(QString &sentence, const QString &placeholder, QStringView text)
{
    qsizetype at = findPlaceholder(sentence, placeholder);
    if (at < 0)
        return;
    // The sentence is mostly a table entry still shared with its table: it is copied once,
    // with room for what its placeholders add, rather than copied and then grown each time.
    constexpr qsizetype Room = 64;
    const qsizetype needed = sentence.size() + std::max<qsizetype>(0, text.size() - placeholder.size());
    if (!sentence.isDetached() || sentence.capacity() < needed)
        sentence.reserve(needed + Room);
    for (; at >= 0; at = findPlaceholder(sentence, placeholder, at + text.size()))
        sentence.replace(at, placeholder.size(), text.constData(), text.size());
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
