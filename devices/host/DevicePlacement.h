#pragma once

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
// toolbar, never over them.
namespace DevicePlacement {

// What the rule looks at: the work area of the main window's screen, the main window's
// frame, and the screen line where its menu bar and toolbar end.
struct Desk
{
    QRect workArea;
    QRect mainFrame;
    int chromeBottom = 0;
};

// The windows the rule places, in the order their slots are filled.
QList<QString> placedWindows();
// The room a window's slot keeps: the window with its frame. Scale is the screen's pixels per
// design pixel (1 at 96 dots per inch).
QSize slotSize(const QString &name, double scale = 1.0);
// The top left of the window's slot; none for a window the rule does not place.
std::optional<QPoint> defaultPlace(const QString &name, const Desk &desk, double scale = 1.0);
// Whether a window at that rectangle can be seen and taken hold of on one of the areas.
bool reachable(const QRect &window, const QList<QRect> &areas);
// The work areas of every screen.
QList<QRect> workAreas();

// The desk of the main window as it stands now.
Desk deskOf(const QWidget *mainWindow);
// Moves a window that has not been given a place (by its saved position) to its slot.
void placeUnmoved(QWidget *window, const QString &name, const QWidget *mainWindow);

} // namespace DevicePlacement
