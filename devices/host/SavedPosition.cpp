#include "devices/host/SavedPosition.h"

#include "devices/host/DevicePlacement.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/services/WindowUtils.h"

#include <QWidget>
#include <cmath>

namespace SavedPosition {

bool restore(QWidget *window, const ProgramSettings &settings, const QString &section)
{
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    const QPoint now = window->pos();
    if (settings.read(section, SettingKeys::PosX, QString()).isEmpty()
        && settings.read(section, SettingKeys::PosY, QString()).isEmpty())
        return false;
    const int leftTw = settings.readInt(section, SettingKeys::PosX, int(std::lround(now.x() * tx)));
    const int topTw = settings.readInt(section, SettingKeys::PosY, int(std::lround(now.y() * ty)));
    const QPoint at(int(std::lround(leftTw / tx)), int(std::lround(topTw / ty)));
    // A place on a screen no longer attached would open the window where nobody sees it.
    if (!DevicePlacement::reachable(QRect(at, window->size()), DevicePlacement::workAreas()))
        return false;
    window->move(at);
    return true;
}

void save(const QWidget *window, ProgramSettings &settings, const QString &section)
{
    const QPoint at = window->pos();
    settings.save(section, SettingKeys::PosX, QString::number(std::lround(at.x() * WindowUtils::twipsPerPixelX())));
    settings.save(section, SettingKeys::PosY, QString::number(std::lround(at.y() * WindowUtils::twipsPerPixelY())));
}

} // namespace SavedPosition
