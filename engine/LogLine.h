#pragma once

#include <QString>

// Lines of the log panes: the time (or date and time), ": ", the text, CR LF.
namespace LogLine {
inline const QString Crlf = QStringLiteral("\r\n");
QString at(const QString &text);
QString withDate(const QString &text);
} // namespace LogLine
