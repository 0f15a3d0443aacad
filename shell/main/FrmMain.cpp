#include "FrmMain.h"

#include "CommandBoxWidget.h"
#include "ConsoleArea.h"
#include "ConsolePane.h"
#include "ConversionError.h"
#include "DeviceWindows.h"
#include "EngineState.h"
#include "FrameRequests.h"
#include "LanguageLoader.h"
#include "LinkWait.h"
#include "LogLine.h"
#include "MessageBoxService.h"
#include "NumberConversions.h"
#include "ProgramIdentity.h"
#include "ProgramSettings.h"
#include "SettingKeys.h"
#include "ShellEngine.h"
#include "ShellResources.h"
#include "SingleInstance.h"
#include "StartupSettings.h"
#include "TopLevelWindows.h"
#include "TrayIcon.h"
#include "VbColor.h"
#include "WindowNames.h"
#include "WindowUtils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include <cmath>

namespace TB = ToolbarButtons;
namespace W = WindowNames;
using Entry = MainMenus::Entry;

namespace {

constexpr int ProbeWaitMs = 15000;

// A failure of the start-up sequence, with the number its message shows.
int errorNumber(const std::exception &e)
{
    return dynamic_cast<const ConversionError *>(&e) ? 13 : 5;
}

QString failureText(const std::exception &e)
{
    return QString::number(errorNumber(e)) + QStringLiteral(" - ") + QString::fromLocal8Bit(e.what());
}

QTimer *namedTimer(QObject *parent, const char *name)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    return t;
}

} // namespace

FrmMain::FrmMain(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FileDialogService &files,
                 Options options, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_settings(settings),
      m_messages(messages),
      m_files(files),
      m_options(std::move(options)),
      m_noWindows(std::make_unique<NoDeviceWindows>()),
      m_windows(m_noWindows.get())
{
    setObjectName(W::FrmMain);
    ShellResources::init();
    PicSt = {ShellResources::icon(QStringLiteral("tray")), ShellResources::icon(QStringLiteral("tray-active")),
             ShellResources::icon(QStringLiteral("tray-off"))};
    setWindowIcon(PicSt[0]);
    m_images = ImageList::builtIn();

    m_tmon = namedTimer(this, "Tmon");
    m_tmon->setSingleShot(true);
    connect(m_tmon, &QTimer::timeout, this, &FrmMain::Tmon_Timer);
    m_tclose = namedTimer(this, "Tclose");
    connect(m_tclose, &QTimer::timeout, this, &FrmMain::Tclose_Timer);
    m_ttray = namedTimer(this, "Ttray");
    m_ttray->setSingleShot(true);
    m_ttray->setInterval(500);
    connect(m_ttray, &QTimer::timeout, this, [this] {
        I_Icon(m_state.link.IconaTray);
        m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status")).pixmap(16, 16));
    });

    m_menus = new MainMenus(*this);
    connect(m_menus, &MainMenus::buttonClicked, this, &FrmMain::barra_ButtonClick);
    connect(m_menus, &MainMenus::buttonMenuClicked, this, &FrmMain::barra_ButtonMenuClick);
    connect(m_menus, &MainMenus::saveChosen, this, &FrmMain::SalvaLog);
    connect(m_menus, &MainMenus::exitChosen, this, &FrmMain::requestUnload);
    connect(m_menus, &MainMenus::findChosen, this, &FrmMain::mFind_Click);
    connect(m_menus, &MainMenus::languageChosen, this, &FrmMain::mSetLingua_Click);
    connect(m_menus, &MainMenus::helpChosen, this, &FrmMain::mHelp_Click);
    connect(m_menus, &MainMenus::meterChosen, this, &FrmMain::toggleMeter);
    connect(m_menus, &MainMenus::alarmChosen, this, &FrmMain::Command1_Click);
    connect(m_menus, &MainMenus::windowChosen, this,
            [this](const QString &name, bool modal) { m_windows->show(name, modal); });

    m_console = new ConsoleArea(m_state.lang, m_messages, this);
    connect(m_console, &ConsoleArea::sendRequested, this, &FrmMain::Isend_Click);
    connect(m_console, &ConsoleArea::findClosed, m_menus, [this] { m_menus->tickFind(false); });
    setCentralWidget(m_console);
    buildStatusBar();
    resize(780, 540);
}

FrmMain::~FrmMain()
{
    for (auto &w : m_shared.FinestreSonda)
        delete w.data();
}

void FrmMain::buildStatusBar()
{
    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("StBarPanel1"));
    m_panel2 = new QLabel(this);
    m_panel2->setObjectName(QStringLiteral("StBarPanel2"));
    m_lchum = new QLabel(QStringLiteral("\u25CF"), this);
    m_lchum->setObjectName(QStringLiteral("Lchum"));
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->addPermanentWidget(m_lchum);
    statusBar()->addPermanentWidget(m_panel2);

    m_imageCombo = new QComboBox(this);
    m_imageCombo->setObjectName(QStringLiteral("ImageCombo1"));
    m_imageCombo->hide();
}

