#pragma once

#include <QString>

class QDate;
class QTime;

// Lines of the log panes: the time (or date and time), ": ", the text, CR LF.
// Times follow the system's time format with seconds and without the time zone, so the
// lines of every writer read alike.
namespace LogLine {
inline const QString Crlf = QStringLiteral("\r\n");
QString timeText(const QTime &time);
QString dateText(const QDate &date);
QString at(const QString &text);
QString withDate(const QString &text);
} // namespace LogLine
