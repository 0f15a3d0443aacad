#pragma once

#include "Snap.h"

#include <QList>
#include <QObject>

class QWidget;

// Lets the user move a borderless window by pressing the left button on it (or on one of its
// labels) and dragging. A window registered with Docking snaps on the way; any other just
// follows the cursor. The helper is a child of the window and watches the given parts.
class WindowDrag : public QObject
{
    Q_OBJECT

public:
    WindowDrag(QWidget *window, const QList<QWidget *> &handles);

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