void FrmMain::setDeviceWindows(DeviceWindows *windows)
{
    m_windows = windows ? windows : m_noWindows.get();
    m_menus->enableFor(*m_windows);
}

ConsolePane &FrmMain::Tlog() { return m_console->Tlog(); }
ConsolePane &FrmMain::TlogC() { return m_console->TlogC(); }
CommandBoxWidget &FrmMain::Tcmd() { return m_console->Tcmd(); }

bool FrmMain::FormAperto(const QString &caption, const QString &name) const
{
    return WindowRegistry::FormAperto(TopLevelWindows::loaded(), caption, name);
}

// ---------------------------------------------------------------------------------------------
// Start-up

bool FrmMain::trayAvailable() const
{
    return m_options.trayAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void FrmMain::Main()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize px = screen ? screen->geometry().size() : QSize(1024, 768);
    StartupSettings::readNoticePosition(m_settings, m_shared, int(std::lround(px.width() * WindowUtils::twipsPerPixelX())),
                                        int(std::lround(px.height() * WindowUtils::twipsPerPixelY())),
                                        WindowUtils::AltezzaTaskbar());
    const bool hidden = m_settings.readInt(SettingKeys::Minimized) == 1;
    Form_Load();
    if (m_chiusuraAvviata || m_ended)
        return;
    // Without a tray icon (no tray, or the start-up stopped before it appeared) a hidden
    // window could never be brought back.
    if (!hidden || !m_tray || !m_tray->isShown())
        show();
}

void FrmMain::Form_Load()
{
    if (!loadSequence())
        return;
    loadCharacterStage();
    m_stage = QStringLiteral("load voice");
}

