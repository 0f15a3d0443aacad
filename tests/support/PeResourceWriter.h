#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Builds small resource-only Windows modules (PE32 files with one resource section) for the
// icon library tests, and the icon images to put in them.
class PeResourceWriter
{
public:
    void addResource(quint16 type, quint16 id, const QByteArray &data);
    void addNamedResource(quint16 type, const QString &name, const QByteArray &data);
    QByteArray build() const;

    // An uncompressed icon image (header, palette for 4 and 8 bits, colour rows, mask rows)
    // of one colour (0xRRGGBB), square, of the given depth; its top-left pixel is masked out.
    static QByteArray iconImage(int pixels, int bits, quint32 rgb);

private:
    struct Entry
    {
        quint16 type;
        bool named;
        quint16 id;
        QString name;
        QByteArray data;
    };
    QList<Entry> m_entries;
};
