#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// The snap of a dragged window to the edges around it, as pure arithmetic: an edge that comes
// within `Distance` pixels of a target edge lines up with it. Rectangles are screen pixels with
// exclusive right and bottom edges (a 360-pixel window at x 0 has right 360).
namespace Snap {

inline constexpr int Distance = 15;

struct Edges
{
    int left = 0, top = 0, right = 0, bottom = 0;

    static Edges of(const QRect &r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
    bool operator==(const Edges &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// What one drag carries from step to step: where the cursor holds the window, and whether the
// last step snapped it on each axis (a snapped window follows the cursor again, so it can leave).
struct Drag
{
    QPoint cursorOffset;
    bool stuckX = false;
    bool stuckY = false;
};

// The edge being dragged when a window is sized: 1 left, 2 right, 3 top, 4 top left,
// 5 top right, 6 bottom, 7 bottom left, 8 bottom right.
enum class SizeEdge { Left = 1, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };

// The start of a drag: the cursor's offset from the window's top left corner, nothing stuck.
Drag start(const Edges &window, QPoint cursor);

// One move step. `proposed` is where the drag would put the window; targets are the work
// area first, then the other windows. Among the candidate edges the strictly closest wins, the
// earlier one at equal distance; the size is kept.
Edges moveStep(Edges proposed, QPoint cursor, const QList<Edges> &targets, Drag &drag);

// One size step: only the dragged edges move to a target edge; the opposite edges stay.
Edges sizeStep(Edges proposed, SizeEdge edge, const QList<Edges> &targets);

} // namespace Snap
