#pragma once

#include "shell/services/SystemTray.h"

#include <memory>

class QSystemTrayIcon;

// The desktop's notification area, through QSystemTrayIcon.
class QtSystemTray : public SystemTray
{
public:
    QtSystemTray();
    ~QtSystemTray() override;

    void show(const QIcon &icon, std::function<void(int reason)> activated) override;
    void setIcon(const QIcon &icon) override;
    void hide() override;
    void showMessage(const QString &title, const QString &text, int ms) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
