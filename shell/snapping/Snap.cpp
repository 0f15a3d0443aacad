#include "Snap.h"

#include <cstdlib>

namespace Snap {

namespace {

// Side edges count only while the windows are level with each other (with the snap distance
// as slack), and top and bottom edges only while they are side by side.
bool levelWith(const Edges &r, const Edges &t) { return r.bottom + Distance > t.top && r.top - Distance < t.bottom; }
bool besideOf(const Edges &r, const Edges &t) { return r.right + Distance > t.left && r.left - Distance < t.right; }

// The closest target edge so far on one axis: the shift that lines the window up with it.
struct Best
{
    int distance = Distance;
    bool snapped = false;

    // True when `edge` to `target` beats every earlier candidate.
    bool offer(int edge, int target)
    {
        const int d = std::abs(edge - target);
        if (d >= distance)
            return false;
        distance = d;
        snapped = true;
        return true;
    }
};

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

    Best x, y;
    for (const Edges &t : targets) {
        if (levelWith(r, t)) {
            for (const int target : {t.left, t.right}) {
                if (x.offer(r.left, target))
                    shiftX(r, target - r.left);
            }
            for (const int target : {t.left, t.right}) {
                if (x.offer(r.right, target))
                    shiftX(r, target - r.right);
            }
        }
        if (besideOf(r, t)) {
            for (const int target : {t.top, t.bottom}) {
                if (y.offer(r.top, target))
                    shiftY(r, target - r.top);
            }
            for (const int target : {t.top, t.bottom}) {
                if (y.offer(r.bottom, target))
                    shiftY(r, target - r.bottom);
            }
        }
    }
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
    Best x, y;
    for (const Edges &t : targets) {
        if (levelWith(r, t)) {
            for (const int target : {t.left, t.right}) {
                if (x.offer(vertical, target))
                    vertical = target;
            }
        }
        if (besideOf(r, t)) {
            for (const int target : {t.top, t.bottom}) {
                if (y.offer(horizontal, target))
                    horizontal = target;
            }
        }
    }
    return r;
}

} // namespace Snap
