#include "engine/protocol/LogLine.h"

#include <QDateTime>
#include <QLocale>

namespace LogLine {

namespace {
QString systemTimeFormat()
{
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}
} // namespace

QString timeText(const QTime &time)
{
    static const QString format = systemTimeFormat();
    return QLocale::system().toString(time, format);
}

QString dateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString at(const QString &text)
{
    return timeText(QTime::currentTime()) + QStringLiteral(": ") + text + Crlf;
}

QString withDate(const QString &text)
{
    const QDateTime now = QDateTime::currentDateTime();
    return dateText(now.date()) + QLatin1Char(' ') + timeText(now.time()) + QStringLiteral(": ") + text + Crlf;
}

} // namespace LogLine
