#include "shell/main/FrmMain.h"

#include "shell/main/CommandBoxWidget.h"
#include "shell/main/ConsoleArea.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/DeviceLauncher.h"
#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/links/LinkWait.h"
#include "engine/protocol/LogLine.h"
#include "shell/main/MainStatusBar.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "shell/services/QtTranslations.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellEngine.h"
#include "shell/icons/ShellResources.h"
#include "shell/services/SingleInstance.h"
#include "shell/main/StartupSettings.h"
#include "shell/services/TopLevelWindows.h"
#include "shell/services/TrayIcon.h"
#include "shell/tray/TrayMenu.h"
#include "engine/model/WindowNames.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace TB = ToolbarButtons;
namespace W = WindowNames;
using Entry = MainMenus::Entry;

namespace {

QTimer *namedTimer(QObject *parent, const char *name)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    return t;
}

} // namespace

FrmMain::FrmMain(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FileDialogService &files,
                 MainWindowStages &stages, Options options, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_settings(settings),
      m_messages(messages),
      m_files(files),
      m_stages(stages),
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
    m_qtTexts = std::make_unique<QtTranslations>();
    m_status = new MainStatusBar(*statusBar());
    connect(m_status, &MainStatusBar::activityEnded, this, [this] { I_Icon(m_state.link.IconaTray); });

    m_menus = new MainMenus(*this);
    connect(m_menus, &MainMenus::buttonClicked, this, &FrmMain::barra_ButtonClick);
    connect(m_menus, &MainMenus::buttonMenuClicked, this, &FrmMain::barra_ButtonMenuClick);
    connect(m_menus, &MainMenus::saveChosen, this, &FrmMain::SalvaLog);
    connect(m_menus, &MainMenus::exitChosen, this, &FrmMain::requestUnload);
    connect(m_menus, &MainMenus::findChosen, this, &FrmMain::mFind_Click);
    connect(m_menus, &MainMenus::languageChosen, this, &FrmMain::mSetLingua_Click);
    connect(m_menus, &MainMenus::helpChosen, this, &FrmMain::mHelp_Click);
    connect(m_menus, &MainMenus::meterChosen, this, [this](int meter) { m_launcher->toggleMeter(meter); });
    connect(m_menus, &MainMenus::alarmChosen, this, &FrmMain::Command1_Click);
    connect(m_menus, &MainMenus::windowChosen, this,
            [this](const QString &name, bool modal) { m_windows->show(name, modal); });

    m_launcher = std::make_unique<DeviceLauncher>(m_state, m_shared, *m_menus, *m_windows);

    m_trayMenu = std::make_unique<TrayMenu>(
        m_state, m_settings,
        TrayMenu::Actions{[this] { restoreWindow(); }, [this] { barra_ButtonClick(TB::Monitor); },
                          [this](const QString &name) { m_windows->show(name, true); }, [this] { trayExit(); },
                          [this](int scenario) { barra_ButtonMenuClick(TB::Scenarios, scenario); },
                          [](const QUrl &url) { QDesktopServices::openUrl(url); }});

    m_console = new ConsoleArea(m_state.lang, m_messages, this);
    connect(m_console, &ConsoleArea::sendRequested, this, &FrmMain::Isend_Click);
    connect(m_console, &ConsoleArea::findClosed, m_menus, [this] { m_menus->tickFind(false); });
    setCentralWidget(m_console);
    resize(780, 540);
}

FrmMain::~FrmMain()
{
    for (auto &w : m_shared.FinestreSonda)
        delete w.data();
}

void FrmMain::setEngine(ShellEngine *engine)
{
    m_engine = engine;
    m_launcher->setEngine(engine);
}

void FrmMain::setDeviceWindows(DeviceWindows *windows)
{
    m_windows = windows ? windows : m_noWindows.get();
    m_menus->enableFor(*m_windows);
    m_launcher->setDeviceWindows(*m_windows);
}

ConsolePane &FrmMain::Tlog() { return m_console->Tlog(); }
ConsolePane &FrmMain::TlogC() { return m_console->TlogC(); }
CommandBoxWidget &FrmMain::Tcmd() { return m_console->Tcmd(); }

bool FrmMain::FormAperto(const QString &caption, const QString &name) const
{
    return WindowRegistry::FormAperto(TopLevelWindows::loaded(), caption, name);
}

// ---------------------------------------------------------------------------------------------
// Start-up (the load sequence is in FrmMainStartup.cpp)

void FrmMain::restoreWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void FrmMain::trayExit()
{
    // The icon goes first, so it is never seen pointing at windows being unloaded.
    if (m_tray)
        m_tray->Remove();
    m_windows->unload(W::FrmAux);
    requestUnload();
}

