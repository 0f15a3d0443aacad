#include "engine/links/FrameSlicer.h"

#include "engine/protocol/Frame.h"

FrameSlicer::FrameSlicer(LogPane &pane, Deliver deliver, std::function<bool()> closing, QObject *parent)
    : QObject(parent), m_pane(pane), m_deliver(std::move(deliver)), m_closing(std::move(closing))
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &FrameSlicer::next);
}

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
    if (!waiting()) {
        m_pending = frames;
        m_next = 0;
    } else {
        // What was handed on already goes, so the buffer holds only what still waits.
        if (m_next > m_pending.size() / 2) {
            m_pending.remove(0, m_next);
            m_next = 0;
        }
        m_pending += frames;
    }
    if (first)
        next();
    else if (!m_turn.isActive())
        m_turn.start();
}

void FrameSlicer::clear()
{
    m_turn.stop();
    m_pending.clear();
    m_next = 0;
}

void FrameSlicer::next()
{
    if (m_closing()) {
        clear();
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
    const QStringView rest = QStringView(m_pending).sliced(m_next);
    const qsizetype end = sliceEnd(rest, SliceFrames);
    QString slice = rest.first(end).toString();
    m_next += end;
    if (!waiting())
        clear();
    else
        m_turn.start();

    struct Delivering
    {
        bool &flag;
        explicit Delivering(bool &f) : flag(f) { flag = true; }
        ~Delivering() { flag = false; }
    };
    Gathered pane(m_pane);
    {
        const Delivering during(m_delivering);
        m_deliver(slice, pane);
    }
    pane.flush();
}

void FrameSlicer::Gathered::flush()
{
    if (!m_text.isEmpty())
        m_pane.appendText(m_text);
    if (m_caret)
        m_pane.moveCaretToEnd();
}
