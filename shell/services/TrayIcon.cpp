#include "shell/services/TrayIcon.h"

#include "engine/config/ProgramIdentity.h"
#include "shell/services/QtSystemTray.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
std::unique_ptr<SystemTray> desktopUnless(SystemTray *given)
{
    return given ? nullptr : std::make_unique<QtSystemTray>();
}
} // namespace

TrayIcon::TrayIcon(const bool &closing, bool trayAvailable, SystemTray *platform, QObject *parent)
    : QObject(parent), m_closing(closing), m_available(trayAvailable), m_desktop(desktopUnless(platform)),
      m_platform(platform ? *platform : *m_desktop), m_tpop(new QTimer(this)), m_tclick(new QTimer(this))
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
    if (m_closing || !m_available || m_shown)
        return;
    m_shown = true;
    m_platform.show(m_icon, [this](int reason) { activated(reason); });
}

void TrayIcon::I_Icon(const QIcon &icon)
{
    // The links set the picture for every chunk they receive; mostly it is the one shown.
    if (icon.cacheKey() == m_icon.cacheKey())
        return;
    m_icon = icon;
    if (m_shown)
        m_platform.setIcon(icon);
}

void TrayIcon::Remove()
{
    m_tclick->stop();
    m_tpop->stop();
    m_balloonText.clear();
    m_balloonTitle.clear();
    if (!m_shown)
        return;
    m_shown = false;
    m_platform.hide();
}

bool TrayIcon::isShown() const { return m_shown; }

void TrayIcon::MostraBalloon(const QString &text, const QString &title)
{
    NascondiBalloon();
    m_balloonText = text;
    m_balloonTitle = title;
    if (m_shown)
        m_platform.showMessage(title, text, StatusBalloonMs);
}

void TrayIcon::NascondiBalloon()
{
    const bool up = !m_balloonText.isEmpty() || !m_balloonTitle.isEmpty();
    m_balloonText.clear();
    m_balloonTitle.clear();
    // An empty message takes the balloon up away.
    if (up && m_shown)
        m_platform.showMessage(QString(), QString(), 0);
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
