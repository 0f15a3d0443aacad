#pragma once

#include <QIcon>
#include <QObject>

class QSystemTrayIcon;

// The program's icon in the notification area (its menu and balloons come later). Nothing is
// added while the program is closing, nor where the platform has no tray.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(const bool &closing, bool trayAvailable, QObject *parent = nullptr);
    ~TrayIcon() override;

    void I_Show();
    void I_Icon(const QIcon &icon);
    void Remove();
    bool isShown() const;
    QIcon currentIcon() const { return m_icon; }

signals:
    // A click on the icon: until the tray has its own menu, this is how a hidden window
    // comes back.
    void restoreRequested();

private:
    const bool &m_closing;
    bool m_available;
    QIcon m_icon;
    QSystemTrayIcon *m_tray = nullptr;
};
