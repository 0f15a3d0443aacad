#pragma once

#include <QIcon>
#include <QString>

#include <functional>

// The desktop's notification area as the tray icon drives it. The program runs on the
// desktop's own (QtSystemTray); a test hands in a recorder and sees what the user would.
class SystemTray
{
public:
    virtual ~SystemTray() = default;

    // Puts the icon up; `activated` is told each QSystemTrayIcon::ActivationReason.
    virtual void show(const QIcon &icon, std::function<void(int reason)> activated) = 0;
    virtual void setIcon(const QIcon &icon) = 0;
    virtual void hide() = 0;
    // A balloon on the icon for `ms`; an empty title and text take the one up away.
    virtual void showMessage(const QString &title, const QString &text, int ms) = 0;
};
