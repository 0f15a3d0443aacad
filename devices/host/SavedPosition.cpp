#include "devices/host/SavedPosition.h"

#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/services/WindowUtils.h"

#include <QWidget>
#include <cmath>

namespace SavedPosition {

void restore(QWidget *window, const ProgramSettings &settings, const QString &section)
{
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    const QPoint now = window->pos();
    const int leftTw = settings.readInt(section, SettingKeys::PosX, int(std::lround(now.x() * tx)));
    const int topTw = settings.readInt(section, SettingKeys::PosY, int(std::lround(now.y() * ty)));
    window->move(int(std::lround(leftTw / tx)), int(std::lround(topTw / ty)));
}

void save(const QWidget *window, ProgramSettings &settings, const QString &section)
{
    const QPoint at = window->pos();
    settings.save(section, SettingKeys::PosX, QString::number(std::lround(at.x() * WindowUtils::twipsPerPixelX())));
    settings.save(section, SettingKeys::PosY, QString::number(std::lround(at.y() * WindowUtils::twipsPerPixelY())));
}

} // namespace SavedPosition
