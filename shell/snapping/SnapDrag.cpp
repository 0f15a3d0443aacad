#include "shell/snapping/SnapDrag.h"

#include "shell/snapping/Snapping.h"
#include "shell/services/TopLevelWindows.h"

#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

SnapDrag::SnapDrag(QWidget *window) : QObject(window), m_window(window) { addPart(window); }

void SnapDrag::addPart(QWidget *part) { part->installEventFilter(this); }

QList<Snap::Edges> SnapDrag::targets(const QWidget *window)
{
    QList<Snap::Edges> out;
    if (const QScreen *screen = window->screen())
        out.append(Snap::Edges::of(screen->availableGeometry()));
    for (const QWidget *w : TopLevelWindows::programWindows())
        if (w != window && w->isVisible())
            out.append(Snap::Edges::of(w->frameGeometry()));
    return out;
}

bool SnapDrag::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        const QPoint cursor = e->globalPosition().toPoint();
        m_drag = Snap::start(Snap::Edges::of(m_window->frameGeometry()), cursor);
        m_targets = Snapping::isDocked(m_window) ? targets(m_window) : QList<Snap::Edges>{};
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!m_dragging || !(e->buttons() & Qt::LeftButton))
            return false;
        const QPoint cursor = e->globalPosition().toPoint();
        const QRect proposed(cursor - m_drag.cursorOffset, m_window->frameGeometry().size());
        const Snap::Edges placed = Snap::moveStep(Snap::Edges::of(proposed), cursor, m_targets, m_drag);
        m_window->move(placed.left, placed.top);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::RightButton && onRightRelease) {
            onRightRelease();
            return true;
        }
        if (e->button() != Qt::LeftButton || !m_dragging)
            return false;
        m_dragging = false;
        m_targets.clear();
        return true;
    }
    default:
        return false;
    }
}
