#include "TrayIcon.h"

#include <QSystemTrayIcon>

TrayIcon::TrayIcon(const bool &closing, bool trayAvailable, QObject *parent)
    : QObject(parent), m_closing(closing), m_available(trayAvailable)
{
}

TrayIcon::~TrayIcon() { Remove(); }

void TrayIcon::I_Show()
{
    if (m_closing || !m_available || m_tray)
        return;
    m_tray = new QSystemTrayIcon(m_icon, this);
    m_tray->setToolTip(QString());
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit restoreRequested();
    });
    m_tray->show();
}

void TrayIcon::I_Icon(const QIcon &icon)
{
    m_icon = icon;
    if (m_tray)
        m_tray->setIcon(icon);
}

void TrayIcon::Remove()
{
    if (!m_tray)
        return;
    m_tray->hide();
    delete m_tray;
    m_tray = nullptr;
}

bool TrayIcon::isShown() const { return m_tray != nullptr; }