bool FrmMain::loadSequence()
{
    try {
        m_stage = QStringLiteral("get winpath");
        m_shared.DirWindows = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                  .filePath(QStringLiteral("characters"));
        m_state.live.VoltValue = QStringLiteral("0");
        m_state.live.AmpValue = QStringLiteral("0");
        m_state.live.WattValue = 0;
        m_tray = std::make_unique<TrayIcon>(m_state.InChiusura, trayAvailable());
        connect(m_tray.get(), &TrayIcon::restoreRequested, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            show();
            raise();
            activateWindow();
        });
        m_shared.VersioneCorrente = QStringLiteral(OMBRIX_VERSION "B5");
        setWindowTitle(QStringLiteral("Tarn  V.") + m_shared.VersioneCorrente);

        m_instance = std::make_unique<SingleInstance>(m_options.lockFile);
        if (!m_instance->tryLock()) {
            m_secondInstance = true;
            setWindowTitle(QString());
            requestUnload();
            return false;
        }

        m_stage = QStringLiteral("initializing");
        readSettingsStage();

        m_stage = QStringLiteral("read language");
        m_menus->fillLanguageMenu(LanguageLoader::availableLanguages(m_state.programFolder), m_state.lang.Lingua);
        if (m_engine)
            m_engine->CaricaLingua(m_state.lang.Lingua);
        applyLanguage();
        // The command link opens on the first send; the port must already be a number.
        NumberConversions::wholeNumber(m_state.link.PortaGateway);

        m_stage = QStringLiteral("settiing chumby");
        QPalette chum = m_lchum->palette();
        chum.setColor(QPalette::WindowText, VbColor::toQColor(0xC0C0C0));
        m_lchum->setPalette(chum);

        iconStage();

        m_stage = QStringLiteral("load conf");
        if (!m_state.model.ConfCaricata && !(m_engine && m_engine->CaricaConf())) {
            requestUnload();
            return false;
        }

        m_stage = QStringLiteral("set icons 2");
        if (m_settings.readInt(SettingKeys::Monitor) == 1) {
            m_tmon->setInterval(1000);
            m_tmon->start();
            setMonitorButtonImage(2);
            Tlog().appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStart"))) + LogLine::Crlf);
        } else {
            setStatusText(m_state.lang.t(QStringLiteral("Stop")));
        }

        m_stage = QStringLiteral("menu f420");
        m_menus->fillScenarioDropDown(m_state.model);

        if (m_settings.readInt(SettingKeys::StartChk) == 1 && startUpdateCheck)
            startUpdateCheck();
    } catch (const std::exception &e) {
        m_messages.message(failureText(e), m_stage, MessageBoxService::Icon::Critical);
        return false;
    }
    return true;
}

void FrmMain::readSettingsStage()
{
    m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status")).pixmap(16, 16));
    StartupSettings::read(m_settings, m_state, m_shared);
    const StartupSettings::ConsoleColours c = StartupSettings::readConsoleColours(m_settings);
    ConsoleArea::setPaneColours(Tlog(), c.fore, c.back);
    ConsoleArea::setPaneColours(TlogC(), c.foreC, c.backC);
    Tcmd().setText(m_settings.read(SettingKeys::RecentCmd));
}

void FrmMain::iconStage()
{
    m_stage = QStringLiteral("get icons");
    m_iconLibrary.requestedSize = 32;
    m_iconLibrary.requestedDepth = 24;
    // An unreadable library leaves the built-in pictures, and the combo lists those.
    if (m_iconLibrary.load(QDir(m_state.programFolder).filePath(QStringLiteral("ico.icl")), m_images)
        || m_imageCombo->count() == 0) {
        m_imageCombo->clear();
        for (int i = 1; i <= m_images.count(); ++i)
            m_imageCombo->addItem(m_images.icon(i), QStringLiteral("icon ") + m_images.key(i));
    }

    m_state.link.IconaTray = 0;
    // The picture first: a tray icon shown without one draws an empty slot and warns.
    I_Icon(m_state.link.IconaTray);
    m_tray->I_Show();

    static const std::array<std::pair<int, int>, 8> buttonImages{{{TB::Monitor, 1},
                                                                  {TB::Save, 3},
                                                                  {TB::Aux, 5},
                                                                  {TB::Probe, 22},
                                                                  {TB::Camera, 23},
                                                                  {TB::Meters, 24},
                                                                  {TB::Scenarios, 25},
                                                                  {TB::Options, 6}}};
    for (const auto &[b, image] : buttonImages) {
        m_stage = QStringLiteral("set icons ") + QString::number(image);
        setButtonImage(b, image);
    }
    m_monitorImage = 1;
}

