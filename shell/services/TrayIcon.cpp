#include "shell/services/TrayIcon.h"

#include "engine/config/ProgramIdentity.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

TrayIcon::TrayIcon(const bool &closing, bool trayAvailable, QObject *parent)
    : QObject(parent), m_closing(closing), m_available(trayAvailable), m_tpop(new QTimer(this)),
      m_tclick(new QTimer(this))
{
    m_tpop->setObjectName(QStringLiteral("Tpop"));
    m_tpop->setSingleShot(true);
    connect(m_tpop, &QTimer::timeout, this, &TrayIcon::NascondiBalloon);
    m_tclick->setObjectName(QStringLiteral("Tclick"));
    m_tclick->setSingleShot(true);
    connect(m_tclick, &QTimer::timeout, this, [this] { Form_MouseMove(LeftUp); });
}

TrayIcon::~TrayIcon() { Remove(); }

void TrayIcon::I_Show()
{
    if (m_closing || !m_available || m_tray)
        return;
    m_tray = new QSystemTrayIcon(m_icon, this);
    m_tray->setToolTip(QString());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { activated(int(reason)); });
    m_tray->show();
}

void TrayIcon::I_Icon(const QIcon &icon)
{
    // The links set the picture for every chunk they receive; mostly it is the one shown.
    if (icon.cacheKey() == m_icon.cacheKey())
        return;
    m_icon = icon;
    if (m_tray)
        m_tray->setIcon(icon);
}

void TrayIcon::Remove()
{
    m_tclick->stop();
    m_tpop->stop();
    m_balloonText.clear();
    m_balloonTitle.clear();
    if (!m_tray)
        return;
    m_tray->hide();
    delete m_tray;
    m_tray = nullptr;
}

bool TrayIcon::isShown() const { return m_tray != nullptr; }

void TrayIcon::MostraBalloon(const QString &text, const QString &title)
{
    NascondiBalloon();
    m_balloonText = text;
    m_balloonTitle = title;
    if (m_tray)
        m_tray->showMessage(title, text, QSystemTrayIcon::Information, StatusBalloonMs);
}

void TrayIcon::NascondiBalloon()
{
    const bool up = !m_balloonText.isEmpty() || !m_balloonTitle.isEmpty();
    m_balloonText.clear();
    m_balloonTitle.clear();
    // An empty message takes the balloon up away.
    if (up && m_tray)
        m_tray->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

void TrayIcon::MSG(const QString &text) { MostraBalloon(text, ProgramIdentity::TitoloApp); }

void TrayIcon::showStatus(const QString &text)
{
    MostraBalloon(text, ProgramIdentity::TitoloApp);
    m_tpop->start(StatusBalloonMs);
}

void TrayIcon::activated(int reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // The first click of a double click is withdrawn when the second one comes.
        m_tclick->start(QApplication::doubleClickInterval());
        break;
    case QSystemTrayIcon::DoubleClick:
        m_tclick->stop();
        Form_MouseMove(LeftDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        m_tclick->stop();
        Form_MouseMove(RightDown);
        break;
    default:
        break;
    }
}

void TrayIcon::Form_MouseMove(int message)
{
    switch (message) {
    case LeftUp:
        emit statusRequested();
        break;
    case LeftDoubleClick:
        NascondiBalloon();
        m_tpop->stop();
        emit restoreRequested();
        break;
    case RightDown:
        emit menuRequested();
        break;
    default:
        break;
    }
}
