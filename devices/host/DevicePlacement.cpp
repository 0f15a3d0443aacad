#include "devices/host/DevicePlacement.h"

#include "engine/model/WindowNames.h"
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
        {WindowNames::FrmAux, {264, 334}, true}, // wider for long channel names
        {WindowNames::FrmCamera, {334, 335}, false},
    }};
    return table;
}

// A run of columns growing away from the main window: rightward from `edge` (the columns'
// left side) or leftward (their right side), between lo and hi. The column being filled
// has its next free line at `y`.
struct Region
{
    int edge;
    int direction;
    int lo;
    int hi;
    int top;
    int y = top;
    int columnWidth = 0;

    std::optional<QPoint> take(QSize size, int bottom)
    {
        for (;;) {
            const int x = direction > 0 ? edge : edge - size.width();
            if (x < lo || x + size.width() > hi)
                return std::nullopt;
            if (y + size.height() <= bottom) {
                const QPoint at(x, y);
                y += size.height() + Gap;
                columnWidth = std::max(columnWidth, size.width());
                return at;
            }
            if (columnWidth == 0)
                return std::nullopt; // taller than the work area
            edge += direction * (columnWidth + Gap);
            y = top;
            columnWidth = 0;
        }
    }
};

QHash<QString, QPoint> layout(const Desk &desk, double scale)
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
    int spare = 0;
    for (const Slot &s : slotTable()) {
        const QSize size = slotSize(s.name, scale);
        std::optional<QPoint> at;
        for (Region &region : regions) {
            // Columns that other windows filled are not reopened for a smaller one.
            Region trial = region;
            if ((at = trial.take(size, bottom))) {
                region = trial;
                break;
            }
        }
        // A screen too small for every slot: what is left cascades below the toolbar.
        if (!at) {
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

std::optional<QPoint> defaultPlace(const QString &name, const Desk &desk, double scale)
{
    const QHash<QString, QPoint> places = layout(desk, scale);
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

Desk deskOf(const QWidget *mainWindow)
{
    const QScreen *screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    Desk desk;
    desk.workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    desk.mainFrame = mainWindow->frameGeometry();
    desk.chromeBottom = desk.mainFrame.y();
    if (const auto *main = qobject_cast<const QMainWindow *>(mainWindow); main && main->centralWidget())
        desk.chromeBottom = main->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
    return desk;
}

void placeUnmoved(QWidget *window, const QString &name, const QWidget *mainWindow)
{
    if (!window || !mainWindow || window->testAttribute(Qt::WA_Moved))
        return;
    const double scale = std::max(1.0, 15.0 / WindowUtils::twipsPerPixelX());
    if (const auto place = defaultPlace(name, deskOf(mainWindow), scale))
        window->move(*place);
}

} // namespace DevicePlacement
