#pragma once

#include <QList>

class QWidget;

// The snapping of the program's small borderless windows. A window that registers here sticks,
// while the user drags it with a SnapDrag, to the edges of its screen's work area and of the
// program's other visible windows (see Snap.h).
//
//     Snapping::DockForm(this);               // in the window's constructor or load
//     auto *drag = new SnapDrag(this);        // the window itself is dragged by...
//     drag->addPart(label);                   // ...and by its labels
//     Snapping::UndockForm(this);             // at unload (optional: see below)
//
// A window is held once however often it registers. A window that is closed (hidden by its
// close) or destroyed leaves the table by itself, so it never stays a target or an entry.
namespace Snapping {

void DockForm(QWidget *window);
void UndockForm(QWidget *window);
bool isDocked(const QWidget *window);
// The registered windows, in the order they registered.
QList<QWidget *> docked();

} // namespace Snapping
