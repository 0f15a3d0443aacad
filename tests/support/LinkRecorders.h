#pragma once

#include "engine/ports/CommandBox.h"
#include "engine/ports/FrameSink.h"
#include "engine/ports/LinkWindow.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/NoticeService.h"
#include "engine/ports/StatusBar.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

#include <functional>

// Recorders standing in for the main window and the translator in link tests.

class RecordingPane : public LogPane
{
public:
    explicit RecordingPane(QString name) : m_name(std::move(name)) {}
    const QString &paneName() const override { return m_name; }
    void appendText(const QString &t) override { text += t; }
    void moveCaretToEnd() override { ++caretMoves; }
    // The log lines without their time prefix ("12:00:00: x" gives "x").
    QStringList lines() const
    {
        QStringList out;
        const QStringList raw = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString &l : raw) {
            const int cut = l.indexOf(QStringLiteral(": "));
            out << (cut >= 0 && cut <= 20 && l.at(0).isDigit() ? l.mid(cut + 2) : l);
        }
        return out;
    }
    QString text;
    int caretMoves = 0;

private:
    QString m_name;
};

class RecordingSink : public FrameSink
{
public:
    void Traduci(QString &frames, LogPane &box) override
    {
        if (!firstArrival.isValid())
            firstArrival.start();
        received << frames;
        panes << box.paneName();
        frames.clear();
        if (onReceived)
            onReceived();
    }
    void TraduciEco(const QString &frame, LogPane &box) override
    {
        echoes << frame;
        echoPanes << box.paneName();
    }
    QStringList received, panes, echoes, echoPanes;
    QElapsedTimer firstArrival;
    // Runs after each received chunk (a test closes the program in the middle of a burst).
    std::function<void()> onReceived;
};

class RecordingStatusBar : public StatusBar
{
public:
    void setStatusText(const QString &t) override { texts << t; }
    QString statusText() const override { return texts.isEmpty() ? QString() : texts.last(); }
    QStringList texts;
};

class RecordingCommandBox : public CommandBox
{
public:
    void setBackgroundColour(int rgb) override { colours << rgb; }
    void restoreColourAfter(int ms) override { restores << ms; }
    QList<int> colours, restores;
};

class RecordingLinkWindow : public LinkWindow
{
public:
    void I_Icon(int picture) override { trayPictures << picture; }
    void showActivity() override { ++activity; }
    bool isPaneVisible(const LogPane &pane) const override { return pane.paneName() == visiblePane; }
    void markPaneUnread(const LogPane &pane) override { unread << pane.paneName(); }
    int monitorButtonImage() const override { return buttonImage; }
    void setMonitorButtonImage(int image) override { buttonImage = image; }

    QList<int> trayPictures;
    int activity = 0;
    QString visiblePane = QStringLiteral("Tlog");
    QStringList unread;
    int buttonImage = 2;  // the toolbar switched the monitor on before asking for it
};

class RecordingNotices : public NoticeService
{
public:
    struct Notice
    {
        QString text, detail;
        int durationMs, icon;
    };
    void MostraMessaggio(const QString &text, const QString &detail, int durationMs, int icon) override
    {
        shown.append({text, detail, durationMs, icon});
    }
    QList<Notice> shown;
};
