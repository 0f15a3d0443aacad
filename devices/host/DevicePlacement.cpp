#include "devices/host/DevicePlacement.h"

#include "devices/probe/FrmProbe.h"
#include "engine/model/WindowNames.h"
#include "shell/notice/NoticeCorner.h"
#include "shell/services/WindowUtils.h"

#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cmath>

namespace DevicePlacement {

namespace {

constexpr int Gap = 8;
// What a window manager adds around a window with a title bar, at most.
constexpr QSize Decoration(8, 32);

struct Slot
{
    const QString &name;
    QSize size; // design pixels, the window alone
    bool framed;
};

// The meters stack together, the scenario panel under them, then the alarm, the auxiliary
// channels and the camera.
const std::array<Slot, 7> &slotTable()
{
    static const std::array<Slot, 7> table{{
        {WindowNames::FrmVolt, {127, 72}, false},
        {WindowNames::FrmAmp, {127, 72}, false},
        {WindowNames::FrmWatt, {127, 72}, false},
        {WindowNames::FrmScen, {224, 184}, false},
        {WindowNames::FrmAI, {232, 196}, true},
        {WindowNames::FrmAux, {203, 334}, true}, // wider for long channel names: placed by its own size
        {WindowNames::FrmCamera, {334, 335}, false},
    }};
    return table;
}

// Room growing away from the main window: rightward from `edge` (the slots' left side) or
// leftward (their right side), between lo and hi, from `top` down.
struct Region
{
    int edge;
    int direction;
    int lo;
    int hi;
    int top;

    // The slot nearest the main window, then nearest the top, that keeps a gap to every
    // obstacle. Slots line up at the region's edge or just past an obstacle, so windows
    // placed one after the other stack in columns and fill what room is left between them.
    std::optional<QPoint> take(QSize size, int bottom, const QList<QRect> &obstacles) const
    {
        QList<int> xs{direction > 0 ? edge : edge - size.width()};
        QList<int> ys{top};
        for (const QRect &o : obstacles) {
            xs << (direction > 0 ? o.x() + o.width() + Gap : o.x() - Gap - size.width());
            ys << o.y() + o.height() + Gap;
        }
        std::sort(xs.begin(), xs.end());
        if (direction < 0)
            std::reverse(xs.begin(), xs.end());
        std::sort(ys.begin(), ys.end());
        for (const int x : xs) {
            if (x < lo || x + size.width() > hi || (direction > 0 ? x < edge : x + size.width() > edge))
                continue;
            for (const int y : ys) {
                if (y < top)
                    continue;
                if (y + size.height() > bottom)
                    break;
                const QRect slot(QPoint(x, y), size);
                const bool clear = std::none_of(obstacles.cbegin(), obstacles.cend(), [&](const QRect &o) {
                    return o.adjusted(-Gap, -Gap, Gap, Gap).intersects(slot);
                });
                if (clear)
                    return slot.topLeft();
            }
        }
        return std::nullopt;
    }
};

QHash<QString, QPoint> layout(const Desk &desk, double scale, const QString &name, std::optional<QSize> ownSize)
{
    const QRect area = desk.workArea;
    const QRect main = desk.mainFrame;
    const int bottom = area.y() + area.height();
    const int mainRight = main.x() + main.width();
    const int areaRight = area.x() + area.width();
    // A window finds the first room: right of the main window, left of it, and last over its
    // panes below the toolbar.
    std::array<Region, 3> regions{{
        {mainRight + Gap, 1, mainRight, areaRight, area.y()},
        {main.x() - Gap, -1, area.x(), main.x(), area.y()},
        {std::min(mainRight, areaRight) - Gap, -1, std::max(main.x(), area.x()), std::min(mainRight, areaRight),
         std::max(desk.chromeBottom, area.y()) + Gap},
    }};

    QHash<QString, QPoint> places;
    QList<QRect> taken = desk.keepClear;
    int spare = 0;
    for (const Slot &s : slotTable()) {
        if (desk.open.contains(s.name))
            continue;
        const QSize size = s.name == name && ownSize ? *ownSize : slotSize(s.name, scale);
        std::optional<QPoint> at;
        for (const Region &region : regions) {
            if ((at = region.take(size, bottom, taken)))
                break;
        }
        if (at) {
            taken << QRect(*at, size);
        } else {
            // A screen too small for every slot: what is left cascades below the toolbar.
            at = QPoint(area.x() + spare * 24, std::max(area.y(), desk.chromeBottom) + spare * 24);
            ++spare;
        }
        places.insert(s.name, *at);
    }
    return places;
}

} // namespace

QList<QString> placedWindows()
{
    QList<QString> names;
    for (const Slot &s : slotTable())
        names << s.name;
    return names;
}

QSize slotSize(const QString &name, double scale)
{
    for (const Slot &s : slotTable()) {
        if (s.name != name)
            continue;
        const QSize size = s.framed ? s.size + Decoration : s.size;
        return QSize(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)));
    }
    return {};
}

