#pragma once

#include "shell/services/SystemTray.h"

#include <QList>

// A notification area that records what the tray icon puts up, and clicks on the icon.
class RecordingTray : public SystemTray
{
public:
    struct Balloon
    {
        QString title;
        QString text;
        int ms;
    };

    void show(const QIcon &icon, std::function<void(int)> onActivated) override
    {
        shown = true;
        this->icon = icon;
        activated = std::move(onActivated);
    }
    void setIcon(const QIcon &icon) override { this->icon = icon; }
    void hide() override
    {
        shown = false;
        activated = nullptr;
    }
    void showMessage(const QString &title, const QString &text, int ms) override { balloons.append({title, text, ms}); }

    // The balloon up now: the last one shown, unless taken away since.
    QString balloonText() const { return balloons.isEmpty() ? QString() : balloons.constLast().text; }

    bool shown = false;
    QIcon icon;
    QList<Balloon> balloons;
    // A click as the desktop reports it (a QSystemTrayIcon::ActivationReason); empty while hidden.
    std::function<void(int)> activated;
};
