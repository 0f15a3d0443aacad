#pragma once

#include <QString>

// The find bar's search over the monitor log, without the widgets: where the next match of
// `needle` lies, given the current selection. Letter case is ignored.
struct LogSearch
{
    enum class Outcome { Nothing, Found, NotFound };
    struct Result
    {
        Outcome outcome = Outcome::Nothing;
        int start = 0;  // selection start of the match (0-based)
        int length = 0;
    };

    // selectionStart/selectionLength: the pane's current selection (the caret when empty).
    // A search starts one character past the start of the current selection, so repeated
    // searches walk through the matches; a search that finds nothing past the selection
    // wraps once to the beginning.
    static Result find(const QString &log, int selectionStart, int selectionLength, const QString &needle);
};
