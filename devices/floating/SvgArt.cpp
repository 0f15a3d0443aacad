#include "SvgArt.h"

#include <QPainter>
#include <QSvgRenderer>

// The device windows' own pictures live in the static library; they are registered on first use.
static void registerDeviceArt()
{
    Q_INIT_RESOURCE(scenarios);
    Q_INIT_RESOURCE(floating);
}

namespace SvgArt {

QImage image(const QString &resource, const QSize &size)
{
    static const bool registered = (registerDeviceArt(), true);
    Q_UNUSED(registered);
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QSvgRenderer svg(resource);
    QPainter p(&img);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

QPixmap pixmap(const QString &resource, const QSize &size, qreal devicePixelRatio)
{
    QPixmap pm = QPixmap::fromImage(image(resource, size * devicePixelRatio));
    pm.setDevicePixelRatio(devicePixelRatio);
    return pm;
}

} // namespace SvgArt