void FrmMain::loadCharacterStage()
{
    m_stage = QStringLiteral("load agents");
    m_shared.OpzHlet = m_settings.read(SettingKeys::Hlet);
    const QString agent = m_settings.read(SettingKeys::Agent);
    if (agent == QLatin1String("0"))
        return;
    m_agentCaricato = true;
    bool loaded = false;
    try {
        loaded = loadCharacter && loadCharacter(agent);
    } catch (const std::exception &) {
        loaded = false;
    }
    if (!loaded) {
        // The next start tries the empty name again and fails the same way, silently.
        m_settings.save(SettingKeys::Agent, QString());
        m_agentCaricato = false;
    }
}

void FrmMain::applyLanguage()
{
    m_menus->applyLanguage(m_state.lang);
    m_console->applyLanguage();
    setStatusText(QString());
}

QMenu *FrmMain::CreaMenuScenari(QMenu *menu, const QString &caption, QAction *before)
{
    return MainMenus::CreaMenuScenari(menu, caption, m_state.model, before);
}

void FrmMain::setButtonImage(int button, int image) { m_menus->setButtonImage(button, image, m_images); }

void FrmMain::setMonitorButtonImage(int image)
{
    m_monitorImage = image;
    setButtonImage(TB::Monitor, image);
    // A monitor wait gives up when the button shows "off"; let it see that now.
    if (image == 1)
        LinkWait::wakeAll();
}

void FrmMain::Tmon_Timer()
{
    m_tmon->stop();
    setStatusText(m_state.lang.t(QStringLiteral("WaitCon")));
    if (m_engine)
        m_engine->ApriGateway();
}

// ---------------------------------------------------------------------------------------------
// Closing

void FrmMain::requestUnload()
{
    if (m_ended)
        return;
    if (!Form_Unload()) {
        m_ended = true;
        hide();
        emit programEnded();
    }
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    if (Form_Unload()) {
        event->ignore();
        return;
    }
    m_ended = true;
    event->accept();
    emit programEnded();
}

bool FrmMain::Form_Unload()
{
    if (m_chiusuraFinale) {
        m_tclose->stop();
        return false;
    }
    if (!m_chiusuraAvviata) {
        firstClosingPhase();
        return true;
    }
    // Between the two phases: the hidden window goes at once.
    m_tclose->stop();
    return false;
}

void FrmMain::firstClosingPhase()
{
    m_state.InChiusura = true;
    if (m_tray)
        m_tray->Remove();
    closeProbeWindows();
    m_tmon->stop();
    m_ttray->stop();
    if (m_engine)
        m_engine->ChiudiCollegamenti();
    Tcmd().Tsnd().stop();
    for (const QString &name : {W::FrmBut, W::FrmOpt, W::FrmMsg, W::FrmVolt, W::FrmAmp, W::FrmWatt, W::FrmWS,
                                W::FrmAux, W::FrmProbe, W::FrmCamera, W::FrmScen})
        m_windows->unload(name);
    m_tray.reset();
    QCoreApplication::processEvents();
    m_chiusuraAvviata = true;
    m_tclose->start(1000);
    hide();
}

void FrmMain::Tclose_Timer()
{
    m_chiusuraFinale = true;
    requestUnload();
}

void FrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the program lives in the tray; without one the window stays on the task bar.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)
        && m_tray && m_tray->isShown())
        QTimer::singleShot(0, this, [this] { hide(); });
}

// ---------------------------------------------------------------------------------------------
// Status bar and link window

void FrmMain::setStatusText(const QString &text) { m_panel1->setText(text); }
QString FrmMain::statusText() const { return m_panel1->text(); }

void FrmMain::I_Icon(int picture)
{
    if (m_tray && picture >= 0 && picture < int(PicSt.size()))
        m_tray->I_Icon(PicSt[size_t(picture)]);
}

void FrmMain::showActivity()
{
    I_Icon(1);
    m_panel2->setPixmap(ShellResources::icon(QStringLiteral("status-active")).pixmap(16, 16));
    m_ttray->start();
}

bool FrmMain::isPaneVisible(const LogPane &pane) const { return m_console->isPaneVisible(pane); }

void FrmMain::markPaneUnread(const LogPane &pane) { m_console->markPaneUnread(pane); }

