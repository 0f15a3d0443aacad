#include "support/PeResourceWriter.h"

#include <QMap>

#include <algorithm>

namespace {
void put16(QByteArray &b, int at, quint32 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void put32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
int align(int v, int a) { return (v + a - 1) / a * a; }
int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

constexpr quint32 SectionRva = 0x1000;
constexpr int SectionFileOffset = 0x200;
} // namespace

void PeResourceWriter::addResource(quint16 type, quint16 id, const QByteArray &data)
{
    m_entries.append({type, false, id, {}, data});
}

void PeResourceWriter::addNamedResource(quint16 type, const QString &name, const QByteArray &data)
{
    m_entries.append({type, true, 0, name, data});
}

QByteArray PeResourceWriter::build() const
{
    // Types in ascending order; within a type named entries first, then numeric ones, each in
    // the order they were added.
    QMap<quint16, QList<const Entry *>> byType;
    for (const Entry &e : m_entries)
        byType[e.type].append(&e);
    for (auto &list : byType) {
        std::stable_sort(list.begin(), list.end(), [](const Entry *a, const Entry *b) { return a->named && !b->named; });
    }

    const int typeCount = int(byType.size());
    const int rootSize = 16 + 8 * typeCount;
    int offset = rootSize;
    QMap<quint16, int> typeDir;
    for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
        typeDir[it.key()] = offset;
        offset += 16 + 8 * int(it.value().size());
    }
    QMap<const Entry *, int> nameDir, dataEntry, nameString, dataAt;
    for (const auto &list : byType)
        for (const Entry *e : list) {
            nameDir[e] = offset;
            offset += 16 + 8;
        }
    for (const auto &list : byType)
        for (const Entry *e : list) {
            dataEntry[e] = offset;
            offset += 16;
        }
    for (const auto &list : byType)
        for (const Entry *e : list)
            if (e->named) {
                nameString[e] = offset;
                offset += 2 + 2 * int(e->name.size());
            }
    for (const auto &list : byType)
        for (const Entry *e : list) {
            offset = align(offset, 4);
            dataAt[e] = offset;
            offset += int(e->data.size());
        }
    const int rsrcSize = offset;

    QByteArray rsrc(rsrcSize, '\0');
    auto directory = [&rsrc](int at, int named, int ids) {
        put16(rsrc, at + 12, quint32(named));
        put16(rsrc, at + 14, quint32(ids));
    };
    directory(0, 0, typeCount);
    int i = 0;
    for (auto it = byType.cbegin(); it != byType.cend(); ++it, ++i) {
        put32(rsrc, 16 + i * 8, it.key());
        put32(rsrc, 16 + i * 8 + 4, 0x80000000u | quint32(typeDir[it.key()]));
        const auto &list = it.value();
        const int named = int(std::count_if(list.begin(), list.end(), [](const Entry *e) { return e->named; }));
        directory(typeDir[it.key()], named, int(list.size()) - named);
        for (int j = 0; j < list.size(); ++j) {
            const Entry *e = list.at(j);
            const int at = typeDir[it.key()] + 16 + j * 8;
            put32(rsrc, at, e->named ? 0x80000000u | quint32(nameString[e]) : e->id);
            put32(rsrc, at + 4, 0x80000000u | quint32(nameDir[e]));
            directory(nameDir[e], 0, 1);
            put32(rsrc, nameDir[e] + 16, 0x0409);
            put32(rsrc, nameDir[e] + 20, quint32(dataEntry[e]));
            put32(rsrc, dataEntry[e], SectionRva + quint32(dataAt[e]));
            put32(rsrc, dataEntry[e] + 4, quint32(e->data.size()));
            if (e->named) {
                put16(rsrc, nameString[e], quint32(e->name.size()));
                for (int c = 0; c < e->name.size(); ++c)
                    put16(rsrc, nameString[e] + 2 + 2 * c, e->name.at(c).unicode());
            }
            rsrc.replace(dataAt[e], int(e->data.size()), e->data);
        }
    }

    QByteArray file(SectionFileOffset, '\0');
    file[0] = 'M';
    file[1] = 'Z';
    const int pe = 0x40;
    put32(file, 0x3C, pe);
    file.replace(pe, 4, QByteArray("PE\0\0", 4));
    const int coff = pe + 4;
    put16(file, coff, 0x14C);
    put16(file, coff + 2, 1);
    const int optionalSize = 96 + 16 * 8;
    put16(file, coff + 16, optionalSize);
    put16(file, coff + 18, 0x2102);
    const int optional = coff + 20;
    put16(file, optional, 0x10B);
    put32(file, optional + 32, 0x1000); // section alignment
    put32(file, optional + 36, 0x200);  // file alignment
    put32(file, optional + 56, SectionRva + quint32(align(rsrcSize, 0x1000)));
    put32(file, optional + 60, SectionFileOffset);
    put32(file, optional + 92, 16);
    put32(file, optional + 96 + 2 * 8, SectionRva);
    put32(file, optional + 96 + 2 * 8 + 4, quint32(rsrcSize));
    const int section = optional + optionalSize;
    file.replace(section, 5, QByteArray(".rsrc"));
    put32(file, section + 8, quint32(rsrcSize));
    put32(file, section + 12, SectionRva);
    const int raw = align(rsrcSize, 0x200);
    put32(file, section + 16, quint32(raw));
    put32(file, section + 20, SectionFileOffset);
    put32(file, section + 36, 0x40000040u);
    rsrc.append(QByteArray(raw - rsrc.size(), '\0'));
    return file + rsrc;
}

QByteArray PeResourceWriter::iconImage(int pixels, int bits, quint32 rgb)
{
    const char red = char((rgb >> 16) & 0xFF), green = char((rgb >> 8) & 0xFF), blue = char(rgb & 0xFF);
    const int palette = bits <= 8 ? (1 << bits) : 0;
    const int colourRow = rowBytes(pixels, bits);
    const int maskRow = rowBytes(pixels, 1);
    QByteArray b(40 + palette * 4 + pixels * (colourRow + maskRow), '\0');
    put32(b, 0, 40);
    put32(b, 4, quint32(pixels));
    put32(b, 8, quint32(pixels * 2));
    put16(b, 12, 1);
    put16(b, 14, quint32(bits));
    if (palette > 0) {
        b[40 + 4] = blue;
        b[40 + 5] = green;
        b[40 + 6] = red;
    }
    const int colours = 40 + palette * 4;
    for (int row = 0; row < pixels; ++row)
        for (int x = 0; x < pixels; ++x) {
            const int at = colours + row * colourRow;
            if (bits == 24 || bits == 32) {
                const int step = bits / 8;
                b[at + x * step] = blue;
                b[at + x * step + 1] = green;
                b[at + x * step + 2] = red;
                if (bits == 32)
                    b[at + x * step + 3] = char(0xFF);
            } else if (bits == 8) {
                b[at + x] = 1;
            } else {
                b[at + x / 2] = char(b[at + x / 2] | (x % 2 ? 0x01 : 0x10));
            }
        }
    // Rows are stored bottom-up: the top row is the last one of the mask.
    const int mask = colours + pixels * colourRow;
    b[mask + (pixels - 1) * maskRow] = char(0x80);
    return b;
}