void FrmMain::applyLanguage(const QString &language)
{
    m_qtTexts->use(language);
    m_menus->applyLanguage(m_state.lang);
    m_console->applyLanguage();
    const auto text = [this](const char *key, const char *fallback) {
        return m_state.lang.t(QString::fromLatin1(key), QString::fromLatin1(fallback));
    };
    m_status->nameLamps(text("LampBus", "Bus activity"), text("LampChum", "Display clients"));
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

void FrmMain::windowUnloaded(const QString &name)
{
    if (name == W::FrmCamera)
        m_menus->tick(Entry::Camera, false);
}

void FrmMain::firstClosingPhase()
{
    m_state.InChiusura = true;
    if (m_tray)
        m_tray->Remove();
    m_launcher->closeProbeWindows();
    m_tmon->stop();
    m_status->stopActivity();
    if (m_engine)
        m_engine->ChiudiCollegamenti();
    m_stages.stopRemoteAccess();
    m_stages.closeShellFeatures();
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

void FrmMain::setStatusText(const QString &text) { m_status->setText(text); }
QString FrmMain::statusText() const { return m_status->text(); }
void FrmMain::setClientLamp(quint32 bgr) { m_status->setClientLamp(bgr); }

void FrmMain::I_Icon(int picture)
{
    if (m_tray && picture >= 0 && picture < int(PicSt.size()))
        m_tray->I_Icon(PicSt[size_t(picture)]);
}

void FrmMain::showActivity()
{
    I_Icon(1);
    m_status->showActivity();
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
        m_launcher->toggleAux();
        break;
    case TB::Probe:
        m_launcher->toggleProbes();
        break;
    case TB::Camera:
        m_launcher->showCamera();
        break;
    case TB::Meters:
        m_launcher->openMeters();
        break;
    case TB::Scenarios:
        m_launcher->toggleScenarios();
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
        m_launcher->toggleMeter(entry);
    }
}

void FrmMain::Command1_Click() { m_launcher->toggleAlarm(); }

void FrmMain::mSetLingua_Click(int index)
{
    const QString language = m_menus->languageAt(index);
    if (language.isEmpty())
        return;
    // The status bar's message outlives the switch: the language text it starts with, if
    // any, is said again in the new language, and what followed it (frames, an address) stays.
    const QString shown = statusText();
    QString shownKey;
    for (auto it = m_state.lang.text.cbegin(); it != m_state.lang.text.cend(); ++it) {
        if (!it.value().isEmpty() && shown.startsWith(it.value())
            && (shownKey.isEmpty() || it.value().size() > m_state.lang.t(shownKey).size()))
            shownKey = it.key();
    }
    const QString rest = shownKey.isEmpty() ? QString() : shown.mid(m_state.lang.t(shownKey).size());
    try {
        if (m_engine)
            m_engine->CaricaLingua(language);
    } catch (const std::exception &e) {
        m_messages.message(StartupSettings::failureText(e), ProgramIdentity::Title, MessageBoxService::Icon::Critical);
    }
    applyLanguage(language);
    const QString again = shownKey.isEmpty() ? QString() : m_state.lang.t(shownKey);
    setStatusText(again.isEmpty() ? shown : again + rest);
    m_settings.save(SettingKeys::Language, language);
    m_state.lang.Lingua = language;
    m_menus->tickLanguage(index);
}

QString FrmMain::helpDocument() const { return QDir(m_state.programFolder).filePath(QStringLiteral("Tervdoc.pdf")); }

void FrmMain::mHelp_Click() { QDesktopServices::openUrl(QUrl::fromLocalFile(helpDocument())); }

// ---------------------------------------------------------------------------------------------
// Console

void FrmMain::Ibut_Click(int index) { m_console->Ibut_Click(index); }

void FrmMain::mFind_Click() { m_menus->tickFind(m_console->toggleFind()); }

void FrmMain::Ix_Click() { m_console->Ix_Click(); }

void FrmMain::Cfind_Click() { m_console->Cfind_Click(); }

void FrmMain::Isend_Click()
{
    const CommandBoxWidget::Typed typed = CommandBoxWidget::framesIn(Tcmd().text());
    if (typed.refusal != CommandBoxWidget::Refusal::None) {
        // Refused text is not kept as the last command: the next start would offer it again.
        const auto [key, builtIn] = CommandBoxWidget::refusalText(typed.refusal);
        setStatusText(m_state.lang.t(key, builtIn));
        Tcmd().flash(CommandBoxWidget::Red);
        return;
    }
    // The box shows what goes out, where a frame was taken out of the box's own "*##".
    if (typed.frames != Tcmd().text())
        Tcmd().setText(typed.frames);
    m_settings.save(SettingKeys::RecentCmd, typed.frames);
    Tcmd().setBackground(CommandBoxWidget::Yellow);
    if (m_engine && m_engine->Send(typed.frames))
        Tcmd().flash(CommandBoxWidget::Green);
}

void FrmMain::SalvaLog()
{
    // The documents folder is named even where it was never made; a dialog started there
    // would propose a path that cannot be saved to.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    m_console->saveVisiblePane(m_files, folder);
}