std::optional<QPoint> defaultPlace(const QString &name, const Desk &desk, double scale, std::optional<QSize> size)
{
    const QHash<QString, QPoint> places = layout(desk, scale, name, size);
    const auto at = places.constFind(name);
    if (at == places.constEnd())
        return std::nullopt;
    return *at;
}

bool reachable(const QRect &window, const QList<QRect> &areas)
{
    // Enough of it to see and to take hold of: a strip of 32 by 16 pixels, or the whole of a
    // smaller window.
    const int needWidth = std::min(window.width(), 32);
    const int needHeight = std::min(window.height(), 16);
    return std::any_of(areas.cbegin(), areas.cend(), [&](const QRect &area) {
        const QRect seen = area.intersected(window);
        return !seen.isEmpty() && seen.width() >= needWidth && seen.height() >= needHeight;
    });
}

QList<QRect> workAreas()
{
    QList<QRect> areas;
    for (const QScreen *s : QGuiApplication::screens())
        areas << s->availableGeometry();
    return areas;
}

QSize ownSize(const QWidget *window, const QString &name, double scale, std::optional<QSize> frame)
{
    QSize own = window->size();
    if (!(window->windowFlags() & Qt::FramelessWindowHint))
        own += frame.value_or(Decoration);
    return own.expandedTo(slotSize(name, scale));
}

QRect probeStack(const QRect &notice, int zones)
{
    if (zones <= 0)
        return {};
    const int right = notice.x() + notice.width();
    return {right - FrmProbe::Width, notice.y() - zones * FrmProbe::Height, FrmProbe::Width, zones * FrmProbe::Height};
}

Desk deskOf(const QWidget *mainWindow, int probeZones, const QHash<QString, const QWidget *> &open)
{
    const QScreen *screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    Desk desk;
    desk.workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    desk.mainFrame = mainWindow->frameGeometry();
    desk.chromeBottom = desk.mainFrame.y();
    if (const auto *main = qobject_cast<const QMainWindow *>(mainWindow); main && main->centralWidget())
        desk.chromeBottom = main->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
    const QRect notice = NoticeCorner::defaultRect();
    desk.keepClear << notice;
    if (const QRect stack = probeStack(notice, probeZones); !stack.isEmpty())
        desk.keepClear << stack;
    for (auto it = open.cbegin(); it != open.cend(); ++it) {
        if (it.value() && it.value()->isVisible()) {
            desk.keepClear << it.value()->frameGeometry();
            desk.open << it.key();
        }
    }
    return desk;
}

void placeUnmoved(QWidget *window, const QString &name, const QWidget *mainWindow, int probeZones,
                  const QHash<QString, const QWidget *> &open)
{
    if (!window || !mainWindow || window->testAttribute(Qt::WA_Moved))
        return;
    const double scale = std::max(1.0, 15.0 / WindowUtils::twipsPerPixelX());
    const Desk desk = deskOf(mainWindow, probeZones, open);
    // The frame this window manager gave the main window, once it has given one.
    const QSize mainFrame = mainWindow->frameGeometry().size() - mainWindow->size();
    std::optional<QSize> frame;
    if (mainFrame.width() > 0 && mainFrame.height() > 0 && mainFrame.width() <= Decoration.width()
        && mainFrame.height() <= Decoration.height())
        frame = mainFrame;
    if (const auto place = defaultPlace(name, desk, scale, ownSize(window, name, scale, frame)))
        window->move(*place);
}

} // namespace DevicePlacement
