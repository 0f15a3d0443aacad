#include "engine/config/SettingKeys.h"

namespace SettingKeys {

QString whoKey(int group) { return QStringLiteral("Who") + QString::number(group); }
QString whoAKey(int group) { return QStringLiteral("WhoA") + QString::number(group); }
QString whoLKey(int group) { return QStringLiteral("WhoL") + QString::number(group); }
QString launchPathKey(int slot) { return QStringLiteral("path") + QString::number(slot); }
QString launchProgKey(int slot) { return QStringLiteral("prog") + QString::number(slot); }

} // namespace SettingKeys
