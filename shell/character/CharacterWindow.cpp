#include "shell/character/CharacterWindow.h"

#include <QBitmap>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace {

constexpr int BalloonWidth = 240;
constexpr int BalloonHeight = 92;
constexpr int TailHeight = 12;

} // namespace

CharacterWindow::CharacterWindow(CharacterFile file, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus),
      m_file(std::move(file))
{
    setObjectName(QStringLiteral("Personaggio"));
    setWindowTitle(m_file.name);
    setAccessibleName(m_file.name);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(qMax(m_file.size.width(), BalloonWidth), m_file.size.height() + BalloonHeight + TailHeight);
    connect(&m_timer, &QTimer::timeout, this, &CharacterWindow::nextFrame);
    play(QStringLiteral("Idle"));
}

QRect CharacterWindow::figureRect() const
{
    return QRect(width() - m_file.size.width(), height() - m_file.size.height(), m_file.size.width(),
                 m_file.size.height());
}

QRect CharacterWindow::balloonRect() const { return QRect(width() - BalloonWidth, 0, BalloonWidth, BalloonHeight); }

QPainterPath CharacterWindow::balloonPath() const
{
    const QRectF b = QRectF(balloonRect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath path;
    path.addRoundedRect(b, 12, 12);
    // The tail points down at the figure's head.
    const qreal tx = figureRect().center().x();
    QPolygonF tail;
    tail << QPointF(tx - 14, b.bottom() - 1) << QPointF(tx + 2, b.bottom() + TailHeight)
         << QPointF(tx + 4, b.bottom() - 1);
    path.addPolygon(tail);
    return path.simplified();
}

bool CharacterWindow::play(const QString &name)
{
    const auto a = m_file.animations.constFind(name);
    if (a == m_file.animations.constEnd())
        return false;
    m_current = name;
    m_frame = 0;
    m_timer.start(a->intervalMs);
    emit animationStarted(name);
    updateShape();
    update();
    return true;
}

void CharacterWindow::nextFrame()
{
    const CharacterFile::Animation &a = m_file.animations[m_current];
    if (m_frame + 1 < a.frames.size()) {
        ++m_frame;
    } else if (a.loop) {
        m_frame = 0;
    } else {
        m_timer.stop();
        emit animationEnded(m_current);
        return;
    }
    updateShape();
    update();
}

void CharacterWindow::setBalloon(const QString &text)
{
    m_balloon = text;
    updateShape();
    update();
}

QImage CharacterWindow::frameImage(const QString &path, qreal ratio)
{
    const QString key = path + QLatin1Char('@') + QString::number(ratio);
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return *cached;
    const QSize pixels = (QSizeF(m_file.size) * ratio).toSize();
    QImage img;
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        img = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QSvgRenderer svg(path);
        QPainter p(&img);
        svg.render(&p);
    } else {
        img = QImage(path).scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    img.setDevicePixelRatio(ratio);
    m_cache.insert(key, img);
    return img;
}

void CharacterWindow::updateShape()
{
    const CharacterFile::Animation &a = m_file.animations[m_current];
    const QImage figure = frameImage(a.frames.value(m_frame), 1.0);
    QRegion shape = QRegion(QBitmap::fromImage(figure.createAlphaMask())).translated(figureRect().topLeft());
    if (!m_balloon.isEmpty())
        // Shaped to the outline too, so that no corner shows where nothing composes the window.
        shape += QRegion(balloonPath().toFillPolygon().toPolygon());
    if (shape != m_shape) {
        m_shape = shape;
        setMask(shape);
    }
}

void CharacterWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!m_balloon.isEmpty()) {
        const QRectF b = QRectF(balloonRect()).adjusted(1.5, 1.5, -1.5, -1.5);
        const QPainterPath path = balloonPath();
        p.setPen(QPen(QColor(0x5a, 0x4a, 0x3a), 1.5));
        p.setBrush(QColor(0xff, 0xfc, 0xe8));
        p.drawPath(path);
        QFont f = font();
        f.setPointSizeF(10.5);
        p.setFont(f);
        p.setPen(QColor(0x2b, 0x25, 0x1e));
        p.drawText(b.adjusted(12, 8, -12, -8), Qt::AlignCenter | Qt::TextWordWrap, m_balloon);
    }
    const CharacterFile::Animation &a = m_file.animations[m_current];
    p.drawImage(figureRect().topLeft(), frameImage(a.frames.value(m_frame), devicePixelRatioF()));
}
