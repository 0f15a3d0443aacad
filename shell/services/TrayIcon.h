#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class SystemTray;
class QTimer;

// The program's icon in the notification area, its balloons and what the user's clicks on it
// mean. Nothing is added while the program is closing, nor where the platform has no tray.
//
// A click shows the status balloon only once the double-click interval has passed without a
// second click ("Tclick"), so a double click restores the window and shows no balloon.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    // The icon's notifications, by the numbers of the mouse messages they stand for.
    enum Notification { LeftUp = 514, LeftDoubleClick = 515, RightDown = 516 };
    static constexpr int StatusBalloonMs = 10000;

    // `platform`: the notification area; null: the desktop's.
    TrayIcon(const bool &closing, bool trayAvailable, SystemTray *platform = nullptr, QObject *parent = nullptr);
    ~TrayIcon() override;

    void I_Show();
    void I_Icon(const QIcon &icon);
    void Remove();
    bool isShown() const;

    // A balloon on the icon; a new one replaces the one up.
    void MostraBalloon(const QString &text, const QString &title);
    void NascondiBalloon();
    // The update check's notice.
    void MSG(const QString &text);
    // The status balloon, taken away after 10 seconds ("Tpop").
    void showStatus(const QString &text);
    // The balloon up now (empty when none).
    QString balloonText() const { return m_balloonText; }
    QString balloonTitle() const { return m_balloonTitle; }

    // What the platform reports, as QSystemTrayIcon::ActivationReason: Trigger (a click),
    // DoubleClick, Context.
    void activated(int reason);
    // A notification once the click rule has sorted it out.
    void Form_MouseMove(int message);

    QTimer *Tpop() const { return m_tpop; }
    QTimer *Tclick() const { return m_tclick; }

signals:
    void statusRequested();
    void restoreRequested();
    void menuRequested();

private:
    const bool &m_closing;
    bool m_available;
    QIcon m_icon;
    std::unique_ptr<SystemTray> m_desktop;
    SystemTray &m_platform;
    bool m_shown = false;
    QTimer *m_tpop;
    QTimer *m_tclick;
    QString m_balloonText;
    QString m_balloonTitle;
};
