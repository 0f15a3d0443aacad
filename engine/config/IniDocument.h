#pragma once

#include <QHash>
#include <QString>

// An INI-format file read once, answering values by the rules of the classic profile
// reader: section and key names match without regard to case, the first occurrence of a
// section or key counts, a value is the text after the first "=" with blanks trimmed and
// one pair of enclosing quotes removed, and at most MaxValueLength characters come back.
// Files are Windows-1252 text. A missing file reads as empty.
class IniDocument
{
public:
    static constexpr int MaxValueLength = 79;

    IniDocument() = default;
    explicit IniDocument(const QString &path);

    static IniDocument fromBytes(const QByteArray &bytes);

    bool exists() const { return m_exists; }
    QString value(const QString &section, const QString &key) const;

private:
    void parse(const QByteArray &bytes);

    // section (lower case) -> key (lower case) -> value (already cut and unquoted)
    QHash<QString, QHash<QString, QString>> m_sections;
    bool m_exists = false;
};

// One value of an INI-format file; the empty text when the file, section or key is missing.
QString LeggiIni(const QString &section, const QString &key, const QString &file);
