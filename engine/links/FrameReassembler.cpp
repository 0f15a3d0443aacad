#include "engine/links/FrameReassembler.h"

#include "engine/protocol/Frame.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"

#include <QIODevice>

namespace {
void noteDropped(LogPane &pane, qsizetype characters)
{
    pane.appendText(LogLine::at(QString::number(characters)
                                + QStringLiteral(" characters received without \"##\" dropped")));
}
} // namespace

QString FrameReassembler::join(const QString &read, LogPane &pane)
{
    // Searched together: the "##" that ends the tail may begin with its last character.
    QString text = m_tail.isEmpty() ? read : m_tail + read;
    // A read that ends a long run without "##" keeps no more of it than a tail may hold,
    // however the transport cut the run into reads.
    const qsizetype firstEnd = text.indexOf(Frame::Terminator);
    if (firstEnd > MaxTail) {
        noteDropped(pane, firstEnd - MaxTail);
        text.remove(0, firstEnd - MaxTail);
    }
    const qsizetype end = text.lastIndexOf(Frame::Terminator);
    QString whole;
    if (end < 0) {
        m_tail = text;
    } else {
        // Copies, so that neither keeps the room of a large read once it has been handed on.
        whole = end + 2 == text.size() ? text : text.left(end + 2);
        m_tail = text.mid(end + 2);
    }
    if (m_tail.size() > MaxTail) {
        noteDropped(pane, m_tail.size());
        m_tail = QString();
    }
    return whole;
}

QString FrameReassembler::readFrom(QIODevice &device, LogPane &pane, bool *arrived)
{
    const QString read = QString::fromLatin1(device.readAll());
    if (arrived)
        *arrived = !read.isEmpty();
    return read.isEmpty() ? QString() : join(read, pane);
}

void FrameReassembler::keepBounded(QString &buffer, const QString &frames)
{
    buffer += frames;
    if (buffer.size() > MaxBuffer)
        buffer.remove(0, buffer.size() - MaxBuffer);
}
