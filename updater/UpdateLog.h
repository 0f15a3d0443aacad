#pragma once

#include <QString>

// The text of the run's log as the user reads it. The window subclasses it to show each
// piece as it arrives; the text itself (CRLF line breaks) is what agg.log receives.
class UpdateLog
{
public:
    virtual ~UpdateLog() = default;

    void setText(const QString &text)
    {
        m_text = text;
        textReplaced(m_text);
    }
    void append(const QString &piece)
    {
        m_text += piece;
        textAppended(piece);
    }
    const QString &text() const { return m_text; }

protected:
    virtual void textReplaced(const QString &) {}
    virtual void textAppended(const QString &) {}

private:
    QString m_text;
};
