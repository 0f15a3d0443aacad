#include "WindowDrag.h"

#include "Docking.h"
#include "TopLevelWindows.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

WindowDrag::WindowDrag(QWidget *window, const QList<QWidget *> &handles) : QObject(window), m_window(window)
{
    for (QWidget *h : handles)
        h->installEventFilter(this);
}

QList<Snap::Edges> WindowDrag::targets(const QWidget *window)
{
    QList<Snap::Edges> out;
    const QScreen *screen = window->screen();
    if (screen)
        out.append(Snap::Edges::of(screen->availableGeometry()));
    for (const QWidget *w : TopLevelWindows::programWindows())
        if (w != window && w->isVisible())
            out.append(Snap::Edges::of(w->frameGeometry()));
    return out;
}

bool WindowDrag::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        const QPoint cursor = e->globalPosition().toPoint();
        m_drag = Snap::start(Snap::Edges::of(m_window->frameGeometry()), cursor);
        // The drag snaps only while the window is registered; the rest just follow the cursor.
        m_targets = Docking::isDocked(m_window) ? targets(m_window) : QList<Snap::Edges>{};
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!m_dragging || !(e->buttons() & Qt::LeftButton))
            return false;
        const QPoint cursor = e->globalPosition().toPoint();
        const QRect frame = m_window->frameGeometry();
        const QPoint topLeft = cursor - m_drag.cursorOffset;
        const Snap::Edges proposed = Snap::Edges::of(QRect(topLeft, frame.size()));
        const Snap::Edges placed = Snap::moveStep(proposed, cursor, m_targets, m_drag);
        m_window->move(placed.left, placed.top);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return false;
        m_dragging = false;
        m_targets.clear();
        return true;
    default:
        return false;
    }
}
