#include "shell/update/VersionReply.h"

#include "engine/protocol/Windows1252.h"

#include <QStringList>

VersionReply VersionReply::parse(const QByteArray &bytes)
{
    VersionReply r;
    r.text = Windows1252::decode(bytes);
    r.html = r.text.startsWith(QLatin1Char('<'));
    const QStringList fields = r.text.split(QLatin1Char(','));
    r.hasComma = fields.size() > 1;
    r.newest = fields.at(0).trimmed();
    r.download = fields.value(1).trimmed();
    return r;
}
