#pragma once

#include <QList>
#include <QString>

// The tags of an XML text found by position, for edits that must leave everything else of
// the text exactly as it was. Comments, CDATA, processing instructions and declarations are
// skipped, so nothing inside them counts as a tag or an attribute. Names and values are views
// into the scanned text, which must outlive the scan.
struct XmlAttribute
{
    qsizetype nameStart;
    QStringView name;
    QStringView value; // as written, without its quotes
};

struct XmlTag
{
    qsizetype start; // the "<"
    qsizetype end;   // one past the ">"
    QStringView name;
    bool closing = false;     // </name>
    bool selfClosing = false; // <name ... />
    QList<XmlAttribute> attributes;

    bool hasAttribute(const QString &attributeName) const;
    const XmlAttribute *attribute(const QString &attributeName) const;
};

struct XmlRange
{
    qsizetype start;
    qsizetype end;
};

struct XmlScan
{
    QList<XmlTag> tags;
    QList<XmlRange> comments; // "<!--" up to one past "-->", in text order
};

// Scans the whole text; a tag or comment left open at the end of the text is not reported.
XmlScan scanXml(const QString &text);
XmlScan scanXml(QString &&) = delete; // the scan points into the text
