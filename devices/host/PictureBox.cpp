#include "devices/host/PictureBox.h"

#include "shell/services/AccessibleRole.h"

#include <QPainter>
#include <QSvgRenderer>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(int number, const QString &resource)
{
    // Windows that follow the shared state set their pictures again and again.
    if (number == m_number && resource == m_resource)
        return;
    m_number = number;
    if (resource != m_resource) {
        m_resource = resource;
        // A box shows one of a few pictures: each is read once, then shown again from here.
        QSvgRenderer *&renderer = m_renderers[resource];
        if (!renderer)
            renderer = new QSvgRenderer(resource, this);
        m_renderer = renderer;
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (!m_renderer || !m_renderer->isValid())
        return;
    QPainter p(this);
    m_renderer->render(&p, QRectF(rect()));
    p.end();
    AccessibleRole::paintFocus(this);
}
