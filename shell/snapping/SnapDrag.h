#pragma once

#include "shell/snapping/Snap.h"

#include <QList>
#include <QObject>
#include <functional>

class QWidget;

// Lets the user move a borderless window by pressing the left button on it (or on one of the
// parts added) and dragging; we move it ourselves, since a move left to the window system
// could not be snapped. A window registered with Snapping snaps on the way; any other just
// follows the cursor. A right-button release on the same parts runs `onRightRelease`.
class SnapDrag : public QObject
{
    Q_OBJECT

public:
    explicit SnapDrag(QWidget *window);

    void addPart(QWidget *part);
    std::function<void()> onRightRelease;

    // The places a drag of this window snaps to: its screen's work area first, then the
    // program's other visible windows. Read once when a drag starts.
    static QList<Snap::Edges> targets(const QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    bool m_dragging = false;
    Snap::Drag m_drag;
    QList<Snap::Edges> m_targets;
};
