#include "WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDrag::WindowDrag(QWidget *window) : QObject(window), m_window(window) { addPart(window); }

void WindowDrag::addPart(QWidget *part) { part->installEventFilter(this); }

bool WindowDrag::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            break;
        QWindow *handle = m_window->windowHandle();
        m_manual = !(handle && handle->startSystemMove());
        m_grab = e->globalPosition().toPoint() - m_window->pos();
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (m_manual && (e->buttons() & Qt::LeftButton)) {
            m_window->move(e->globalPosition().toPoint() - m_grab);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton)
            m_manual = false;
        if (e->button() == Qt::RightButton && onRightRelease) {
            onRightRelease();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}
