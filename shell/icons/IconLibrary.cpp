#include "shell/icons/IconLibrary.h"

#include "shell/icons/ImageList.h"
#include "shell/icons/ResourceModule.h"

#include <QPixmap>

#include <array>

namespace {
quint32 u32(const QByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
quint16 u16(const QByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return quint16(p[0] | (p[1] << 8));
}
int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }
} // namespace

int IconLibrary::expectedImageSize(int pixels, int bits)
{
    static constexpr int Sizes[] = {16, 24, 32, 48};
    static constexpr int Depths[] = {4, 8, 24, 32};
    static const auto table = [] {
        std::array<std::array<int, 4>, 4> t{};
        for (int s = 0; s < 4; ++s)
            for (int d = 0; d < 4; ++d) {
                const int px = Sizes[s], bpp = Depths[d];
                const int palette = bpp <= 8 ? (1 << bpp) * 4 : 0;
                t[s][d] = 40 + palette + px * (rowBytes(px, bpp) + rowBytes(px, 1));
            }
        return t;
    }();
    for (int s = 0; s < 4; ++s)
        for (int d = 0; d < 4; ++d)
            if (Sizes[s] == pixels && Depths[d] == bits)
                return table[s][d];
    return 0;
}

QImage IconLibrary::decodeIconImage(const QByteArray &data)
{
    if (data.size() < 40 || u32(data, 0) != 40)
        return {};
    const int width = int(u32(data, 4));
    const int height = int(u32(data, 8)) / 2; // colour rows and mask rows together
    const int bits = u16(data, 14);
    const quint32 compression = u32(data, 16);
    if (width <= 0 || width > 256 || height <= 0 || height > 256 || compression != 0)
        return {};
    if (bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return {};
    const int palette = bits <= 8 ? (1 << bits) : 0;
    const int colourRow = rowBytes(width, bits);
    const int maskRow = rowBytes(width, 1);
    const int colours = 40 + palette * 4;
    const int mask = colours + colourRow * height;
    if (data.size() < mask + maskRow * height)
        return {};

    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    QImage img(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y; // rows are stored bottom-up
        const uchar *c = p + colours + row * colourRow;
        const uchar *m = p + mask + row * maskRow;
        auto *out = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb rgb = 0;
            int alpha = 255;
            if (bits == 24) {
                rgb = qRgb(c[x * 3 + 2], c[x * 3 + 1], c[x * 3]);
            } else if (bits == 32) {
                rgb = qRgb(c[x * 4 + 2], c[x * 4 + 1], c[x * 4]);
                alpha = c[x * 4 + 3];
            } else {
                const int index = bits == 8 ? c[x] : ((c[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F);
                const uchar *e = p + 40 + index * 4;
                rgb = qRgb(e[2], e[1], e[0]);
            }
            if ((m[x / 8] >> (7 - x % 8)) & 1)
                alpha = 0;
            out[x] = qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha);
        }
    }
    return img;
}

bool IconLibrary::load(const QString &path, ImageList &list)
{
    const auto module = ResourceModule::open(path);
    if (!module)
        return false;
    list.clear();
    const int wanted = expectedImageSize(requestedSize, requestedDepth);
    for (const ResourceModule::Resource &r : module->resources(IconType)) {
        if (!r.numericName)
            continue;
        lastSize = int(r.data.size());
        if (r.data.isEmpty() || lastSize != wanted)
            continue;
        const QImage img = decodeIconImage(r.data);
        if (img.isNull())
            continue;
        const QString key = QLatin1Char('#') + QString::number(r.id) + QString::number(counter) + QLatin1Char(' ')
            + QString::number(lastSize) + QLatin1Char(' ') + QString::number(img.width()) + QLatin1Char('x')
            + QString::number(img.height());
        list.add(key, QIcon(QPixmap::fromImage(img)));
        ++counter;
    }
    return true;
}
