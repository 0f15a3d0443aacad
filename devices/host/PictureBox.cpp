#include "devices/host/PictureBox.h"

#include "shell/services/AccessibleRole.h"

#include <QPainter>
#include <QSvgRenderer>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), m_renderer(new QSvgRenderer(this)) {}

void PictureBox::setPicture(int number, const QString &resource)
{
    // Windows that follow the shared state set their pictures again and again.
    if (number == m_number && resource == m_resource)
        return;
    m_number = number;
    if (resource != m_resource) {
        m_resource = resource;
        m_renderer->load(resource);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (!m_renderer->isValid())
        return;
    QPainter p(this);
    m_renderer->render(&p, QRectF(rect()));
    p.end();
    AccessibleRole::paintFocus(this);
}
