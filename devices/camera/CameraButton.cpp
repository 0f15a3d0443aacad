#include "devices/camera/CameraButton.h"

#include "shell/services/AccessibleRole.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

CameraButtonFaces::CameraButtonFaces(QObject *owner) : QObject(owner)
{
    // In the order of CameraButton::Face.
    const char *files[] = {":/camera/face-white.svg", ":/camera/face-red.svg", ":/camera/face-down.svg",
                           ":/camera/face-dred.svg"};
    for (size_t i = 0; i < m_art.size(); ++i)
        m_art[i] = new QSvgRenderer(QString::fromLatin1(files[i]), this);
}

CameraButtonFaces &CameraButtonFaces::of(QWidget *window)
{
    if (auto *faces = window->findChild<CameraButtonFaces *>(QString(), Qt::FindDirectChildrenOnly))
        return *faces;
    return *new CameraButtonFaces(window);
}

// A button made without a window keeps its own pictures; a button stays on the window it was
// made on (the camera window never moves them), so its pictures live as long as it does.
CameraButton::CameraButton(int index, QWidget *parent)
    : QWidget(parent), m_index(index), m_faces(CameraButtonFaces::of(parent ? parent : this))
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
    m_faces.art(int(m_face)).render(&p, QRectF(rect()));
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
