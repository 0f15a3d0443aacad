#pragma once

#include "engine/ports/LogPane.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <deque>
#include <functional>

class QIODevice;

// A gateway may hand over thousands of frames in one read (its backlog after a reconnect, the
// status of a large installation). Translated in one go they would hold the window's thread
// for seconds, so a link hands them on a slice at a time: one slice per turn of the event
// loop, the rest kept here in order for the next turns. A slice holds whole frames only.
//
// The slicer is its pane's queue: a line written into the pane while received frames wait here
// (a sent frame's echo, the link's start and stop lines, anyone's) waits behind them. And it is
// bounded: past MaxWaitingChars the link reads no further, so the rest stays in the socket or
// the port and the gateway is slowed down by the transport instead of swelling the program.
class FrameSlicer : public QObject, public PaneQueue
{
public:
    // Frames per slice: small enough that the window and the display client are answered between
    // slices, large enough that the cost of each turn (the pane's append, a repaint) stays small.
    static constexpr int SliceFrames = 128;
    // About two seconds of translation through the program (50,000 frames of 20 characters).
    static constexpr qsizetype MaxWaitingChars = qsizetype(1) << 20;
    // What a link's socket or port may hold read and not yet taken: beyond it the transport
    // holds the rest. Small beside MaxWaitingChars, so the bound is overshot by little.
    static constexpr qint64 ReadBufferBytes = 64 * 1024;

    // `deliver` gets each slice with the pane the slice's lines are gathered for; `closing`
    // ends the work at once, dropping the frames that wait (the lines behind them are written).
    using Deliver = std::function<void(QString &slice, LogPane &pane)>;
    FrameSlicer(LogPane &pane, Deliver deliver, std::function<bool()> closing, QObject *parent = nullptr);
    ~FrameSlicer() override;

    // Whole frames, as the reassembler gives them. The first slice goes on at once when
    // nothing waits before it; the rest follows on later turns.
    void add(const QString &frames);
    bool waiting() const { return !m_queue.empty(); }
    qsizetype waitingChars() const { return m_waitingChars; }

    // Whether the link may read more now. After a no, `resume` is called on the turn that
    // brings what waits back under the bound; the link reads then.
    bool admits();
    void setResume(std::function<void()> resume) { m_resume = std::move(resume); }
    // A slice that ran an event loop of its own (a dialog) inside a read kept the device from
    // signalling what came meanwhile; with its buffer full it would signal nothing more. A read
    // that leaves bytes behind therefore has `resume` called on the next turn.
    void readAgainIfLeft(const QIODevice &device);

    bool queueText(const QString &text) override;
    bool queueCaret() override;

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
        void flush();

    protected:
        void writeText(const QString &text) override { m_text += text; }
        void caretToEnd() override { m_caret = true; }

    private:
        LogPane &m_pane;
        QString m_text;
        bool m_caret = false;
    };

    // Frames in arrival order, then what the pane's writers wrote after them.
    struct Entry
    {
        QString frames;
        qsizetype next = 0; // where the next slice starts in frames
        QString lines;
        bool caret = false;
        bool framesDone() const { return next >= frames.size(); }
    };

    void next();
    Entry &lineEntry();
    void writeFinishedEntries();
    void dropFrames();

    LogPane &m_pane;
    Deliver m_deliver;
    std::function<bool()> m_closing;
    std::function<void()> m_resume;
    std::deque<Entry> m_queue;
    qsizetype m_waitingChars = 0;
    QTimer m_turn;
    bool m_delivering = false;
    bool m_writing = false; // the slicer itself writes into the pane: nothing is queued
    bool m_held = false;    // a link was told to read no further
};
