#include "engine/links/FrameReassembler.h"

#include "engine/protocol/Frame.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"

#include <QIODevice>

QString FrameReassembler::join(const QString &read, LogPane &pane)
{
    // Searched together: the "##" that ends the tail may begin with its last character.
    m_tail += read;
    const int end = m_tail.lastIndexOf(Frame::Terminator);
    QString whole;
    if (end >= 0) {
        whole = m_tail.left(end + 2);
        m_tail.remove(0, end + 2);
    }
    if (m_tail.size() > MaxTail) {
        pane.appendText(LogLine::at(QString::number(m_tail.size())
                                    + QStringLiteral(" characters received without \"##\" dropped")));
        m_tail.clear();
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
