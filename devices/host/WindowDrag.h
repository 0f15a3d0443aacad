#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

// Moves a borderless window when the left button is pressed on it or on one of the parts
// it was given, as a caption would; the window system moves it where it can, else we do.
// A right-button release on the same parts runs the window's menu.
class WindowDrag : public QObject
{
public:
    explicit WindowDrag(QWidget *window);

    void addPart(QWidget *part);
    std::function<void()> onRightRelease;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPoint m_grab;
    bool m_manual = false;
};
