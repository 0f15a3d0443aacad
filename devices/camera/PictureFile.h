#pragma once

#include <QByteArray>
#include <QString>

// The latest camera picture on disk, which the snapshot server hands out. Written to a
// temporary file and renamed over the old one, so a reader never sees half a picture and a
// failed write keeps the previous picture.
namespace PictureFile {
// Empty on success, else what went wrong.
QString write(const QString &path, const QByteArray &bytes);
} // namespace PictureFile
