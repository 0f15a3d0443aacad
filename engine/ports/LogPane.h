#pragma once

#include <QString>

// What holds a pane's received frames until they are translated (FrameSlicer): a line written
// into the pane meanwhile waits behind them, so the pane keeps the order things happened in.
class PaneQueue
{
public:
    virtual ~PaneQueue() = default;
    // True when the text waits its turn; false: the pane writes it now.
    virtual bool queueText(const QString &text) = 0;
    virtual bool queueCaret() = 0;
};

// One of the two log panes of the main window as the engine writes to it.
class LogPane
{
public:
    virtual ~LogPane() = default;
    // "Tlog" (monitor) or "TlogC" (commands): the translator raises notices only for "Tlog".
    virtual const QString &paneName() const = 0;
    // Appends text (whole lines ending in CR LF); the pane keeps itself bounded. While received
    // frames wait to be translated into the pane, the text takes its place behind them.
    void appendText(const QString &text)
    {
        if (!m_queue || !m_queue->queueText(text))
            writeText(text);
    }
    // Moves the caret to the end unless the find panel is open; in its turn, as appendText.
    void moveCaretToEnd()
    {
        if (!m_queue || !m_queue->queueCaret())
            caretToEnd();
    }
    // The queue of the link whose received frames go into this pane; null: none.
    void setQueue(PaneQueue *queue) { m_queue = queue; }

protected:
    virtual void writeText(const QString &text) = 0;
    virtual void caretToEnd() = 0;

private:
    PaneQueue *m_queue = nullptr;
};
