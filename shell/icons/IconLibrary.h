#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class ImageList;

// Reads the toolbar icons out of the icon library "ico.icl" (a resource-only Windows
// module). Only single icon images (resource type 3) with a numeric name whose size is the
// one an uncompressed 32 x 32 image of 24 bits has are taken, in the order the library
// lists them.
class IconLibrary
{
public:
    static constexpr quint16 IconType = 3;

    // The byte size of an uncompressed icon image of the given square size and depth, for
    // the sizes 16, 24, 32, 48 and depths 4, 8, 24, 32; 0 for anything else.
    static int expectedImageSize(int pixels, int bits);
    // The picture an icon image resource holds (header, colours, mask); null when unreadable.
    static QImage decodeIconImage(const QByteArray &data);

    // GetIconsFromLibrary: false, leaving the list as it was, when the file cannot be read as
    // a module; otherwise the list holds the library's matching icons (possibly none).
    bool load(const QString &path, ImageList &list);

    int requestedSize = 32;
    int requestedDepth = 24;
    // Running count of icons added, part of each key; never reset.
    int counter = 0;
    int lastSize = 0;
};
