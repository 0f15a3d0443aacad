#pragma once

#include <QString>

// One of the two log panes of the main window as the engine writes to it.
class LogPane
{
public:
    virtual ~LogPane() = default;
    // "Tlog" (monitor) or "TlogC" (commands): the translator raises notices only for "Tlog".
    virtual const QString &paneName() const = 0;
    // Appends text (whole lines ending in CR LF); the pane keeps itself bounded.
    virtual void appendText(const QString &text) = 0;
    // Moves the caret to the end unless the find panel is open.
    virtual void moveCaretToEnd() = 0;
};
