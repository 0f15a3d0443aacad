#include "LogLine.h"

#include <QDateTime>
#include <QLocale>

namespace LogLine {

QString at(const QString &text)
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(": ") + text + Crlf;
}

QString withDate(const QString &text)
{
    const QDateTime now = QDateTime::currentDateTime();
    return QLocale::system().toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + now.time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(": ") + text + Crlf;
}

} // namespace LogLine