// ---------------------------------------------------------------------------------------------
// Toolbar and menus

void FrmMain::barra_ButtonClick(int index)
{
    switch (index) {
    case TB::Monitor:
        // The user's choice overrides the delayed start still pending after start-up.
        m_tmon->stop();
        if (m_monitorImage == 1) {
            setMonitorButtonImage(2);
            if (m_engine)
                m_engine->ApriGateway();
        } else {
            setMonitorButtonImage(1);
            Tlog().appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStop"))));
            setStatusText(m_state.lang.t(QStringLiteral("Stop")));
            if (m_engine)
                m_engine->ChiudiMonitor();
        }
        break;
    case TB::Save:
        SalvaLog();
        break;
    case TB::Aux:
        toggleStatusWindow(W::FrmAux, Entry::Aux, Frame::statusRequest(9), m_state.live.AuxLetti);
        break;
    case TB::Probe:
        if (!m_shared.SondeAperte.isEmpty())
            closeProbeWindows();
        else
            openProbeWindows();
        break;
    case TB::Camera:
        m_menus->tick(Entry::Camera, m_windows->show(W::FrmCamera, false));
        break;
    case TB::Meters:
        openMeters();
        break;
    case TB::Scenarios:
        if (m_windows->isLoaded(W::FrmScen))
            m_windows->unload(W::FrmScen);
        else
            m_windows->show(W::FrmScen, false);
        break;
    case TB::Options:
        m_windows->show(W::FrmOpt, true);
        break;
    default:
        break;
    }
}

void FrmMain::barra_ButtonMenuClick(int button, int entry)
{
    if (button == TB::Scenarios && entry >= 1 && entry <= 16) {
        if (m_engine)
            m_engine->Send(Frame::command(0, QString::number(entry), m_state.model.ScenariF420[size_t(entry)].address));
    } else if (button == TB::Meters) {
        toggleMeter(entry);
    }
}

namespace {
const std::array<QString, 3> &meterWindows()
{
    static const std::array<QString, 3> names{W::FrmVolt, W::FrmAmp, W::FrmWatt};
    return names;
}
} // namespace

void FrmMain::openMeters()
{
    for (int k = 1; k <= 3; ++k)
        if (m_windows->show(meterWindows()[size_t(k - 1)], false))
            m_menus->markMeter(k, true);
}

void FrmMain::toggleMeter(int meter)
{
    if (meter < 1 || meter > 3)
        return;
    const QString &name = meterWindows()[size_t(meter - 1)];
    if (!m_menus->isTicked(Entry(int(Entry::Volt) + meter - 1))) {
        if (m_windows->show(name, false))
            m_menus->markMeter(meter, true);
    } else {
        m_windows->unload(name);
        m_menus->markMeter(meter, false);
    }
}

// The auxiliary and alarm windows: shown or hidden, never unloaded by the user; the first
// opening of the run asks the gateway for the state they show.
void FrmMain::toggleStatusWindow(const QString &name, Entry entry, const QString &request, bool &requested)
{
    if (m_state.InChiusura)
        return;
    if (m_windows->isLoaded(name)) {
        const bool visible = m_windows->isVisible(name);
        if (visible)
            m_windows->hide(name);
        else
            m_windows->show(name, false);
        m_menus->tick(entry, !visible);
        return;
    }
    if (!requested && m_engine) {
        m_state.live.RichiestaStato = true;
        m_engine->SendTCP(request);
        // The request ends with its send: an alarm request, or fewer than eight channels,
        // would otherwise silence every auxiliary frame for the rest of the run.
        if (m_state.live.RichiestaStato) {
            m_state.live.RichiestaStato = false;
            if (name == W::FrmAux)
                m_windows->refresh(W::FrmAux);
        }
    }
    requested = true;
    m_menus->tick(entry, m_windows->show(name, false));
}

