#include "shell/main/LogSearch.h"

LogSearch::Result LogSearch::find(const QString &log, int selectionStart, int selectionLength,
                                  const QString &needle)
{
    if (needle.isEmpty() || log.size() < needle.size())
        return {};
    // A selection at the very start is a match found there: step past it, or a second
    // search would find that same match again and again.
    const bool fromBeginning = selectionStart <= 0 && selectionLength == 0;
    const int from = fromBeginning ? 0 : selectionStart + 1;
    int at = from < log.size() ? int(log.indexOf(needle, from, Qt::CaseInsensitive)) : -1;
    if (at < 0 && !fromBeginning)
        at = int(log.indexOf(needle, 0, Qt::CaseInsensitive));
    if (at < 0)
        return {Outcome::NotFound, 0, 0};
    return {Outcome::Found, at, int(needle.size())};
}
