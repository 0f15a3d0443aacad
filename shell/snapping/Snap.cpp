#include "shell/snapping/Snap.h"

#include <cstdlib>
#include <initializer_list>

namespace Snap {

namespace {

// Side edges count only while the windows are level with each other (with the snap distance
// as slack), and top and bottom edges only while they are side by side.
bool levelWith(const Edges &r, const Edges &t) { return r.bottom + Distance > t.top && r.top - Distance < t.bottom; }
bool besideOf(const Edges &r, const Edges &t) { return r.right + Distance > t.left && r.left - Distance < t.right; }

// The closest target edge so far on one axis, measured from where the drag puts the window
// (not from an earlier snap), so the closest edge wins whatever the order of the targets.
struct Best
{
    int distance = Distance;
    int shift = 0;
    bool snapped = false;

    void offer(int edge, int target)
    {
        const int d = std::abs(edge - target);
        if (d >= distance)
            return;
        distance = d;
        shift = target - edge;
        snapped = true;
    }
};

// The best of the window's given side edges against the side edges of the targets level with it.
Best closestX(const Edges &r, std::initializer_list<int> edges, const QList<Edges> &targets)
{
    Best best;
    for (const Edges &t : targets)
        if (levelWith(r, t))
            for (const int edge : edges)
                for (const int target : {t.left, t.right})
                    best.offer(edge, target);
    return best;
}

// Likewise for top and bottom edges against the targets beside the window.
Best closestY(const Edges &r, std::initializer_list<int> edges, const QList<Edges> &targets)
{
    Best best;
    for (const Edges &t : targets)
        if (besideOf(r, t))
            for (const int edge : edges)
                for (const int target : {t.top, t.bottom})
                    best.offer(edge, target);
    return best;
}

void shiftX(Edges &r, int dx)
{
    r.left += dx;
    r.right += dx;
}

void shiftY(Edges &r, int dy)
{
    r.top += dy;
    r.bottom += dy;
}

} // namespace

Drag start(const Edges &window, QPoint cursor)
{
    return {QPoint(cursor.x() - window.left, cursor.y() - window.top), false, false};
}

Edges moveStep(Edges r, QPoint cursor, const QList<Edges> &targets, Drag &drag)
{
    if (drag.stuckX)
        shiftX(r, cursor.x() - drag.cursorOffset.x() - r.left);
    else
        drag.cursorOffset.setX(cursor.x() - r.left);
    if (drag.stuckY)
        shiftY(r, cursor.y() - drag.cursorOffset.y() - r.top);
    else
        drag.cursorOffset.setY(cursor.y() - r.top);

    const Best x = closestX(r, {r.left, r.right}, targets);
    shiftX(r, x.shift);
    const Best y = closestY(r, {r.top, r.bottom}, targets);
    shiftY(r, y.shift);
    drag.stuckX = x.snapped;
    drag.stuckY = y.snapped;
    return r;
}

Edges sizeStep(Edges r, SizeEdge edge, const QList<Edges> &targets)
{
    const bool leftEdge = edge == SizeEdge::Left || edge == SizeEdge::TopLeft || edge == SizeEdge::BottomLeft;
    const bool topEdge = edge == SizeEdge::Top || edge == SizeEdge::TopLeft || edge == SizeEdge::TopRight;
    int &vertical = leftEdge ? r.left : r.right;
    int &horizontal = topEdge ? r.top : r.bottom;
    vertical += closestX(r, {vertical}, targets).shift;
    horizontal += closestY(r, {horizontal}, targets).shift;
    return r;
}

} // namespace Snap