void FrmMain::Command1_Click()
{
    toggleStatusWindow(W::FrmAI, Entry::Alarm, Frame::statusRequest(5), m_allarmeLetto);
}

void FrmMain::closeProbeWindows()
{
    const QStringList zones = m_shared.SondeAperte.split(QLatin1Char(','));
    for (const QString &item : zones) {
        if (item.isEmpty())
            continue;
        const auto n = NumberConversions::tryValue(item);
        if (!n || *n < 0 || *n >= 100)
            continue;
        delete m_shared.FinestreSonda[size_t(*n)].data();
        m_shared.FinestreSonda[size_t(*n)] = nullptr;
    }
    m_shared.SondeAperte.clear();
    m_menus->tick(Entry::Probe, false);
}

bool FrmMain::waitWhileSending(int ms)
{
    LinkWait::run([this] { return !m_state.link.InInvio; }, [this] { return bool(m_state.InChiusura); }, ms, {});
    return !m_state.InChiusura;
}

void FrmMain::openProbeWindows()
{
    const auto &sonde = m_state.model.Sonde;
    if (sonde[1].isEmpty())
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int taskbarPx = int(std::lround(WindowUtils::AltezzaTaskbar() / WindowUtils::twipsPerPixelY()));
    for (int z = 1; z <= 99 && !sonde[size_t(z)].isEmpty(); ++z) {
        const QString caption = W::probeCaption(z);
        if (!FormAperto(caption, QString())) {
            if (QWidget *w = m_windows->createProbe(z, sonde[size_t(z)])) {
                m_shared.FinestreSonda[size_t(z)] = w;
                w->setWindowTitle(caption);
                w->show();
                // The zone windows stack upward from the task bar along the right edge.
                w->move(area.right() + 1 - w->frameGeometry().width(),
                        area.bottom() + 1 - z * w->frameGeometry().height() - taskbarPx);
                if (!m_shared.SondeAperte.isEmpty())
                    m_shared.SondeAperte += QLatin1Char(',');
                m_shared.SondeAperte += QString::number(z);
            }
        }
        if (!m_engine)
            continue;
        if (!m_state.link.ModoUsb && !waitWhileSending(ProbeWaitMs))
            return;
        m_engine->Send(Frame::probeZoneRequests(z));
    }
    m_menus->tick(Entry::Probe, !m_shared.SondeAperte.isEmpty());
}

void FrmMain::mSetLingua_Click(int index)
{
    const QString language = m_menus->languageAt(index);
    if (language.isEmpty())
        return;
    try {
        if (m_engine)
            m_engine->CaricaLingua(language);
    } catch (const std::exception &e) {
        m_messages.message(failureText(e), ProgramIdentity::Title, MessageBoxService::Icon::Critical);
    }
    applyLanguage();
    m_settings.save(SettingKeys::Language, language);
    m_state.lang.Lingua = language;
    m_menus->tickLanguage(index);
}

void FrmMain::mHelp_Click()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir(m_state.programFolder).filePath(QStringLiteral("Tervdoc.pdf"))));
}

// ---------------------------------------------------------------------------------------------
// Console

void FrmMain::Ibut_Click(int index) { m_console->Ibut_Click(index); }

void FrmMain::mFind_Click() { m_menus->tickFind(m_console->toggleFind()); }

void FrmMain::Ix_Click() { m_console->Ix_Click(); }

void FrmMain::Cfind_Click() { m_console->Cfind_Click(); }

void FrmMain::Isend_Click()
{
    const QString text = Tcmd().text();
    m_settings.save(SettingKeys::RecentCmd, text);
    if (!CommandBoxWidget::isFrame(text))
        return;
    Tcmd().setBackground(CommandBoxWidget::Yellow);
    if (m_engine && m_engine->Send(text))
        Tcmd().flash(CommandBoxWidget::Green);
}

void FrmMain::SalvaLog() { m_console->saveVisiblePane(m_files, m_state.programFolder); }
