#include "engine/protocol/FrameRequests.h"

namespace Frame {

QString command(int who, const QString &what, const QString &where)
{
    return QLatin1Char('*') + QString::number(who) + QLatin1Char('*') + what + QLatin1Char('*') + where
        + QStringLiteral("##");
}

QString statusRequest(int who, const QString &where)
{
    QString frame = QStringLiteral("*#") + QString::number(who);
    if (!where.isEmpty())
        frame += QLatin1Char('*') + where;
    return frame + QStringLiteral("##");
}

QString dimensionRequest(int who, const QString &where, int dimension)
{
    return QStringLiteral("*#") + QString::number(who) + QLatin1Char('*') + where + QLatin1Char('*')
        + QString::number(dimension) + QStringLiteral("##");
}

QString probeZoneRequests(int zone)
{
    const QString where = QString::number(zone);
    QString batch;
    for (int dimension : {0, 12, 13, 19})
        batch += dimensionRequest(4, where, dimension);
    return batch;
}

QString cameraOn(const QString &address) { return command(6, QStringLiteral("0"), address + QLatin1Char('*')); }

QString cameraOff() { return command(6, QStringLiteral("9"), QStringLiteral("*")); }

QString cameraAdjustment(int parameter, bool up)
{
    return command(6, QString::number(10 + parameter) + (up ? QLatin1Char('0') : QLatin1Char('1')), QString());
}

} // namespace Frame
