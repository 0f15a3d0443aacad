#pragma once

#include "engine/ports/CommandBox.h"
#include "engine/ports/FrameSink.h"
#include "engine/ports/LinkWindow.h"
#include "engine/ports/LogPane.h"
#include "support/RecordingLogPane.h"
#include "engine/ports/StatusBar.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

#include <functional>

// Recorders standing in for the main window and the translator in link tests; the panes
// are RecordingLogPane.

class RecordingSink : public FrameSink
{
public:
    void Traduci(QString &frames, LogPane &box) override
    {
        if (!firstArrival.isValid())
            firstArrival.start();
        received << frames;
        panes << box.paneName();
        if (writesLines) {
            for (const QString &frame : frames.split(QStringLiteral("##"), Qt::SkipEmptyParts))
                box.appendText(frame + QStringLiteral("##\r\n"));
        }
        frames.clear();
        if (onReceived)
            onReceived();
    }
    void TraduciEco(const QString &frame, LogPane &box) override
    {
        echoes << frame;
        echoPanes << box.paneName();
        if (writesLines)
            box.appendText(QStringLiteral("echo ") + frame + QStringLiteral("\r\n"));
    }
    QStringList received, panes, echoes, echoPanes;
    // Each received frame and each echo leaves a line in its pane, as the translator's do.
    bool writesLines = false;
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
