#pragma once

#include "engine/ports/LogPane.h"
#include "engine/translator/OutputError.h"

#include <QString>
#include <QStringList>

// A log pane in memory: what was appended, and whether the caret followed it.
class RecordingLogPane : public LogPane
{
public:
    explicit RecordingLogPane(const QString &name) : m_name(name) {}

    const QString &paneName() const override { return m_name; }
    void writeText(const QString &text) override
    {
        if (refuseNumber)
            throw OutputError(refuseNumber, QStringLiteral("pane refused"));
        m_text += text;
    }
    void caretToEnd() override
    {
        if (!findPanelOpen)
            caret = int(m_text.size());
    }

    const QString &text() const { return m_text; }
    // The lines written, without their CR LF.
    QStringList lines() const
    {
        QStringList l = m_text.split(QStringLiteral("\r\n"));
        l.removeLast();
        return l;
    }
    // The lines without their time prefix ("12:00:00: x" gives "x"), for writers that stamp
    // the clock's real time.
    QStringList untimedLines() const
    {
        QStringList out;
        const QStringList raw = m_text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString &l : raw) {
            const int cut = int(l.indexOf(QStringLiteral(": ")));
            out << (cut >= 0 && cut <= 20 && l.at(0).isDigit() ? l.mid(cut + 2) : l);
        }
        return out;
    }
    void clear()
    {
        m_text.clear();
        caret = 0;
    }

    bool findPanelOpen = false;
    int caret = 0;
    int refuseNumber = 0; // non-zero: appendText fails with this number

private:
    QString m_name;
    QString m_text;
};
