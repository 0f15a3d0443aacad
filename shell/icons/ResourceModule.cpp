#include "shell/icons/ResourceModule.h"

#include <QFile>

namespace {
constexpr quint32 ResourceDirectoryIndex = 2;
constexpr quint32 SubdirectoryBit = 0x80000000u;
constexpr int MaxEntries = 4096; // more than any real icon library; bounds a corrupt table

bool readU16(const QByteArray &b, quint32 at, quint16 &out)
{
    if (quint64(at) + 2 > quint64(b.size()))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    out = quint16(p[0] | (p[1] << 8));
    return true;
}

bool readU32(const QByteArray &b, quint32 at, quint32 &out)
{
    if (quint64(at) + 4 > quint64(b.size()))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    out = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    return true;
}
} // namespace

std::optional<ResourceModule> ResourceModule::open(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromBytes(f.readAll());
}

std::optional<ResourceModule> ResourceModule::fromBytes(const QByteArray &bytes)
{
    ResourceModule m;
    m.m_file = bytes;
    const QByteArray &b = m.m_file;
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z')
        return std::nullopt;
    quint32 pe = 0;
    if (!readU32(b, 0x3C, pe) || quint64(pe) + 24 > quint64(b.size()) || b.mid(pe, 4) != QByteArray("PE\0\0", 4))
        return std::nullopt;
    const quint32 coff = pe + 4;
    quint16 sectionCount = 0, optionalSize = 0, magic = 0;
    if (!readU16(b, coff + 2, sectionCount) || !readU16(b, coff + 16, optionalSize))
        return std::nullopt;
    const quint32 optional = coff + 20;
    if (!readU16(b, optional, magic))
        return std::nullopt;
    quint32 dirCountAt = 0;
    if (magic == 0x10B)
        dirCountAt = optional + 92;
    else if (magic == 0x20B)
        dirCountAt = optional + 108;
    else
        return std::nullopt;
    quint32 dirCount = 0;
    if (!readU32(b, dirCountAt, dirCount) || dirCount <= ResourceDirectoryIndex)
        return std::nullopt;
    const quint32 dirAt = dirCountAt + 4 + ResourceDirectoryIndex * 8;
    if (dirAt + 8 > optional + optionalSize || !readU32(b, dirAt, m.m_rsrcRva) || !readU32(b, dirAt + 4, m.m_rsrcSize))
        return std::nullopt;
    if (m.m_rsrcRva == 0 || m.m_rsrcSize == 0)
        return std::nullopt;
    const quint32 table = optional + optionalSize;
    for (quint32 i = 0; i < sectionCount; ++i) {
        const quint32 s = table + i * 40;
        Section sec{};
        if (!readU32(b, s + 8, sec.virtualSize) || !readU32(b, s + 12, sec.rva) || !readU32(b, s + 16, sec.rawSize)
            || !readU32(b, s + 20, sec.rawOffset))
            return std::nullopt;
        m.m_sections.append(sec);
    }
    if (!m.rsrcOffset(0, 16))
        return std::nullopt;
    return m;
}

std::optional<quint32> ResourceModule::fileOffset(quint32 rva, quint32 length) const
{
    for (const Section &s : m_sections) {
        const quint64 extent = qMax(s.virtualSize, s.rawSize);
        if (rva >= s.rva && quint64(rva) + length <= quint64(s.rva) + extent) {
            const quint64 off = quint64(s.rawOffset) + (rva - s.rva);
            // Bytes past the raw data are zero in memory but absent from the file.
            if (off + length > quint64(s.rawOffset) + s.rawSize || off + length > quint64(m_file.size()))
                return std::nullopt;
            return quint32(off);
        }
    }
    return std::nullopt;
}

std::optional<quint32> ResourceModule::rsrcOffset(quint32 offset, quint32 length) const
{
    if (quint64(offset) + length > m_rsrcSize)
        return std::nullopt;
    return fileOffset(m_rsrcRva + offset, length);
}

QList<ResourceModule::Resource> ResourceModule::resources(quint16 type) const
{
    QList<Resource> out;
    const QByteArray &b = m_file;

    // One directory: its entries as (name field, offset field).
    auto entries = [&](quint32 dirOffset) {
        QList<QPair<quint32, quint32>> list;
        const auto at = rsrcOffset(dirOffset, 16);
        quint16 named = 0, ids = 0;
        if (!at || !readU16(b, *at + 12, named) || !readU16(b, *at + 14, ids))
            return list;
        const int count = qMin(int(named) + int(ids), MaxEntries);
        for (int i = 0; i < count; ++i) {
            const auto e = rsrcOffset(dirOffset + 16 + quint32(i) * 8, 8);
            quint32 nameField = 0, offsetField = 0;
            if (!e || !readU32(b, *e, nameField) || !readU32(b, *e + 4, offsetField))
                break;
            list.append({nameField, offsetField});
        }
        return list;
    };
    auto stringName = [&](quint32 nameField) {
        const auto at = rsrcOffset(nameField & ~SubdirectoryBit, 2);
        quint16 len = 0;
        if (!at || !readU16(b, *at, len))
            return QString();
        const auto chars = rsrcOffset((nameField & ~SubdirectoryBit) + 2, quint32(len) * 2);
        if (!chars)
            return QString();
        QString s;
        for (quint16 i = 0; i < len; ++i) {
            quint16 c = 0;
            readU16(b, *chars + quint32(i) * 2, c);
            s.append(QChar(c));
        }
        return s;
    };

    for (const auto &[typeName, typeOffset] : entries(0)) {
        if ((typeName & SubdirectoryBit) || typeName != type || !(typeOffset & SubdirectoryBit))
            continue;
        for (const auto &[name, nameOffset] : entries(typeOffset & ~SubdirectoryBit)) {
            if (!(nameOffset & SubdirectoryBit))
                continue;
            const auto languages = entries(nameOffset & ~SubdirectoryBit);
            if (languages.isEmpty() || (languages.first().second & SubdirectoryBit))
                continue;
            const auto dataEntry = rsrcOffset(languages.first().second, 16);
            quint32 dataRva = 0, dataSize = 0;
            if (!dataEntry || !readU32(b, *dataEntry, dataRva) || !readU32(b, *dataEntry + 4, dataSize))
                continue;
            Resource r;
            r.numericName = !(name & SubdirectoryBit);
            if (r.numericName)
                r.id = quint16(name & 0xFFFF);
            else
                r.name = stringName(name);
            if (const auto at = fileOffset(dataRva, dataSize))
                r.data = b.mid(*at, dataSize);
            out.append(r);
        }
        break;
    }
    return out;
}
