#include "devices/host/LampShape.h"

#include <QPainter>

LampShape::LampShape(QWidget *parent) : QWidget(parent) {}

void LampShape::setFill(const QColor &colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void LampShape::clearFill()
{
    if (!m_fill.isValid())
        return;
    m_fill = QColor();
    update();
}

void LampShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(40, 40, 40, 180), 1.0));
    if (m_fill.isValid()) {
        // A highlight at the top left makes the flat fill read as a lit bulb.
        QRadialGradient g(r.left() + r.width() * 0.35, r.top() + r.height() * 0.35, r.width() * 0.7);
        g.setColorAt(0, m_fill.lighter(150));
        g.setColorAt(1, m_fill);
        p.setBrush(g);
    } else {
        p.setBrush(Qt::NoBrush);
    }
    p.drawEllipse(r);
}
