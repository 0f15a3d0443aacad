#include "shell/main/ConsolePane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
const QChar CutMark(0x2026);
} // namespace

ConsolePane::ConsolePane(const QString &paneName, QWidget *parent)
    : QPlainTextEdit(parent), m_name(paneName)
{
    setObjectName(paneName);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void ConsolePane::writeText(const QString &text)
{
    if (text.isEmpty())
        return;
    // Every line end a writer may send (CR LF, CR, LF) becomes one block boundary, and each
    // line is cut to its bound before it goes in; the open last line counts what it holds.
    QString s;
    s.reserve(std::min<qsizetype>(text.size(), 2 * MaxLength) + 1);
    qsizetype sLength = 0; // as the bound counts it
    qsizetype lineLength = document()->lastBlock().length() - 1;
    const qsizetype n = text.size();
    for (qsizetype pos = 0;;) {
        qsizetype end = pos;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        if (!m_lineCut) {
            const qsizetype take = std::min(end - pos, std::max<qsizetype>(0, MaxLineLength - lineLength));
            s += QStringView(text).mid(pos, take);
            sLength += take;
            lineLength += take;
            if (take < end - pos) {
                s += CutMark;
                ++sLength;
                m_lineCut = true;
            }
        }
        if (end == n)
            break;
        s += QLatin1Char('\n');
        sLength += 2;
        lineLength = 0;
        m_lineCut = false;
        pos = end + 1;
        if (text[end] == QLatin1Char('\r') && pos < n && text[pos] == QLatin1Char('\n'))
            ++pos;
        if (sLength > 2 * MaxLength)
            sLength = dropLinesThatWouldGo(s);
    }
    if (s.isEmpty())
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(s);
    m_length += int(sLength);
    enforceBound();
    if (m_caretFollows)
        caretToEnd();
}

qsizetype ConsolePane::dropLinesThatWouldGo(QString &lines)
{
    // `lines` ends with a line end and holds more than the pane keeps: the bound would remove
    // everything in the pane and the first of these lines, so they are never laid out.
    qsizetype keep = lines.size();
    qsizetype kept = 0;
    while (keep > 0) {
        const qsizetype lineStart = keep < 2 ? 0 : lines.lastIndexOf(QLatin1Char('\n'), keep - 2) + 1;
        const qsizetype cost = keep - lineStart + 1;
        if (kept + cost > MaxLength)
            break;
        kept += cost;
        keep = lineStart;
    }
    lines.remove(0, keep);
    clear();
    return kept;
}

void ConsolePane::caretToEnd()
{
    if (!m_caretFollows)
        return;
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::End);
    setTextCursor(c);
    ensureCursorVisible();
}

void ConsolePane::enforceBound()
{
    if (m_length <= MaxLength)
        return;
    QTextDocument *doc = document();
    // Whole lines from the top, each costing its characters and its CR LF. The last block is
    // the text after the final line end, never a whole line, and alone it is always within the
    // bound, since no line is longer than MaxLineLength and its mark.
    int excess = m_length - MaxLength;
    int removed = 0;
    int lines = 0;
    QTextBlock b = doc->firstBlock();
    while (excess > 0 && b.isValid() && b.next().isValid()) {
        const int cost = b.length() - 1 + 2;
        excess -= cost;
        removed += cost;
        ++lines;
        b = b.next();
    }
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, lines);
    c.removeSelectedText();
    m_length -= removed;
}

QString ConsolePane::text() const
{
    QString out;
    out.reserve(m_length);
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) {
        out += b.text();
        if (b.next().isValid())
            out += QLatin1String("\r\n");
    }
    return out;
}

void ConsolePane::clear()
{
    QPlainTextEdit::clear();
    m_length = 0;
    m_lineCut = false;
}
