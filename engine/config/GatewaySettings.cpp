#include "engine/config/GatewaySettings.h"

#include "engine/model/LinkState.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"

#include <algorithm>

void LeggiImpostazioniGateway(const ProgramSettings &settings, LinkState &link)
{
    link.IpGateway = settings.read(SettingKeys::ServerIP);
    link.PortaGateway = settings.read(SettingKeys::ServerPORT);
    const QString password = settings.read(SettingKeys::Password).trimmed();
    bool ok = false;
    password.toUInt(&ok);  // within 32 bits
    const bool digitsOnly = !password.isEmpty()
        && std::all_of(password.begin(), password.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    link.PasswordGateway = ok && digitsOnly ? password : QString();
}
