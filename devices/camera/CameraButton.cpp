#include "devices/camera/CameraButton.h"

#include "shell/services/AccessibleRole.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QSvgRenderer &faceArt(CameraButton::Face face)
{
    static QSvgRenderer white(QStringLiteral(":/camera/face-white.svg"));
    static QSvgRenderer red(QStringLiteral(":/camera/face-red.svg"));
    static QSvgRenderer down(QStringLiteral(":/camera/face-down.svg"));
    static QSvgRenderer downRed(QStringLiteral(":/camera/face-dred.svg"));
    switch (face) {
    case CameraButton::Face::Red:
        return red;
    case CameraButton::Face::Down:
        return down;
    case CameraButton::Face::DownRed:
        return downRed;
    case CameraButton::Face::White:
        break;
    }
    return white;
}

} // namespace

CameraButton::CameraButton(int index, QWidget *parent) : QWidget(parent), m_index(index)
{
    setFixedSize(Width, Height);
    setObjectName(QStringLiteral("Pbut") + QString::number(index));
    setCursor(Qt::PointingHandCursor);
    // Space and Enter act as a left click; the menu key, as a right click flags the camera.
    AccessibleRole::makeButton(this, [this] { emit released(Qt::LeftButton); });
}

void CameraButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        emit released(Qt::RightButton);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CameraButton::setFace(Face face)
{
    if (m_face == face)
        return;
    m_face = face;
    describeFace();
    update();
}

void CameraButton::setStateTexts(const QString &raised, const QString &down)
{
    m_raisedText = raised;
    m_downText = down;
    describeFace();
}

void CameraButton::describeFace()
{
    QStringList words;
    if (m_face == Face::Red || m_face == Face::DownRed)
        words << m_raisedText;
    if (m_face == Face::Down || m_face == Face::DownRed)
        words << m_downText;
    words.removeAll(QString());
    setAccessibleDescription(words.join(QStringLiteral(", ")));
}

QString CameraButton::label() const { return m_index == 12 ? QStringLiteral("A") : QString::number(m_index + 1); }

QPoint CameraButton::labelOrigin() const
{
    if (m_index == 12)
        return {5, 2};
    return m_index < 9 ? QPoint(2, 2) : QPoint(-1, 2);
}

void CameraButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    faceArt(m_face).render(&p, QRectF(rect()));
    QFont f = font();
    f.setPixelSize(11);
    f.setBold(true);
    // Two-digit numbers start left of the edge, so they are drawn condensed to fit.
    if (m_index >= 9 && m_index < 12)
        f.setStretch(QFont::SemiCondensed);
    p.setFont(f);
    const bool dark = m_face == Face::Red || m_face == Face::DownRed;
    p.setPen(dark ? QColor(255, 255, 255) : QColor(33, 37, 41));
    const QPoint o = labelOrigin();
    p.drawText(QRect(o.x(), o.y(), Width + 2 - o.x(), Height - o.y()), Qt::AlignLeft | Qt::AlignTop, label());
    p.end();
    AccessibleRole::paintFocus(this);
}

void CameraButton::mousePressEvent(QMouseEvent *event) { event->accept(); }

void CameraButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit released(event->button());
}
