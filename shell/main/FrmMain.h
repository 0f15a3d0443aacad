#pragma once

#include "IconLibrary.h"
#include "LinkWindow.h"
#include "ShellWindows.h"
#include "ImageList.h"
#include "StatusBar.h"

#include <QLockFile>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class CommandBoxWidget;
class ConsolePane;
class DeviceWindows;
class FileDialogService;
class MessageBoxService;
class ProgramSettings;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolBar;
class QToolButton;
class ShellEngine;
class TrayIcon;
struct EngineState;

// The main window: the console onto the bus, its toolbar and menus, the start-up sequence
// and the two-phase closing.
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
    };

    FrmMain(EngineState &state, ProgramSettings &settings, MessageBoxService &messages, FileDialogService &files,
            Options options, QWidget *parent = nullptr);
    ~FrmMain() override;

    void setEngine(ShellEngine *engine) { m_engine = engine; }
    void setDeviceWindows(DeviceWindows *windows);
    // Stages that start pieces built elsewhere; an empty hook skips its stage.
    std::function<void()> startUpdateCheck;           // "Start_chk" = 1
    std::function<bool(const QString &)> loadCharacter; // the "Agent" named; false on failure

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
    bool FormAperto(const QString &caption, const QString &name) const { return m_registry.FormAperto(caption, name); }
    // The windows as the translator sees them.
    WindowRegistry &windowRegistry() { return m_registry; }

    // StatusBar: the first panel.
    void setStatusText(const QString &text) override;
    QString statusText() const override;

    // LinkWindow. The monitor button: image 1 off, image 2 on.
    int monitorButtonImage() const override { return m_monitorImage; }
    void setMonitorButtonImage(int image) override;
    void I_Icon(int picture) override;
    void showActivity() override;
    bool isPaneVisible(const LogPane &pane) const override;
    void markPaneUnread(const LogPane &pane) override;

    ConsolePane &Tlog() { return *m_tlog; }
    ConsolePane &TlogC() { return *m_tlogC; }
    CommandBoxWidget &Tcmd() { return *m_tcmd; }
    QLineEdit &Tfind() { return *m_tfind; }
    QWidget &Pfind() { return *m_pfind; }
    TrayIcon *MyTray() const { return m_tray.get(); }
    const ImageList &images() const { return m_images; }
    QComboBox &ImageCombo1() { return *m_imageCombo; }
    QToolBar &barra() { return *m_barra; }
    QAction *button(int index) const;
    QMenu *meterMenu() const { return m_meterMenu; }
    QMenu *scenarioMenu() const { return m_scenarioMenu; }
    QList<QAction *> languageEntries() const { return m_mSetLingua; }
    QAction *menuEntry(const QString &name) const;
    QLabel &Lmon() { return *m_lmon; }
    QLabel &Lcom() { return *m_lcom; }
    QTimer &Tmon() { return m_tmon; }
    QTimer &Tclose() { return m_tclose; }

    // Start-up and closing state.
    QString stage() const { return m_stage; }
    bool ChiusuraAvviata() const { return m_chiusuraAvviata; }
    bool ChiusuraFinale() const { return m_chiusuraFinale; }
    bool isSecondInstance() const { return m_secondInstance; }
    bool AgentCaricato() const { return m_agentCaricato; }
    bool AllarmeLetto = false;
    QString SondeAperte;
    std::array<QPointer<QWidget>, 100> FinestreSonda{};
    QString DirWindows;
    QString VersioneCorrente;
    QString MsgPosX;
    qint16 MsgPosY = 0;
    quint8 OpzFx = 1;
    QString OpzMsgType;
    quint8 OpzMsgTras = 255;
    QString OpzHlet;
    // Tray pictures: 0 idle, 1 activity, 2 link down.
    std::array<QIcon, 3> PicSt;


signals:
    // The program has closed for good; main ends the event loop.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Form_Unload: true when the unload is refused.
    bool Form_Unload();
    void firstClosingPhase();
    void Tmon_Timer();
    void Tclose_Timer();
    bool loadSequence();
    void loadCharacterStage();
    void applyLanguage();
    void fillLanguageMenu();
    void fillScenarioDropDown();
    void setButtonImage(int button, int image);
    void toggleMeter(int entry);
    void openProbeWindows();
    void closeProbeWindows();
    bool waitWhileSending(int ms);
    void sendStatusRequest(const QString &frame, bool aux);
    bool trayAvailable() const;
    void buildUi();
    void buildMenus();
    void buildToolbar();
    QWidget *buildConsole();

    EngineState &m_state;
    ProgramSettings &m_settings;
    MessageBoxService &m_messages;
    FileDialogService &m_files;
    Options m_options;
    ShellEngine *m_engine = nullptr;
    std::unique_ptr<DeviceWindows> m_noWindows;
    DeviceWindows *m_windows = nullptr;
    ShellWindows m_registry{m_windows};
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<TrayIcon> m_tray;

    QString m_stage;
    bool m_chiusuraAvviata = false;
    bool m_chiusuraFinale = false;
    bool m_secondInstance = false;
    bool m_agentCaricato = false;
    bool m_ended = false;
    int m_monitorImage = 1;

    QTimer m_tmon;
    QTimer m_tclose;
    QTimer m_ttray;
    ImageList m_images;
    IconLibrary m_iconLibrary;

    QToolBar *m_barra = nullptr;
    std::array<QAction *, 12> m_buttons{};
    std::array<int, 12> m_buttonImage{};
    QMenu *m_meterMenu = nullptr;
    QMenu *m_scenarioMenu = nullptr;
    QList<QAction *> m_meterEntries;
    QList<QAction *> m_scenarioEntries;
    QToolButton *m_command1 = nullptr;

    QMenu *m_mFile = nullptr, *m_mTool = nullptr, *m_mwin = nullptr, *m_mLanguage = nullptr, *m_mHelpMenu = nullptr;
    QAction *m_mSave = nullptr, *m_mExit = nullptr, *m_mFind = nullptr, *m_mOption = nullptr;
    QAction *m_mWaux = nullptr, *m_mWprobe = nullptr, *m_mWcam = nullptr, *m_mWvolt = nullptr,
            *m_mWampere = nullptr, *m_mWwatt = nullptr, *m_mWai = nullptr;
    QAction *m_mHelp = nullptr, *m_mAgg = nullptr, *m_mDonate = nullptr, *m_mAbout = nullptr;
    QList<QAction *> m_mSetLingua;

    std::array<QToolButton *, 2> m_tabs{};
    QToolButton *m_clear = nullptr;
    QLabel *m_lmon = nullptr;
    QLabel *m_lcom = nullptr;
    QStackedWidget *m_panes = nullptr;
    ConsolePane *m_tlog = nullptr;
    ConsolePane *m_tlogC = nullptr;
    QWidget *m_pfind = nullptr;
    QLineEdit *m_tfind = nullptr;
    QPushButton *m_cfind = nullptr;
    QToolButton *m_ix = nullptr;
    CommandBoxWidget *m_tcmd = nullptr;
    QToolButton *m_isend = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QLabel *m_lchum = nullptr;
    QComboBox *m_imageCombo = nullptr;
};
