#include "ConsolePane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// Every line end a writer may send becomes one block boundary.
QString normalised(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
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

void ConsolePane::appendText(const QString &text)
{
    if (text.isEmpty())
        return;
    const QString s = normalised(text);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(s);
    m_length += int(s.size() + s.count(QLatin1Char('\n')));
    enforceBound();
    if (m_caretFollows)
        moveCaretToEnd();
}

void ConsolePane::moveCaretToEnd()
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
    // Whole lines first: each costs its characters and its CR LF. The last block is the text
    // after the final line end and is never a whole line.
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
    if (lines > 0)
        c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, lines);
    // A text left without any line end loses characters from its start instead.
    int chars = 0;
    if (excess > 0) {
        chars = excess;
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, chars);
    }
    c.removeSelectedText();
    m_length -= removed + chars;
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
}
