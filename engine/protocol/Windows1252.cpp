#include "engine/protocol/Windows1252.h"

namespace {
// 0x80..0x9F; 0 marks the five bytes that the code page leaves undefined (kept as C1 controls).
constexpr char16_t High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
} // namespace

namespace Windows1252 {

QString decode(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *d = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && High[b - 0x80] != 0)
            *d++ = QChar(High[b - 0x80]);
        else
            *d++ = QChar(b);
    }
    return out;
}

QByteArray encode(const QString &text)
{
    // One byte of room: the texts for the display client get a NUL appended.
    QByteArray out;
    out.reserve(text.size() + 1);
    encode(text, out);
    return out;
}

void encode(const QString &text, QByteArray &out)
{
    out.resize(text.size());
    char *d = out.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || (u >= 0x80 && u <= 0x9F && High[u - 0x80] == 0)) {
            *d++ = static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (High[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        *d++ = mapped;
    }
}

} // namespace Windows1252
