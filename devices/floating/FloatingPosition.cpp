#include "FloatingPosition.h"

#include "ProgramSettings.h"
#include "SettingKeys.h"
#include "WindowUtils.h"

#include <QWidget>
#include <cmath>

namespace FloatingPosition {

void restore(QWidget *window, const ProgramSettings &settings, const QString &section)
{
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    const int left = settings.readInt(section, SettingKeys::PosX, int(std::lround(window->x() * tx)));
    const int top = settings.readInt(section, SettingKeys::PosY, int(std::lround(window->y() * ty)));
    window->move(int(std::lround(left / tx)), int(std::lround(top / ty)));
}

void save(const QWidget *window, ProgramSettings &settings, const QString &section)
{
    settings.save(section, SettingKeys::PosX,
                  QString::number(std::lround(window->x() * WindowUtils::twipsPerPixelX())));
    settings.save(section, SettingKeys::PosY,
                  QString::number(std::lround(window->y() * WindowUtils::twipsPerPixelY())));
}

} // namespace FloatingPosition
