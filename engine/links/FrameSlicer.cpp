#include "engine/links/FrameSlicer.h"

#include "engine/protocol/Frame.h"

#include <QIODevice>
#include <QScopedValueRollback>

FrameSlicer::FrameSlicer(LogPane &pane, Deliver deliver, std::function<bool()> closing, QObject *parent)
    : QObject(parent), m_pane(pane), m_deliver(std::move(deliver)), m_closing(std::move(closing))
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &FrameSlicer::next);
    m_pane.setQueue(this);
}

// The pane outlives the link that owns the slicer.
FrameSlicer::~FrameSlicer() { m_pane.setQueue(nullptr); }

qsizetype FrameSlicer::sliceEnd(QStringView text, int frames)
{
    // Frames end where the translator ends them: at the first "##" from their start.
    qsizetype end = 0;
    for (int n = 0; n < frames; ++n) {
        const qsizetype at = text.indexOf(Frame::Terminator, end);
        if (at < 0)
            return text.size();
        end = at + Frame::Terminator.size();
    }
    return end;
}

void FrameSlicer::add(const QString &frames)
{
    if (frames.isEmpty())
        return;
    const bool first = !waiting() && !m_delivering;
    Entry *last = m_queue.empty() ? nullptr : &m_queue.back();
    if (last && last->lines.isEmpty() && !last->caret && !last->framesDone()) {
        // What was handed on already goes, so the entry holds only what still waits.
        if (last->next > last->frames.size() / 2) {
            last->frames.remove(0, last->next);
            last->next = 0;
        }
        last->frames += frames;
    } else {
        m_queue.emplace_back();
        m_queue.back().frames = frames;
    }
    m_waitingChars += frames.size();
    if (first)
        next();
    else if (!m_turn.isActive())
        m_turn.start();
}

bool FrameSlicer::admits()
{
    if (m_waitingChars <= MaxWaitingChars)
        return true;
    m_held = true;
    return false;
}

void FrameSlicer::readAgainIfLeft(const QIODevice &device)
{
    if (device.bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] {
            if (m_resume)
                m_resume();
        });
}

FrameSlicer::Entry &FrameSlicer::lineEntry()
{
    // Lines written during a slice with nothing behind it go right after the slice.
    if (m_queue.empty())
        m_queue.emplace_back();
    return m_queue.back();
}

bool FrameSlicer::queueText(const QString &text)
{
    if (m_writing || (!waiting() && !m_delivering))
        return false;
    lineEntry().lines += text;
    return true;
}

bool FrameSlicer::queueCaret()
{
    if (m_writing || (!waiting() && !m_delivering))
        return false;
    lineEntry().caret = true;
    return true;
}

void FrameSlicer::next()
{
    if (m_closing()) {
        dropFrames();
        return;
    }
    if (!waiting())
        return;
    // A slice that opens a dialog runs an event loop of its own: the next slice waits for it,
    // or lines would come out of order.
    if (m_delivering) {
        m_turn.start();
        return;
    }
    QString slice;
    Entry &front = m_queue.front();
    if (!front.framesDone()) {
        const QStringView rest = QStringView(front.frames).sliced(front.next);
        const qsizetype end = sliceEnd(rest, SliceFrames);
        slice = rest.first(end).toString();
        front.next += end;
        m_waitingChars -= end;
        if (front.framesDone()) {
            // A burst's text is given back as soon as its last slice is out.
            front.frames = QString();
            front.next = 0;
        }
    }
    if (!slice.isEmpty()) {
        Gathered pane(m_pane);
        {
            const QScopedValueRollback delivering(m_delivering, true);
            m_deliver(slice, pane);
        }
        const QScopedValueRollback writing(m_writing, true);
        pane.flush();
    }
    writeFinishedEntries();
    if (waiting())
        m_turn.start();
    if (m_held && m_waitingChars <= MaxWaitingChars) {
        m_held = false;
        if (m_resume)
            m_resume();
    }
}

void FrameSlicer::writeFinishedEntries()
{
    const QScopedValueRollback writing(m_writing, true);
    while (!m_queue.empty() && m_queue.front().framesDone()) {
        const Entry done = std::move(m_queue.front());
        m_queue.pop_front();
        if (!done.lines.isEmpty())
            m_pane.appendText(done.lines);
        if (done.caret)
            m_pane.moveCaretToEnd();
    }
}

void FrameSlicer::dropFrames()
{
    m_turn.stop();
    for (Entry &e : m_queue) {
        e.frames = QString();
        e.next = 0;
    }
    m_waitingChars = 0;
    m_held = false;
    writeFinishedEntries();
}

void FrameSlicer::Gathered::flush()
{
    if (!m_text.isEmpty())
        m_pane.appendText(m_text);
    if (m_caret)
        m_pane.moveCaretToEnd();
}
