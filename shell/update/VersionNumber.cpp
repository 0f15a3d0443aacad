#include "shell/update/VersionNumber.h"

#include <QStringList>

namespace {

// The part's leading digits without leading zeros: compared by length, then digit by digit,
// so no part is ever too large.
QString digitsOf(const QString &part)
{
    int end = 0;
    while (end < part.size() && part.at(end).isDigit() && part.at(end).unicode() < 128)
        ++end;
    int start = 0;
    while (start < end && part.at(start) == QLatin1Char('0'))
        ++start;
    return part.mid(start, end - start);
}

int compareDigits(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

namespace VersionNumber {

int compare(const QString &a, const QString &b)
{
    const QStringList pa = a.trimmed().split(QLatin1Char('.'));
    const QStringList pb = b.trimmed().split(QLatin1Char('.'));
    for (int i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const int c = compareDigits(digitsOf(pa.value(i)), digitsOf(pb.value(i)));
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return 0;
}

int partCount(const QString &version) { return int(version.split(QLatin1Char('.')).size()); }

} // namespace VersionNumber
