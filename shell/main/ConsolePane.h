#pragma once

#include "engine/ports/LogPane.h"

#include <QPlainTextEdit>

// One log pane of the main window (monitor "Tlog" or commands "TlogC").
//
// Lines are kept one per block, without their CR LF; the length the bound applies to counts
// every line end as the two characters the writers send, so the bound is the one a user of
// the saved file sees. Appending never rebuilds the text: it inserts at the end and, when the
// pane grows past the bound, removes whole lines from the top in one edit.
//
// A line longer than MaxLineLength keeps its first MaxLineLength characters and a "…" mark;
// the rest of it is dropped as it arrives. So one line never takes more than a quarter of the
// pane, the lines before it stay, and a line of any length costs time in proportion to it.
class ConsolePane : public QPlainTextEdit, public LogPane
{
    Q_OBJECT

public:
    static constexpr int MaxLength = 10000;
    static constexpr int MaxLineLength = MaxLength / 4;

    ConsolePane(const QString &paneName, QWidget *parent = nullptr);

    const QString &paneName() const override { return m_name; }

    // The text as the writers wrote it, line ends as CR LF.
    QString text() const;
    int length() const { return m_length; }
    void clear();

    // While the find bar is open the caret stays where the search left it.
    void setCaretFollowsText(bool follows) { m_caretFollows = follows; }

protected:
    void writeText(const QString &text) override;
    void caretToEnd() override;

private:
    void enforceBound();
    qsizetype dropLinesThatWouldGo(QString &lines);

    QString m_name;
    int m_length = 0;
    bool m_lineCut = false; // the last line got its mark: what follows of it is dropped
    bool m_caretFollows = true;
};
