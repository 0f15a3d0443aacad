#include "shell/services/QtSystemTray.h"

#include <QSystemTrayIcon>

QtSystemTray::QtSystemTray() = default;

QtSystemTray::~QtSystemTray() = default;

void QtSystemTray::show(const QIcon &icon, std::function<void(int reason)> activated)
{
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(QString());
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                     [activated = std::move(activated)](QSystemTrayIcon::ActivationReason reason) {
                         activated(int(reason));
                     });
    m_icon->show();
}

void QtSystemTray::setIcon(const QIcon &icon)
{
    if (m_icon)
        m_icon->setIcon(icon);
}

void QtSystemTray::hide()
{
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
}

void QtSystemTray::showMessage(const QString &title, const QString &text, int ms)
{
    if (!m_icon)
        return;
    const bool takeAway = title.isEmpty() && text.isEmpty();
    m_icon->showMessage(title, text, takeAway ? QSystemTrayIcon::NoIcon : QSystemTrayIcon::Information, ms);
}
