#pragma once

#include "engine/ports/LogPane.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <functional>

// A gateway may hand over thousands of frames in one read (its backlog after a reconnect, the
// status of a large installation). Translated in one go they would hold the window's thread
// for seconds, so a link hands them on a slice at a time: one slice per turn of the event
// loop, the rest kept here in order for the next turns. A slice holds whole frames only.
class FrameSlicer : public QObject
{
public:
    // Frames per slice: small enough that the window and the display client are answered between
    // slices, large enough that the cost of each turn (the pane's append, a repaint) stays small.
    static constexpr int SliceFrames = 128;

    // `deliver` gets each slice with the pane the slice's lines are gathered for; `closing`
    // ends the work at once, dropping what waits.
    using Deliver = std::function<void(QString &slice, LogPane &pane)>;
    FrameSlicer(LogPane &pane, Deliver deliver, std::function<bool()> closing, QObject *parent = nullptr);

    // Whole frames, as the reassembler gives them. The first slice goes on at once when
    // nothing waits before it; the rest follows on later turns.
    void add(const QString &frames);
    // A new connection starts with nothing waiting.
    void clear();
    bool waiting() const { return m_next < m_pending.size(); }

    // Where the first `frames` frames of `text` end (just past their "##"); the whole text
    // when it holds no more.
    static qsizetype sliceEnd(QStringView text, int frames);

private:
    // The pane as the translator writes to it during one slice: the slice's lines go into the
    // real pane in one append, and the caret moves once.
    class Gathered : public LogPane
    {
    public:
        explicit Gathered(LogPane &pane) : m_pane(pane) {}
        const QString &paneName() const override { return m_pane.paneName(); }
        void appendText(const QString &text) override { m_text += text; }
        void moveCaretToEnd() override { m_caret = true; }
        void flush();

    private:
        LogPane &m_pane;
        QString m_text;
        bool m_caret = false;
    };

    void next();

    LogPane &m_pane;
    Deliver m_deliver;
    std::function<bool()> m_closing;
    QString m_pending;
    qsizetype m_next = 0; // where the next slice starts in m_pending
    QTimer m_turn;
    bool m_delivering = false;
};
