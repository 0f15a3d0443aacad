#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The resources of a Windows module (a PE file) read as data: nothing is loaded or run.
// Enough of the format to list the resources of one type and fetch their bytes.
class ResourceModule
{
public:
    struct Resource
    {
        bool numericName = false;
        quint16 id = 0;        // when numericName
        QString name;          // otherwise
        QByteArray data;       // the first language's bytes
    };

    // Reads the file; empty when it is missing or not a PE file with a resource section.
    static std::optional<ResourceModule> open(const QString &path);
    static std::optional<ResourceModule> fromBytes(const QByteArray &bytes);

    // The resources of a numeric type, in the order the module's directory lists them
    // (named entries first, then numeric ones).
    QList<Resource> resources(quint16 type) const;

private:
    QByteArray m_file;
    quint32 m_rsrcRva = 0;
    quint32 m_rsrcSize = 0;
    struct Section
    {
        quint32 rva, virtualSize, rawOffset, rawSize;
    };
    QList<Section> m_sections;

    std::optional<quint32> fileOffset(quint32 rva, quint32 length) const;
    std::optional<quint32> rsrcOffset(quint32 offset, quint32 length) const;
};
