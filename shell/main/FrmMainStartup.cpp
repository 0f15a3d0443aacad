// The start procedure and the main window's load sequence, stage by stage.
#include "shell/main/FrmMain.h"

#include "shell/main/CommandBoxWidget.h"
#include "shell/main/ConsoleArea.h"
#include "shell/main/ConsolePane.h"
#include "engine/model/EngineState.h"
#include "engine/config/LanguageLoader.h"
#include "engine/protocol/LogLine.h"
#include "shell/main/MainStatusBar.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellEngine.h"
#include "shell/services/SingleInstance.h"
#include "shell/main/StartupSettings.h"
#include "shell/services/TrayIcon.h"
#include "shell/tray/TrayMenu.h"

#include <QDir>
#include <QSystemTrayIcon>

bool FrmMain::trayAvailable() const
{
    return m_options.trayAvailable.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void FrmMain::Main()
{
    StartupSettings::readNoticePosition(m_settings, m_shared);
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

// The stages in their order; each names itself in m_stage, which a failure's message shows.
// A stage that ends the program asks for the unload itself.
bool FrmMain::loadSequence()
{
    try {
        winpathStage();
        if (!singleInstanceStage())
            return false;
        readSettingsStage();
        if (!languageStage())
            return false;
        remoteAccessStage();
        iconStage();
        if (!confStage())
            return false;
        monitorStage();
        menuStage();
    } catch (const std::exception &e) {
        m_messages.message(StartupSettings::failureText(e), m_stage, MessageBoxService::Icon::Critical);
        return false;
    }
    return true;
}

void FrmMain::winpathStage()
{
    m_stage = QStringLiteral("get winpath");
    // The characters ship beside the program, as the language files do.
    m_shared.DirWindows = QDir(m_state.programFolder).filePath(QStringLiteral("characters"));
    m_state.live.VoltValue = QStringLiteral("0");
    m_state.live.AmpValue = QStringLiteral("0");
    m_state.live.WattValue = 0;
    m_tray = std::make_unique<TrayIcon>(m_state.InChiusura, trayAvailable(), m_options.tray);
    connect(m_tray.get(), &TrayIcon::restoreRequested, this, &FrmMain::restoreWindow);
    connect(m_tray.get(), &TrayIcon::statusRequested, this,
            [this] { m_tray->showStatus(TrayMenu::statusText(m_state.lang, m_state.live)); });
    // Queued: the menu's exit deletes the icon, which must not happen inside its own signal.
    connect(
        m_tray.get(), &TrayIcon::menuRequested, this,
        [this] { m_trayMenu->popup(QCursor::pos(), m_monitorImage, *m_windows); }, Qt::QueuedConnection);
    m_shared.VersioneCorrente = QStringLiteral(OMBRIX_VERSION "B5");
    setWindowTitle(QStringLiteral("Tarn  V.") + m_shared.VersioneCorrente);
}

bool FrmMain::singleInstanceStage()
{
    m_instance = std::make_unique<SingleInstance>(m_options.lockFile);
    if (m_instance->tryLock())
        return true;
    m_secondInstance = true;
    setWindowTitle(QString());
    requestUnload();
    return false;
}

bool FrmMain::languageStage()
{
    m_stage = QStringLiteral("read language");
    const QStringList languages = LanguageLoader::availableLanguages(m_state.programFolder);
    if (languages.isEmpty()) {
        // Without a language there are no captions, not even one to find Exit by.
        m_messages.message(StartupSettings::noLanguageFileText(m_state.programFolder), ProgramIdentity::Title,
                           MessageBoxService::Icon::Critical);
        requestUnload();
        return false;
    }
    m_menus->fillLanguageMenu(languages, m_state.lang.Lingua);
    if (m_engine)
        m_engine->CaricaLingua(m_state.lang.Lingua);
    applyLanguage(m_state.lang.Lingua);
    setStatusText(QString());
    QString badPort;
    m_state.link.PortaGateway = StartupSettings::gatewayPort(m_state.link.PortaGateway, &badPort);
    if (!badPort.isNull())
        Tlog().appendText(LogLine::at(StartupSettings::badPortLine(m_state.lang.t(QStringLiteral("PortErr")), badPort)));
    return true;
}

void FrmMain::remoteAccessStage()
{
    m_stage = QStringLiteral("settiing chumby");
    m_status->setClientLamp(0xC0C0C0);
    if (m_settings.readInt(SettingKeys::WsChum) == 1)
        m_stages.startRemoteAccess();
}

bool FrmMain::confStage()
{
    m_stage = QStringLiteral("load conf");
    if (m_state.model.ConfCaricata || (m_engine && m_engine->CaricaConf()))
        return true;
    requestUnload();
    return false;
}

void FrmMain::monitorStage()
{
    m_stage = QStringLiteral("set icons 2");
    if (m_settings.readInt(SettingKeys::Monitor) == 1) {
        m_tmon->setInterval(1000);
        m_tmon->start();
        setMonitorButtonImage(2);
        Tlog().appendText(LogLine::withDate(m_state.lang.t(QStringLiteral("LogStart"))) + LogLine::Crlf);
    } else {
        setStatusText(m_state.lang.t(QStringLiteral("Stop")));
    }
}

void FrmMain::menuStage()
{
    m_stage = QStringLiteral("menu f420");
    m_menus->fillScenarioDropDown(m_state.model);
    m_menus->enableHelp(QFileInfo::exists(helpDocument()));
    if (m_settings.readInt(SettingKeys::StartChk) == 1)
        m_stages.startUpdateCheck();
}

void FrmMain::readSettingsStage()
{
    m_stage = QStringLiteral("initializing");
    m_status->stopActivity();
    StartupSettings::read(m_settings, m_state, m_shared);
    const StartupSettings::ConsoleColours c = StartupSettings::readConsoleColours(m_settings);
    ConsoleArea::setPaneColours(Tlog(), c.fore, c.back);
    ConsoleArea::setPaneColours(TlogC(), c.foreC, c.backC);
    Tcmd().setText(m_settings.read(SettingKeys::RecentCmd));
}

void FrmMain::iconStage()
{
    m_stage = QStringLiteral("get icons");
    m_menus->loadIconLibrary(QDir(m_state.programFolder).filePath(QStringLiteral("ico.icl")), m_images);

    m_state.link.IconaTray = 0;
    // The picture first: a tray icon shown without one draws an empty slot and warns.
    I_Icon(m_state.link.IconaTray);
    m_tray->I_Show();

    m_stage = QStringLiteral("set icons");
    m_menus->setToolbarImages(m_images);
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
        loaded = m_stages.loadCharacter(agent);
    } catch (const std::exception &) {
        loaded = false;
    }
    if (!loaded) {
        // The next start tries the empty name again and fails the same way, silently.
        m_settings.save(SettingKeys::Agent, QString());
        m_agentCaricato = false;
    }
}

