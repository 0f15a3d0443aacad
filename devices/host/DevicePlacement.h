#pragma once

#include <QHash>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

// Where a device window opens when it has no place of its own: each has a designed slot beside
// the main window, on the work area of the main window's screen, and no two slots overlap.
// The slots fill columns outward from the main window's right edge, then from its left edge;
// what finds no room beside it goes over the main window's panes, below its menu bar and
// toolbar, never over them. No slot covers what the desk keeps clear: the notice's corner, the
// probe stack above it and the device windows already open.
namespace DevicePlacement {

// What the rule looks at: the work area of the main window's screen, the main window's
// frame, the screen line where its menu bar and toolbar end, and what no slot may cover.
struct Desk
{
    QRect workArea;
    QRect mainFrame;
    int chromeBottom = 0;
    QList<QRect> keepClear;
    // Windows already on the desk (their frames are in keepClear): they get no slot.
    QList<QString> open;
};

// The windows the rule places, in the order their slots are filled.
QList<QString> placedWindows();
// The room a window's slot keeps: the window with its frame. Scale is the screen's pixels per
// design pixel (1 at 96 dots per inch).
QSize slotSize(const QString &name, double scale = 1.0);
// The top left of the window's slot; none for a window the rule does not place. `size`, when
// given, is the window's own size with its frame, in place of its slot's.
std::optional<QPoint> defaultPlace(const QString &name, const Desk &desk, double scale = 1.0,
                                   std::optional<QSize> size = std::nullopt);
// The room a built window takes: its size, with the frame the window manager adds to a
// framed one (`frame`, as it framed the main window; else the most a manager adds), and never
// less than its slot (which keeps the room a window grows into by its own controls, as the
// camera's enlarged height).
QSize ownSize(const QWidget *window, const QString &name, double scale = 1.0, std::optional<QSize> frame = {});
// The probe windows of `zones` zones, stacked upward from the top of the notice's corner
// along the screen's right edge.
QRect probeStack(const QRect &notice, int zones);
// Whether a window at that rectangle can be seen and taken hold of on one of the areas.
bool reachable(const QRect &window, const QList<QRect> &areas);
// The work areas of every screen.
QList<QRect> workAreas();

// The desk of the main window as it stands now, with the probe stack of `probeZones` zones
// and the device windows in `open` (by name) kept clear.
Desk deskOf(const QWidget *mainWindow, int probeZones = 0, const QHash<QString, const QWidget *> &open = {});
// Moves a window that has not been given a place (by its saved position) to its slot.
void placeUnmoved(QWidget *window, const QString &name, const QWidget *mainWindow, int probeZones = 0,
                  const QHash<QString, const QWidget *> &open = {});

} // namespace DevicePlacement
