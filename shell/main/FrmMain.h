#pragma once

#include "shell/icons/ImageList.h"
#include "engine/ports/LinkWindow.h"
#include "shell/main/MainMenus.h"
#include "shell/main/MainWindowStages.h"
#include "shell/main/ShellOptions.h"
#include "engine/ports/StatusBar.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class CommandBoxWidget;
class ConsoleArea;
class ConsolePane;
class DeviceLauncher;
class MainStatusBar;
class DeviceWindows;
class FileDialogService;
class MessageBoxService;
class ProgramSettings;
class QtTranslations;
class QMenu;
class QTimer;
class ShellEngine;
class SingleInstance;
class SystemTray;
class TrayIcon;
class TrayMenu;
struct EngineState;

// The main window: the console onto the bus, its toolbar and menus, the start-up sequence
// and the two-phase closing. The menus, the console and the settings reader do the work; the
// window keeps the entry points and what joins them.
class FrmMain : public QMainWindow, public StatusBar, public LinkWindow
{
    Q_OBJECT

public:
    struct Options
    {
        // The lock that tells a second instance; empty: the user's own runtime folder.
        QString lockFile;
        // Whether the platform shows a tray; unset: ask the platform.
        std::optional<bool> trayAvailable;
        // The notification area the tray icon shows in; null: the desktop's.
        SystemTray *tray = nullptr;
    };

    // `stages` starts and stops what is built outside the shell (update check, character,
    // remote services).
    FrmMain(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FileDialogService &files,
            MainWindowStages &stages, Options options, QWidget *parent = nullptr);
    ~FrmMain() override;

    void setEngine(ShellEngine *engine);
    void setDeviceWindows(DeviceWindows *windows);

    // The start procedure: the notice position, the load sequence, shown or left hidden.
    void Main();
    void Form_Load();
    // An unload request (menu Exit, close box, second instance, failed installation, Tclose).
    void requestUnload();

    // Toolbar, menus and console, as the user drives them.
    void barra_ButtonClick(int index);
    void barra_ButtonMenuClick(int button, int entry);
    void Command1_Click();
    void mSetLingua_Click(int index);
    void mHelp_Click();
    void Ibut_Click(int index);
    void mFind_Click();
    void Ix_Click();
    void Cfind_Click();
    void Isend_Click();
    void SalvaLog();
    // The scenario submenu (identifiers 101..116), inserted before `before` or appended.
    QMenu *CreaMenuScenari(QMenu *menu, const QString &caption, QAction *before = nullptr);

    // Whether a loaded window (shown or hidden) has exactly that caption, or, with an empty
    // caption, exactly that name.
    bool FormAperto(const QString &caption, const QString &name) const;
    // A device window closed by itself: its menu entry loses its check.
    void windowUnloaded(const QString &name);

    // StatusBar: the first panel.
    void setStatusText(const QString &text) override;
    QString statusText() const override;
    // The display-client lamp "Lchum" (0xBBGGRR).
    void setClientLamp(quint32 bgr);

    // LinkWindow. The monitor button: image 1 off, image 2 on.
    int monitorButtonImage() const override { return m_monitorImage; }
    void setMonitorButtonImage(int image) override;
    void I_Icon(int picture) override;
    void showActivity() override;
    bool isPaneVisible(const LogPane &pane) const override;
    void markPaneUnread(const LogPane &pane) override;

    // The panes and the command box the links write to.
    ConsolePane &Tlog();
    ConsolePane &TlogC();
    CommandBoxWidget &Tcmd();
    TrayIcon *MyTray() const { return m_tray.get(); }
    const TrayMenu &trayMenu() const { return *m_trayMenu; }
    // ImageList1: the pictures of the toolbar, the tray menu and the notices, by position.
    const ImageList &images() const { return m_images; }
    // What the later windows read of the main window.
    ShellOptions &shellOptions() { return m_shared; }
    // The menu bar and toolbar, whose window entries the device windows keep in step.
    MainMenus &menus() { return *m_menus; }

    // Start-up and closing state.
    QString stage() const { return m_stage; }
    bool ChiusuraAvviata() const { return m_chiusuraAvviata; }
    bool ChiusuraFinale() const { return m_chiusuraFinale; }
    bool isSecondInstance() const { return m_secondInstance; }
    bool AgentCaricato() const { return m_agentCaricato; }
    // Tray pictures: 0 idle, 1 activity, 2 link down.
    std::array<QIcon, 3> PicSt;

signals:
    // The program has closed for good; main ends the event loop.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Form_Unload: true when the unload is refused.
    bool Form_Unload();
    void firstClosingPhase();
    void Tmon_Timer();
    void Tclose_Timer();
    bool loadSequence();
    void winpathStage();
    bool singleInstanceStage();
    void readSettingsStage();
    bool languageStage();
    void remoteAccessStage();
    void iconStage();
    bool confStage();
    void monitorStage();
    void menuStage();
    void loadCharacterStage();
    void applyLanguage(const QString &language);
    void setButtonImage(int button, int image);
    bool trayAvailable() const;
    void restoreWindow();
    void trayExit();
    QString helpDocument() const;

    EngineState &m_state;
    ProgramSettings &m_settings;
    MessageBoxService &m_messages;
    FileDialogService &m_files;
    MainWindowStages &m_stages;
    Options m_options;
    ShellEngine *m_engine = nullptr;
    std::unique_ptr<DeviceWindows> m_noWindows;
    DeviceWindows *m_windows = nullptr;
    ShellOptions m_shared;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<QtTranslations> m_qtTexts;
    std::unique_ptr<TrayMenu> m_trayMenu;

    QString m_stage;
    bool m_chiusuraAvviata = false;
    bool m_chiusuraFinale = false;
    bool m_secondInstance = false;
    bool m_agentCaricato = false;
    bool m_ended = false;
    int m_monitorImage = 1;

    QTimer *m_tmon = nullptr;
    QTimer *m_tclose = nullptr;
    ImageList m_images;

    MainMenus *m_menus = nullptr;
    std::unique_ptr<DeviceLauncher> m_launcher;
    ConsoleArea *m_console = nullptr;
    MainStatusBar *m_status = nullptr;
};
