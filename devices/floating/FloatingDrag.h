#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

// Moves a borderless window with the mouse: the window keeps the offset it had from the
// cursor when the drag began. The part pressed keeps the mouse while the button is held.
class FloatingDrag
{
public:
    void begin(QWidget *window, const QPoint &globalCursor)
    {
        m_window = window;
        m_offset = globalCursor - window->pos();
    }
    void follow(const QPoint &globalCursor)
    {
        if (m_window)
            m_window->move(globalCursor - m_offset);
    }
    void end() { m_window.clear(); }
    bool active() const { return !m_window.isNull(); }

private:
    QPointer<QWidget> m_window;
    QPoint m_offset;
};
