#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

// Our own pictures drawn at the size a window needs them, sharp on high-density screens.
namespace SvgArt {
// The picture at `size` logical pixels, drawn for the given device pixel ratio.
QPixmap pixmap(const QString &resource, const QSize &size, qreal devicePixelRatio);
// The picture at `size` pixels on a transparent ground (for outlines made from it).
QImage image(const QString &resource, const QSize &size);
} // namespace SvgArt
