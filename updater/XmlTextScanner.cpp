#include "updater/XmlTextScanner.h"

namespace {

bool isNameChar(QChar c)
{
    return !c.isSpace() && c != QLatin1Char('>') && c != QLatin1Char('/') && c != QLatin1Char('=')
           && c != QLatin1Char('<') && c != QLatin1Char('"') && c != QLatin1Char('\'');
}

// Parses the tag starting at text[pos] == '<'; returns false when it is not closed.
bool parseTag(const QString &text, qsizetype pos, XmlTag *tag)
{
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    tag->start = pos;
    if (i < n && text[i] == QLatin1Char('/')) {
        tag->closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && isNameChar(text[i]))
        ++i;
    tag->name = QStringView(text).mid(nameStart, i - nameStart);
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('>')) {
            tag->end = i + 1;
            return true;
        }
        if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('>')) {
            tag->selfClosing = true;
            tag->end = i + 2;
            return true;
        }
        if (!isNameChar(c)) {
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) { // a stray quoted text: skip it whole
                const qsizetype close = text.indexOf(c, i + 1);
                if (close < 0)
                    return false;
                i = close + 1;
            } else {
                ++i;
            }
            continue;
        }
        XmlAttribute a;
        a.nameStart = i;
        while (i < n && isNameChar(text[i]))
            ++i;
        a.name = QStringView(text).mid(a.nameStart, i - a.nameStart);
        qsizetype j = i;
        while (j < n && text[j].isSpace())
            ++j;
        if (j < n && text[j] == QLatin1Char('=')) {
            ++j;
            while (j < n && text[j].isSpace())
                ++j;
            if (j < n && (text[j] == QLatin1Char('"') || text[j] == QLatin1Char('\''))) {
                const qsizetype close = text.indexOf(text[j], j + 1);
                if (close < 0)
                    return false;
                a.value = QStringView(text).mid(j + 1, close - j - 1);
                i = close + 1;
            } else {
                i = j;
            }
        }
        tag->attributes.append(a);
    }
    return false;
}

} // namespace

const XmlAttribute *XmlTag::attribute(const QString &attributeName) const
{
    for (const XmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

bool XmlTag::hasAttribute(const QString &attributeName) const
{
    return attribute(attributeName) != nullptr;
}

XmlScan scanXml(const QString &text)
{
    XmlScan scan;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    auto skipTo = [&](QLatin1String terminator) {
        const qsizetype at = text.indexOf(terminator, pos);
        return at < 0 ? qsizetype(-1) : at + terminator.size();
    };
    while (pos < n) {
        pos = text.indexOf(QLatin1Char('<'), pos);
        if (pos < 0)
            break;
        const QStringView rest = QStringView(text).mid(pos);
        qsizetype next;
        if (rest.startsWith(QLatin1String("<!--"))) {
            next = text.indexOf(QLatin1String("-->"), pos + 4);
            if (next < 0)
                break;
            next += 3;
            scan.comments.append({pos, next});
        } else if (rest.startsWith(QLatin1String("<![CDATA["))) {
            next = skipTo(QLatin1String("]]>"));
        } else if (rest.startsWith(QLatin1String("<?"))) {
            next = skipTo(QLatin1String("?>"));
        } else if (rest.startsWith(QLatin1String("<!"))) {
            next = skipTo(QLatin1String(">"));
        } else {
            XmlTag tag;
            if (!parseTag(text, pos, &tag))
                break;
            if (tag.name.isEmpty()) { // a lone "<" in broken text
                next = pos + 1;
            } else {
                next = tag.end;
                scan.tags.append(std::move(tag));
            }
        }
        if (next < 0)
            break;
        pos = next;
    }
    return scan;
}
