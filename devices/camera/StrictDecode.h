#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a picture and fails where Qt's decoder only warns: a JPEG with corrupt data in it
// (a broken middle, a cut one that still ends with its end marker, padding) decodes to a
// picture with grey or garbled parts, and the decoder's warning is the only sign of it.
namespace StrictDecode {

struct Result
{
    QImage picture;  // null when the bytes are no whole picture
    QString fault;   // the decoder's warning, when it gave one
};

Result decode(const QByteArray &bytes);

} // namespace StrictDecode
