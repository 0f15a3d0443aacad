#include "shell/main/CommandBoxWidget.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "shell/main/FrmMain.h"
#include "support/NearlyFullFolder.h"
#include "support/PeResourceWriter.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingFileDialog.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStages.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellEngine.h"
#include "support/TestFolder.h"
#include "shell/services/TrayIcon.h"
#include "shell/icons/ShellResources.h"
#include "shell/tray/TrayMenu.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QLockFile>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QScreen>
#include <QApplication>
#include <QPalette>
#include <QToolBar>
#include <QtTest>

namespace {

// Widgets are found as a user's tools find them: by object name.
template <typename T>
T &child(QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child named %s", name);
    return *found;
}

QAction *menuEntry(QObject &window, const QString &name) { return window.findChild<QAction *>(name); }

// Records what the window asks of the engine; results are scripted.
class RecordingEngine : public ShellEngine
{
public:
    explicit RecordingEngine(EngineState &state) : ShellEngine(state.link), m_state(state) {}

    void CaricaLingua(const QString &language) override
    {
        languages << language;
        m_state.lang.Lmon = QStringLiteral("Monitor");
        m_state.lang.Lcom = QStringLiteral("Comandi");
        m_state.lang.menu.insert(QStringLiteral("wcurrent"), QStringLiteral("Corrente"));
        m_state.lang.text.insert(QStringLiteral("LogStart"), QStringLiteral("Avvio monitor"));
        m_state.lang.text.insert(QStringLiteral("LogStop"), QStringLiteral("Monitor fermato"));
        const bool english = language == QLatin1String("english");
        m_state.lang.text.insert(QStringLiteral("Stop"), english ? QStringLiteral("Monitor off") : QStringLiteral("Fermo"));
        m_state.lang.text.insert(QStringLiteral("NoAck"), english ? QStringLiteral("No answer:")
                                                                  : QStringLiteral("Nessuna risposta:"));
        m_state.lang.text.insert(QStringLiteral("CmdChars"), QStringLiteral("Solo cifre, * e #"));
        m_state.lang.text.insert(QStringLiteral("CmdShape"), QStringLiteral("Inizia con * e finisce con ##"));
        m_state.lang.text.insert(QStringLiteral("CmdWho"), QStringLiteral("Manca il WHO"));
        m_state.lang.text.insert(QStringLiteral("WaitCon"), QStringLiteral("Attendere"));
        m_state.lang.text.insert(QStringLiteral("nofound"), QStringLiteral("Testo non trovato"));
        m_state.lang.text.insert(QStringLiteral("txtFile"), QStringLiteral("File di testo"));
    }
    bool CaricaConf() override
    {
        ++confLoads;
        return confResult;
    }
    bool SendTCP(const QString &frame) override
    {
        tcp << frame;
        requestFlagDuringSend << m_state.live.RichiestaStato;
        sendBusyWhenCalled << m_state.link.InInvio;
        return tcpResult;
    }
    void SendUsb(const QString &frame, bool quiet) override { usb << frame + (quiet ? QStringLiteral(" quiet") : QString()); }
    bool ApriGateway() override
    {
        ++opens;
        return true;
    }
    void ChiudiMonitor() override { ++monitorCloses; }
    void ChiudiCollegamenti() override { ++linkCloses; }

    QStringList languages, tcp, usb;
    QList<bool> requestFlagDuringSend, sendBusyWhenCalled;
    int confLoads = 0, opens = 0, monitorCloses = 0, linkCloses = 0;
    bool confResult = true, tcpResult = true;

private:
    EngineState &m_state;
};

// Stand-in windows that only record; no window is ever shown.
class FakeWindows : public DeviceWindows
{
public:
    bool provides(const QString &) const override { return true; }
    bool isLoaded(const QString &name) const override { return loaded.contains(name); }
    bool isVisible(const QString &name) const override { return visible.contains(name); }
    bool show(const QString &name, bool) override
    {
        loaded << name;
        visible << name;
        return true;
    }
    void hide(const QString &name) override { visible.remove(name); }
    void unload(const QString &name) override
    {
        unloads << name;
        loaded.remove(name);
        visible.remove(name);
    }
    void refresh(const QString &name) override { refreshed << name; }
    QWidget *createProbe(int zone, const QString &zoneName) override
    {
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("FrmProbe"));
        w->resize(120, 60);
        probes << QString::number(zone) + QLatin1Char('=') + zoneName;
        return w;
    }
    QSet<QString> loaded, visible;
    QStringList unloads, refreshed, probes;
};

struct Fixture
{
    explicit Fixture(std::optional<bool> tray = false)
        : settings(dir.settingsFile()), engine(state),
          window(state, settings, boxes, files, stages,
                 FrmMain::Options{dir.filePath(QStringLiteral("ombrix.lock")), tray})
    {
        state.programFolder = dir.path();
        // The program needs one language file to start; the fake engine reads none of it.
        dir.write(QStringLiteral("italian.lng"), QByteArray("[Version]\r\nini=1.0.4\r\n"));
        window.setEngine(&engine);
    }
    TestFolder dir;
    ProgramSettings settings;
    EngineState state;
    RecordingMessageBox boxes;
    RecordingFileDialog files;
    RecordingEngine engine;
    RecordingStages stages;
    FrmMain window;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void loadSequence();
    void followsTheDesktopPalette_data();
    void followsTheDesktopPalette();
    void languageMenu_data();
    void languageMenu();
    void languageSwitch();
    void languageSwitchKeepsStatus_data();
    void languageSwitchKeepsStatus();
    void noLanguageFileEnds();
    void gatewayPortSetting_data();
    void gatewayPortSetting();
    void monitorSetting_data();
    void monitorSetting();
    void confFailureEndsProgram();
    void badSettingStopsWithStageMessage();
    void characterSetting_data();
    void characterSetting();
    void outsideStagesFollowTheirSettings_data();
    void outsideStagesFollowTheirSettings();
    void secondInstance();
    void closingPhases();
    void trayMenuDrivesTheWindow();
    void unloadBetweenPhases();
    void minimizedStart_data();
    void minimizedStart();
    void minimiseHidesOnlyWithTray_data();
    void minimiseHidesOnlyWithTray();
    void iconLibraryReplacesPictures();
    void helpOpensDocument();
    void entriesFollowWhatIsThere_data();
    void entriesFollowWhatIsThere();
    void monitorButtonTwice();
    void monitorButtonBeforeDelayedStart();
    void paneTabsAndClear();
    void longStatusStopsBeforeTheLamps();
    void saveVisiblePane_data();
    void saveVisiblePane();
    void saveStartsInAFolderThatExists_data();
    void saveStartsInAFolderThatExists();
    void saveFailure();
    void saveOnFullDiskKeepsOldLog_data();
    void saveOnFullDiskKeepsOldLog();
    void saveAddsTextExtension_data();
    void saveAddsTextExtension();
    void findThroughWindow();
    void commandBox_data();
    void commandBox();
    void refusedText_data();
    void refusedText();
    void meterMarkers();
    void windowMenuEntries_data();
    void windowMenuEntries();
    void cameraEntryFollowsItsWindow();
    void scenarioFrames();
    void scenarioSubmenu();
    void statusRequestsOncePerRun_data();
    void statusRequestsOncePerRun();
    void probeBatchWaitsForBusyLink();
    void probeWaitEndsWhenClosing();
    void probeWindowsToggle();
};

void TestMainWindow::followsTheDesktopPalette_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

// The colours drawn for a light desktop give way to a dark palette's own, captions, toolbar
// and the pictures' outlines alike.
void TestMainWindow::followsTheDesktopPalette()
{
    QFETCH(bool, dark);
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    if (dark) {
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(45, 45, 48));
        palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
        palette.setColor(QPalette::Base, QColor(30, 30, 30));
        palette.setColor(QPalette::Text, QColor(230, 230, 230));
        palette.setColor(QPalette::Button, QColor(53, 53, 56));
        palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        QApplication::setPalette(palette);
    }
    Fixture f;
    f.window.Main();
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));

    const auto caption = [&f](const char *name) {
        return f.window.findChild<QLabel *>(QString::fromLatin1(name))->palette().color(QPalette::WindowText);
    };
    QCOMPARE(caption("Lmon"), dark ? QColor(230, 230, 230) : QColor(Qt::black));
    QCOMPARE(caption("Lcom"), dark ? QColor(128, 128, 128) : QColor(0xC0, 0xC0, 0xC0));

    const QImage bar = f.window.findChild<QToolBar *>(QStringLiteral("barra"))->grab().toImage();
    qint64 lightness = 0;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            lightness += bar.pixelColor(x, y).lightness();
    const qint64 mean = lightness / (qint64(bar.width()) * bar.height());
    QVERIFY2(dark ? mean < 110 : mean > 200, qPrintable(QString::number(mean)));

    const QImage clear = ShellResources::icon(QStringLiteral("clear")).pixmap(32, 32).toImage();
    int slate = 0;
    for (int y = 0; y < clear.height(); ++y)
        for (int x = 0; x < clear.width(); ++x)
            slate += clear.pixelColor(x, y).alpha() == 255 && clear.pixelColor(x, y).rgb() == QColor(0x4a, 0x55, 0x68).rgb();
    QCOMPARE(slate > 0, !dark);
}

void TestMainWindow::loadSequence()
{
    Fixture f;
    f.settings.save(SettingKeys::ServerIP, QStringLiteral("127.0.0.1"));
    f.settings.save(SettingKeys::ServerPORT, QStringLiteral("20123"));
    f.settings.save(SettingKeys::Password, QStringLiteral("12345"));
    f.settings.save(SettingKeys::RecentCmd, QStringLiteral("*1*1*11##"));
    f.settings.save(SettingKeys::OptionSection, SettingKeys::whoKey(2), QStringLiteral("1"));
    f.settings.save(SettingKeys::OptionSection, SettingKeys::whoLKey(3), QStringLiteral("0"));
    f.window.Main();

    QVERIFY(f.window.isVisible());
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Tarn  V.1.0.4B5"));
    QCOMPARE(f.window.stage(), QStringLiteral("load voice"));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.engine.confLoads, 1);
    QCOMPARE(f.engine.languages, QStringList{QStringLiteral("italian")});
    QCOMPARE(f.state.link.IpGateway, QStringLiteral("127.0.0.1"));
    QCOMPARE(f.state.link.PortaGateway, QStringLiteral("20123"));
    QCOMPARE(f.state.link.PasswordGateway, QStringLiteral("12345"));
    QCOMPARE(f.window.Tcmd().text(), QStringLiteral("*1*1*11##"));
    QCOMPARE(f.state.filters.Who, (std::array<int, 9>{1, 1, 1, 1, 1, 1, 1, 0, 1}));
    QCOMPARE(f.state.filters.WhoA, (std::array<int, 9>{1, 1, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(f.state.filters.WhoL, (std::array<int, 9>{1, 1, 1, 0, 1, 1, 1, 1, 1}));
    QCOMPARE(child<QLabel>(f.window, "Lmon").text(), QStringLiteral("Monitor"));
    QCOMPARE(child<QMenu>(f.window, "meterMenu").actions().at(1)->text(), QStringLiteral("  Corrente"));
    QCOMPARE(f.window.statusText(), QStringLiteral("Fermo"));
    QVERIFY(!child<QAction>(f.window, "barraButton1").icon().isNull());
    QCOMPARE(f.window.monitorButtonImage(), 1);
    QVERIFY(f.window.MyTray() != nullptr);
}

void TestMainWindow::languageMenu_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("checked");
    // The fixture's folder holds italian.lng.
    QTest::newRow("case ignored") << QStringList{"English.lng"} << "ENGLISH" << QStringList{"English", "italian"}
                                  << "English";
    QTest::newRow("a setting naming no file ticks none") << QStringList{} << "english" << QStringList{"italian"}
                                                          << "";
    QTest::newRow("other files ignored") << QStringList{"german.lng", "conf.xml", "notes.txt"} << "german"
                                         << QStringList{"german", "italian"} << "german";
}

void TestMainWindow::languageMenu()
{
    QFETCH(QStringList, files);
    QFETCH(QString, setting);
    QFETCH(QStringList, captions);
    QFETCH(QString, checked);
    Fixture f;
    for (const QString &name : files)
        QVERIFY(f.dir.write(name, QByteArray("[Version]\r\nini=1.0.4\r\n")));
    f.settings.save(SettingKeys::Language, setting);
    f.window.Main();
    QStringList shown;
    QString mark;
    for (QAction *a : f.window.findChildren<QAction *>(QStringLiteral("mSetLingua"))) {
        shown << a->text();
        if (a->isChecked())
            mark = a->text();
    }
    QCOMPARE(shown, captions);
    QCOMPARE(mark, checked);
    QCOMPARE(f.engine.languages, QStringList{setting});
}

void TestMainWindow::languageSwitch()
{
    Fixture f;
    QVERIFY(f.dir.write(QStringLiteral("english.lng"), QByteArray()));
    QVERIFY(f.dir.write(QStringLiteral("italian.lng"), QByteArray()));
    f.window.Main();
    f.window.mSetLingua_Click(0);
    QCOMPARE(f.engine.languages.last(), QStringLiteral("english"));
    QCOMPARE(f.settings.read(SettingKeys::Language), QStringLiteral("english"));
    QCOMPARE(f.state.lang.Lingua, QStringLiteral("english"));
    QVERIFY(f.window.findChildren<QAction *>(QStringLiteral("mSetLingua")).at(0)->isChecked());
    QVERIFY(!f.window.findChildren<QAction *>(QStringLiteral("mSetLingua")).at(1)->isChecked());
}

void TestMainWindow::languageSwitchKeepsStatus_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("after");
    QTest::newRow("a language text: said again") << "Fermo" << "Monitor off";
    QTest::newRow("language text with frames after it")
        << "Nessuna risposta:  *1*1*11##" << "No answer:  *1*1*11##";
    QTest::newRow("not a language text: kept") << "127.0.0.1 busy" << "127.0.0.1 busy";
}

void TestMainWindow::languageSwitchKeepsStatus()
{
    QFETCH(QString, shown);
    QFETCH(QString, after);
    Fixture f;
    QVERIFY(f.dir.write(QStringLiteral("english.lng"), QByteArray()));
    f.window.Main();
    f.window.setStatusText(shown);
    f.window.mSetLingua_Click(0);
    QCOMPARE(f.engine.languages.last(), QStringLiteral("english"));
    QCOMPARE(f.window.statusText(), after);
}

void TestMainWindow::noLanguageFileEnds()
{
    Fixture f;
    QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("italian.lng"))));
    QSignalSpy ended(&f.window, &FrmMain::programEnded);
    f.window.Main();
    QCOMPARE(f.boxes.shown.size(), 1);
    // Built in and in both languages: nothing could be read to say it otherwise.
    QVERIFY(f.boxes.shown.first().text.contains(QDir::toNativeSeparators(f.dir.path())));
    QVERIFY(f.boxes.shown.first().text.contains(QStringLiteral("No language file")));
    QVERIFY(f.boxes.shown.first().text.contains(QStringLiteral("Nessun file di lingua")));
    QVERIFY(f.engine.languages.isEmpty());
    QVERIFY(!f.window.isVisible());
    QVERIFY(ended.wait(3000));
}

void TestMainWindow::gatewayPortSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("used");
    QTest::addColumn<bool>("logged");
    QTest::newRow("a port") << "20123" << "20123" << false;
    QTest::newRow("the highest port") << "65535" << "65535" << false;
    QTest::newRow("not a number") << "abc" << "20000" << true;
    QTest::newRow("zero") << "0" << "20000" << true;
    QTest::newRow("beyond 65535") << "65536" << "20000" << true;
    QTest::newRow("empty") << "" << "20000" << true;
}

// A bad port does not stop the start-up halfway: the default is used and the pane says why.
void TestMainWindow::gatewayPortSetting()
{
    QFETCH(QString, stored);
    QFETCH(QString, used);
    QFETCH(bool, logged);
    Fixture f;
    f.settings.save(SettingKeys::ServerPORT, stored);
    f.window.Main();
    QCOMPARE(f.window.stage(), QStringLiteral("load voice"));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.state.link.PortaGateway, used);
    QCOMPARE(f.window.Tlog().text().contains(QStringLiteral("\"") + stored + QStringLiteral("\"")), logged);
}

void TestMainWindow::monitorSetting_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<int>("opens");
    QTest::newRow("Monitor 1 starts the link a second later") << "1" << 1;
    QTest::newRow("Monitor 0 waits for the user") << "0" << 0;
}

void TestMainWindow::monitorSetting()
{
    QFETCH(QString, monitor);
    QFETCH(int, opens);
    Fixture f;
    f.settings.save(SettingKeys::Monitor, monitor);
    QElapsedTimer clock;
    clock.start();
    f.window.Main();
    QCOMPARE(f.engine.opens, 0);
    if (opens) {
        QCOMPARE(f.window.monitorButtonImage(), 2);
        QVERIFY(f.window.Tlog().text().endsWith(QStringLiteral(": Avvio monitor\r\n\r\n")));
        QTRY_COMPARE_WITH_TIMEOUT(f.engine.opens, 1, 3000);
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(f.window.statusText(), QStringLiteral("Attendere"));
    } else {
        QTest::qWait(1300);
        QCOMPARE(f.engine.opens, 0);
        QCOMPARE(f.window.statusText(), QStringLiteral("Fermo"));
        QCOMPARE(f.window.Tlog().length(), 0);
    }
}

void TestMainWindow::confFailureEndsProgram()
{
    Fixture f;
    f.engine.confResult = false;
    f.settings.save(SettingKeys::Monitor, QStringLiteral("1"));
    QSignalSpy ended(&f.window, &FrmMain::programEnded);
    f.window.Main();
    QVERIFY(!f.window.isVisible());
    QCOMPARE(f.window.stage(), QStringLiteral("load conf"));
    QVERIFY(f.state.InChiusura);
    QVERIFY(ended.wait(3000));
    QCOMPARE(f.engine.opens, 0);
    QVERIFY(!child<QTimer>(f.window, "Tmon").isActive());
}

void TestMainWindow::badSettingStopsWithStageMessage()
{
    Fixture f;
    f.settings.save(SettingKeys::Fx, QStringLiteral("lots"));
    f.window.Main();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown.first().title, QStringLiteral("initializing"));
    QCOMPARE(f.boxes.shown.first().icon, MessageBoxService::Icon::Critical);
    QVERIFY(f.boxes.shown.first().text.contains(QStringLiteral(" - ")));
    QVERIFY(f.engine.languages.isEmpty());
    QCOMPARE(f.engine.confLoads, 0);
    QVERIFY(f.window.isVisible());
}

void TestMainWindow::characterSetting_data()
{
    QTest::addColumn<QString>("agent");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QString>("saved");
    QTest::newRow("empty name: tried, fails, saved empty") << "" << 1 << "";
    QTest::newRow("zero: none") << "0" << 0 << "0";
    QTest::newRow("a name that cannot load") << "merlin" << 1 << "";
}

void TestMainWindow::characterSetting()
{
    QFETCH(QString, agent);
    QFETCH(int, attempts);
    QFETCH(QString, saved);
    Fixture f;
    f.settings.save(SettingKeys::Agent, agent);
    f.window.Main();
    QCOMPARE(f.stages.ran.filter(QStringLiteral("loadCharacter")).size(), attempts);
    QCOMPARE(f.settings.read(SettingKeys::Agent), saved);
    QVERIFY(!f.window.AgentCaricato());
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestMainWindow::outsideStagesFollowTheirSettings_data()
{
    QTest::addColumn<QString>("wschum");
    QTest::addColumn<QString>("startChk");
    QTest::addColumn<QStringList>("atStart");
    const QString character = QStringLiteral("loadCharacter Civetta");
    QTest::newRow("remote services and update check")
        << "1" << "1" << QStringList{"startRemoteAccess", "startUpdateCheck", character};
    QTest::newRow("remote services only") << "1" << "0" << QStringList{"startRemoteAccess", character};
    QTest::newRow("update check only") << "0" << "1" << QStringList{"startUpdateCheck", character};
    QTest::newRow("neither") << "0" << "0" << QStringList{character};
}

// What the window starts outside the shell, in its start-up's order; the closing stops the
// remote services and ends the update check and the character whatever was started.
void TestMainWindow::outsideStagesFollowTheirSettings()
{
    QFETCH(QString, wschum);
    QFETCH(QString, startChk);
    QFETCH(QStringList, atStart);
    Fixture f;
    f.settings.save(SettingKeys::WsChum, wschum);
    f.settings.save(SettingKeys::StartChk, startChk);
    f.settings.save(SettingKeys::Agent, QStringLiteral("Civetta"));
    f.stages.characterLoads = [](const QString &) { return true; };
    f.window.Main();
    QCOMPARE(f.stages.ran, atStart);
    QVERIFY(f.window.AgentCaricato());
    f.window.requestUnload();
    const QStringList atClosing{"stopRemoteAccess", "closeShellFeatures"};
    QCOMPARE(f.stages.ran, atStart + atClosing);
}

void TestMainWindow::secondInstance()
{
    Fixture f;
    QLockFile first(f.dir.filePath(QStringLiteral("ombrix.lock")));
    QVERIFY(first.tryLock(0));
    f.settings.save(SettingKeys::Monitor, QStringLiteral("1"));
    QSignalSpy ended(&f.window, &FrmMain::programEnded);
    QElapsedTimer clock;
    clock.start();
    f.window.Main();
    QVERIFY(f.window.isSecondInstance());
    QCOMPARE(f.window.windowTitle(), QString());
    QVERIFY(!f.window.isVisible());
    QVERIFY(f.engine.languages.isEmpty());
    QCOMPARE(f.engine.confLoads, 0);
    QVERIFY(f.boxes.shown.isEmpty());
    QVERIFY(f.window.MyTray() == nullptr || !f.window.MyTray()->isShown());
    QVERIFY(ended.wait(3000));
    QVERIFY(clock.elapsed() >= 900);
    QCOMPARE(f.engine.opens, 0);
}

void TestMainWindow::closingPhases()
{
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    QSignalSpy ended(&f.window, &FrmMain::programEnded);
    QVERIFY(!f.window.close()); // the close box: refused, window hidden
    QVERIFY(f.state.InChiusura);
    QVERIFY(f.window.ChiusuraAvviata());
    QVERIFY(!f.window.isVisible());
    QCOMPARE(f.engine.linkCloses, 1);
    QCOMPARE(windows.unloads.mid(0, 4), (QStringList{"FrmBut", "FrmOpt", "FrmMsg", "FrmVolt"}));
    QVERIFY(f.window.MyTray() == nullptr);
    QCOMPARE(ended.count(), 0);
    QVERIFY(child<QTimer>(f.window, "Tclose").isActive());
    QVERIFY(ended.wait(3000));
    QVERIFY(f.window.ChiusuraFinale());
    QVERIFY(!child<QTimer>(f.window, "Tclose").isActive());
}

void TestMainWindow::unloadBetweenPhases()
{
    Fixture f;
    f.window.Main();
    QSignalSpy ended(&f.window, &FrmMain::programEnded);
    f.window.requestUnload();
    QCOMPARE(ended.count(), 0);
    f.window.requestUnload();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!f.window.ChiusuraFinale());
    QTest::qWait(1300);
    QCOMPARE(ended.count(), 1);
}

void TestMainWindow::minimizedStart_data()
{
    QTest::addColumn<bool>("tray");
    QTest::addColumn<QString>("fx");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("stage");
    QTest::newRow("with a tray: hidden") << true << "1" << false << "load voice";
    QTest::newRow("without a tray: shown") << false << "1" << true << "load voice";
    // The failure comes before the tray icon: hidden, the program could not be reached.
    QTest::newRow("stopped before the tray icon: shown") << true << "lots" << true << "initializing";
}

void TestMainWindow::minimizedStart()
{
    QFETCH(bool, tray);
    QFETCH(QString, fx);
    QFETCH(bool, visible);
    QFETCH(QString, stage);
    // The tray icon appears with its picture, never as an empty slot.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("No Icon set")));
    Fixture f(tray);
    f.settings.save(SettingKeys::Minimized, QStringLiteral("1"));
    f.settings.save(SettingKeys::Fx, fx);
    f.window.Main();
    QCOMPARE(f.window.isVisible(), visible);
    QCOMPARE(f.window.stage(), stage);
}

void TestMainWindow::minimiseHidesOnlyWithTray_data()
{
    QTest::addColumn<bool>("tray");
    QTest::newRow("with a tray: hidden") << true;
    QTest::newRow("without a tray: stays, or it could never come back") << false;
}

void TestMainWindow::minimiseHidesOnlyWithTray()
{
    QFETCH(bool, tray);
    Fixture f(tray);
    f.window.Main();
    QVERIFY(f.window.isVisible());
    f.window.setWindowState(Qt::WindowMinimized);
    QTest::qWait(50);
    QCOMPARE(f.window.isVisible(), !tray);
}

void TestMainWindow::iconLibraryReplacesPictures()
{
    Fixture f;
    PeResourceWriter pe;
    pe.addResource(3, 7, PeResourceWriter::iconImage(32, 24, 0xC80000));
    pe.addResource(3, 8, PeResourceWriter::iconImage(32, 8, 0x00C800));
    pe.addResource(3, 9, PeResourceWriter::iconImage(32, 24, 0x0000C8));
    QVERIFY(f.dir.write(QStringLiteral("ico.icl"), pe.build()));
    f.window.Main();
    QCOMPARE(f.window.images().count(), 2);
    QCOMPARE(child<QComboBox>(f.window, "ImageCombo1").count(), 2);
    QCOMPARE(child<QComboBox>(f.window, "ImageCombo1").itemText(0), QStringLiteral("icon #70 3240 32x32"));
    QCOMPARE(child<QComboBox>(f.window, "ImageCombo1").itemText(1), QStringLiteral("icon #91 3240 32x32"));
    // Button 1 takes image 1; image 3 and beyond are gone, so button 3 has no picture.
    QCOMPARE(child<QAction>(f.window, "barraButton1").icon().pixmap(32, 32).toImage().pixelColor(8, 8), QColor(200, 0, 0));
    QVERIFY(child<QAction>(f.window, "barraButton3").icon().isNull());
    QCOMPARE(f.window.stage(), QStringLiteral("load voice"));
}

namespace {
class UrlRecorder : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { urls << url; }

public:
    QList<QUrl> urls;
};
} // namespace

void TestMainWindow::helpOpensDocument()
{
    Fixture f;
    QVERIFY(f.dir.write(QStringLiteral("Tervdoc.pdf"), QByteArray("%PDF-1.4\n")));
    f.window.Main();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    menuEntry(f.window, QStringLiteral("mHelp"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(f.dir.filePath(QStringLiteral("Tervdoc.pdf")))});
}

void TestMainWindow::entriesFollowWhatIsThere_data()
{
    QTest::addColumn<bool>("windows");
    QTest::addColumn<bool>("document");
    QTest::newRow("nothing built, no document") << false << false;
    QTest::newRow("windows and document there") << true << true;
}

// An entry whose window or document is missing would only send a request or open nothing.
void TestMainWindow::entriesFollowWhatIsThere()
{
    QFETCH(bool, windows);
    QFETCH(bool, document);
    Fixture f;
    FakeWindows host;
    if (windows)
        f.window.setDeviceWindows(&host);
    if (document)
        QVERIFY(f.dir.write(QStringLiteral("Tervdoc.pdf"), QByteArray("%PDF-1.4\n")));
    f.window.Main();
    for (const char *name : {"barraButton5", "barraButton6", "mWaux", "mWprobe", "mWai"})
        QCOMPARE(child<QAction>(f.window, name).isEnabled(), windows);
    QCOMPARE(child<QToolButton>(f.window, "Command1").isEnabled(), windows);
    QCOMPARE(child<QAction>(f.window, "mHelp").isEnabled(), document);
    // Always there: the monitor, saving the log, the scenarios.
    for (const char *name : {"barraButton1", "barraButton3", "barraButton9"})
        QVERIFY(child<QAction>(f.window, name).isEnabled());
}

void TestMainWindow::monitorButtonTwice()
{
    Fixture f;
    f.window.Main();
    f.window.barra_ButtonClick(1);
    QCOMPARE(f.window.monitorButtonImage(), 2);
    QCOMPARE(f.engine.opens, 1);
    QCOMPARE(child<QAction>(f.window, "barraButton1").icon().cacheKey(), f.window.images().icon(2).cacheKey());
    f.window.barra_ButtonClick(1);
    QCOMPARE(f.window.monitorButtonImage(), 1);
    QCOMPARE(f.engine.monitorCloses, 1);
    QCOMPARE(f.engine.opens, 1);
    QVERIFY(f.window.Tlog().text().endsWith(QStringLiteral(": Monitor fermato\r\n")));
    QCOMPARE(f.window.statusText(), QStringLiteral("Fermo"));
}

// Switched off within the first second, the monitor must not open behind the off button.
void TestMainWindow::monitorButtonBeforeDelayedStart()
{
    Fixture f;
    f.settings.save(SettingKeys::Monitor, QStringLiteral("1"));
    f.window.Main();
    QVERIFY(child<QTimer>(f.window, "Tmon").isActive());
    f.window.barra_ButtonClick(1);
    QCOMPARE(f.window.monitorButtonImage(), 1);
    QVERIFY(!child<QTimer>(f.window, "Tmon").isActive());
    QCOMPARE(f.engine.opens, 0);
}

void TestMainWindow::paneTabsAndClear()
{
    Fixture f;
    f.window.Main();
    f.window.Tlog().appendText(QStringLiteral("monitor line\r\n"));
    f.window.TlogC().appendText(QStringLiteral("command line\r\n"));
    // Traffic received into the hidden command pane leaves its caption grey, the visible one black.
    QVERIFY(f.window.isPaneVisible(f.window.Tlog()));
    QVERIFY(!f.window.isPaneVisible(f.window.TlogC()));
    f.window.markPaneUnread(f.window.TlogC());
    f.window.markPaneUnread(f.window.Tlog());
    QCOMPARE(child<QLabel>(f.window, "Lcom").palette().color(QPalette::WindowText), QColor(192, 192, 192));
    QCOMPARE(child<QLabel>(f.window, "Lmon").palette().color(QPalette::WindowText), QColor(0, 0, 0));
    f.window.Ibut_Click(1);
    QVERIFY(f.window.TlogC().isVisible());
    QVERIFY(!f.window.Tlog().isVisible());
    QCOMPARE(child<QLabel>(f.window, "Lcom").palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(child<QLabel>(f.window, "Lmon").palette().color(QPalette::WindowText), QColor(192, 192, 192));
    f.window.Ibut_Click(4);
    QCOMPARE(f.window.TlogC().length(), 0);
    QCOMPARE(f.window.Tlog().length(), 14);
}

void TestMainWindow::longStatusStopsBeforeTheLamps()
{
    Fixture f;
    f.window.Main();
    f.window.resize(780, 540);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    auto &panel = child<QLabel>(f.window, "StBarPanel1");
    const QWidget &lamp = child<QWidget>(f.window, "Lchum");
    // A reason as the links give it when the gateway asks for a password that is not set.
    const QString reason =
        QStringLiteral("Connessione al gateway non riuscita (127.0.0.1:20000): Il gateway chiede la password OPEN ")
        + QStringLiteral("(oppure abilita l'IP 192.0.2.2 sul gateway). Inserire la password in Opzioni, scheda ")
        + QStringLiteral("Connessione, Password (solo cifre)");
    f.window.setStatusText(reason);
    QApplication::processEvents();
    QCOMPARE(f.window.width(), 780);
    QVERIFY(panel.geometry().right() < lamp.geometry().left());
    // Cut on screen, whole for a reader and in the tool tip.
    QCOMPARE(f.window.statusText(), reason);
    QCOMPARE(panel.toolTip(), reason);
    f.window.setStatusText(QStringLiteral("Connesso al gateway"));
    QVERIFY(panel.toolTip().isEmpty());
}

void TestMainWindow::saveVisiblePane_data()
{
    QTest::addColumn<bool>("commandPane");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("monitor") << false << "File Monitor" << "Monitor" << QByteArray("12:00: luce on\r\n\r\n");
    QTest::newRow("commands") << true << "FileComandi" << "Comandi" << QByteArray("12:00: -> *1*1*11##\r\n\r\n");
}

void TestMainWindow::saveVisiblePane()
{
    QFETCH(bool, commandPane);
    QFETCH(QString, title);
    QFETCH(QString, proposed);
    QFETCH(QByteArray, written);
    Fixture f;
    f.window.Main();
    f.window.Tlog().appendText(QStringLiteral("12:00: luce on\r\n"));
    f.window.TlogC().appendText(QStringLiteral("12:00: -> *1*1*11##\r\n"));
    if (commandPane)
        f.window.Ibut_Click(1);

    f.files.answer.clear();
    f.window.barra_ButtonClick(3);
    QCOMPARE(f.files.asked.size(), 1);
    const auto &asked = f.files.asked.first();
    QCOMPARE(asked.mode, FileDialogService::Mode::Save);
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.fileName, proposed);
    QCOMPARE(asked.defaultExtension, QStringLiteral("txt"));
    QCOMPARE(asked.filters.size(), 2);
    QCOMPARE(asked.filters.at(0).description, QStringLiteral("File di testo"));
    QCOMPARE(asked.filters.at(1).pattern, QStringLiteral("*.log"));
    QVERIFY(!QFile::exists(f.dir.filePath(proposed)));

    f.files.answer = f.dir.filePath(QStringLiteral("saved.log"));
    f.window.SalvaLog();
    QCOMPARE(f.dir.read(QStringLiteral("saved.log")), written);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestMainWindow::saveStartsInAFolderThatExists_data()
{
    QTest::addColumn<bool>("documents");
    QTest::newRow("documents folder there") << true;
    QTest::newRow("no documents folder: home") << false;
}

// The program folder may be read-only once installed, and a documents folder that was never
// made cannot take the file: the dialog starts where saving can work.
void TestMainWindow::saveStartsInAFolderThatExists()
{
    QFETCH(bool, documents);
    TestFolder home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        if (oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    if (documents)
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    Fixture f;
    f.window.Main();
    f.files.answer.clear();
    f.window.SalvaLog();
    QCOMPARE(f.files.asked.size(), 1);
    const QString expected = documents ? home.filePath(QStringLiteral("Documents")) : home.path();
    QCOMPARE(QDir(f.files.asked.first().initialFolder).canonicalPath(), QDir(expected).canonicalPath());
}

void TestMainWindow::saveFailure()
{
    Fixture f;
    f.window.Main();
    f.window.Tlog().appendText(QStringLiteral("x\r\n"));
    f.files.answer = f.dir.filePath(QStringLiteral("no-such-folder/out.txt"));
    f.window.SalvaLog();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown.first().title, QStringLiteral("ombrix"));
    QCOMPARE(f.boxes.shown.first().icon, MessageBoxService::Icon::Critical);
    // The message says where and why.
    QVERIFY(f.boxes.shown.first().text.startsWith(QDir::toNativeSeparators(f.files.answer) + QStringLiteral(": ")));
    QVERIFY(f.boxes.shown.first().text.size() > f.files.answer.size() + 2);
    QCOMPARE(f.window.Tlog().text(), QStringLiteral("x\r\n"));
}

void TestMainWindow::saveOnFullDiskKeepsOldLog_data()
{
    QTest::addColumn<NearlyFullFolder::Kind>("kind");
    for (const auto &[kind, name] : NearlyFullFolder::kinds())
        QTest::addRow("%s", name) << kind;
}

// Saving over an earlier log on a full disk: the box says so, and the earlier log is whole.
void TestMainWindow::saveOnFullDiskKeepsOldLog()
{
    QFETCH(NearlyFullFolder::Kind, kind);
    NearlyFullFolder disk(kind);
    if (!disk.isValid())
        QSKIP(qPrintable(disk.whyNot()));
    const QByteArray earlier(2000, 'e');
    QVERIFY(disk.write(QStringLiteral("bus.log"), earlier));
    Fixture f;
    f.window.Main();
    for (int i = 0; i < 400; ++i)
        f.window.Tlog().appendText(QStringLiteral("12:00:00: Luce Soggiorno: accesa (*1*1*11##)\r\n"));
    f.files.answer = disk.filePath(QStringLiteral("bus.log"));
    QVERIFY(disk.runOutOfRoom(8192));
    f.window.SalvaLog();
    disk.makeRoom();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown.first().text,
             QDir::toNativeSeparators(f.files.answer) + QStringLiteral(": ") + disk.reason());
    QCOMPARE(disk.files(), (QMap<QString, QByteArray>{{QStringLiteral("bus.log"), earlier}}));
}

void TestMainWindow::saveAddsTextExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension: text file") << "log of today" << "log of today.txt";
    QTest::newRow("own extension kept") << "bus.log" << "bus.log";
}

void TestMainWindow::saveAddsTextExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    Fixture f;
    f.window.Main();
    f.window.Tlog().appendText(QStringLiteral("x\r\n"));
    f.files.answer = f.dir.filePath(typed);
    f.window.SalvaLog();
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.dir.read(written), QByteArray("x\r\n\r\n"));
}

void TestMainWindow::findThroughWindow()
{
    Fixture f;
    f.window.Main();
    f.window.Tlog().appendText(QStringLiteral("Luce cucina accesa\r\nLuce bagno\r\n"));
    f.window.mFind_Click();
    QVERIFY(child<QWidget>(f.window, "Pfind").isVisible());
    // While the bar is open the caret stays put as lines arrive.
    child<QLineEdit>(f.window, "Tfind").setText(QStringLiteral("luce"));
    f.window.Cfind_Click();
    QCOMPARE(f.window.Tlog().textCursor().selectionStart(), 0);
    f.window.Tlog().appendText(QStringLiteral("Luce garage\r\n"));
    QCOMPARE(f.window.Tlog().textCursor().selectedText(), QStringLiteral("Luce"));
    f.window.Cfind_Click();
    QCOMPARE(f.window.Tlog().textCursor().selectionStart(), 19);
    // The command pane visible: the monitor log is still the one searched.
    f.window.Ibut_Click(1);
    child<QLineEdit>(f.window, "Tfind").setText(QStringLiteral("cantina"));
    f.window.Cfind_Click();
    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Testo non trovato")});
    QCOMPARE(f.boxes.shown.first().title, QStringLiteral("Ombrix"));
    f.window.mFind_Click();
    QVERIFY(!child<QWidget>(f.window, "Pfind").isVisible());
    QVERIFY(child<QLineEdit>(f.window, "Tfind").text().isEmpty());
}

void TestMainWindow::commandBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("usb");
    QTest::addColumn<bool>("acknowledged");
    QTest::addColumn<QString>("tcp");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<quint32>("colour");
    QTest::newRow("acknowledged: green") << "*1*1*11##" << false << true << "*1*1*11##" << "" << CommandBoxWidget::Green;
    QTest::newRow("not acknowledged: left to the link")
        << "*1*1*11##" << false << false << "*1*1*11##" << "" << CommandBoxWidget::Yellow;
    QTest::newRow("serial: green") << "*2*1*21##" << true << true << "" << "*2*1*21##" << CommandBoxWidget::Green;
    QTest::newRow("two frames typed together: one send, in order")
        << "*1*1*11##*1*0*12##" << false << true << "*1*1*11##*1*0*12##" << "" << CommandBoxWidget::Green;
    QTest::newRow("frame typed inside the box's own *##")
        << "**1*1*11####" << false << true << "*1*1*11##" << "" << CommandBoxWidget::Green;
    QTest::newRow("frame typed after the box's own *##")
        << "*##*1*1*11##" << false << true << "*1*1*11##" << "" << CommandBoxWidget::Green;
    QTest::newRow("blanks of a paste dropped") << " *1*1*11## " << false << true << "*1*1*11##" << ""
                                               << CommandBoxWidget::Green;
}

void TestMainWindow::commandBox()
{
    QFETCH(QString, typed);
    QFETCH(bool, usb);
    QFETCH(bool, acknowledged);
    QFETCH(QString, tcp);
    QFETCH(QString, serial);
    QFETCH(quint32, colour);
    Fixture f;
    f.window.Main();
    f.state.link.ModoUsb = usb;
    f.engine.tcpResult = acknowledged;
    f.window.Tcmd().Tsnd().setInterval(100);
    f.window.Tcmd().setText(typed);
    QTest::keyClick(&f.window.Tcmd(), Qt::Key_Return);
    const QString sent = tcp + serial;
    // What went out is what the box shows and what the next start offers again.
    QCOMPARE(f.settings.read(SettingKeys::RecentCmd), sent);
    QCOMPARE(f.window.Tcmd().text(), sent);
    QCOMPARE(f.engine.tcp.join(QLatin1Char('|')), tcp);
    QCOMPARE(f.engine.usb.join(QLatin1Char('|')), serial);
    QCOMPARE(f.window.Tcmd().background(), colour);
    if (colour == CommandBoxWidget::Green)
        QTRY_COMPARE(f.window.Tcmd().background(), CommandBoxWidget::White);
}

void TestMainWindow::refusedText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("status");
    QTest::newRow("letter in a field") << "*1*1*1a##" << "Solo cifre, * e #";
    QTest::newRow("blank inside") << "*1*1 *11##" << "Solo cifre, * e #";
    QTest::newRow("no leading star") << "1*1*11##" << "Inizia con * e finisce con ##";
    QTest::newRow("single closing hash") << "*1*1*11#" << "Inizia con * e finisce con ##";
    QTest::newRow("star alone") << "*" << "Inizia con * e finisce con ##";
    QTest::newRow("frame then a bit of one") << "*1*1*11##*1*0" << "Inizia con * e finisce con ##";
    QTest::newRow("box's own *## alone") << "*##" << "Manca il WHO";
    QTest::newRow("frame then an empty one") << "*1*1*11##*##" << "Manca il WHO";
    // Texts the language file lacks are said in the built-in words.
    QTest::newRow("empty box") << "" << "Nothing to send: type a frame such as *1*1*11##";
}

// A refused text says why, turns the box red for two seconds, and leaves the last command.
void TestMainWindow::refusedText()
{
    QFETCH(QString, typed);
    QFETCH(QString, status);
    Fixture f;
    f.settings.save(SettingKeys::RecentCmd, QStringLiteral("*1*1*11##"));
    f.window.Main();
    f.window.Tcmd().Tsnd().setInterval(100);
    f.window.Tcmd().setText(typed);
    QTest::keyClick(&f.window.Tcmd(), Qt::Key_Return);
    QCOMPARE(f.window.statusText(), status);
    QCOMPARE(f.window.Tcmd().background(), CommandBoxWidget::Red);
    QCOMPARE(f.window.Tcmd().text(), typed);
    QCOMPARE(f.settings.read(SettingKeys::RecentCmd), QStringLiteral("*1*1*11##"));
    QVERIFY(f.engine.tcp.isEmpty() && f.engine.usb.isEmpty());
    QTRY_COMPARE(f.window.Tcmd().background(), CommandBoxWidget::White);
}

void TestMainWindow::meterMarkers()
{
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    QMenu *drop = &child<QMenu>(f.window, "meterMenu");
    f.window.barra_ButtonMenuClick(8, 2);
    QCOMPARE(drop->actions().at(1)->text(), QStringLiteral("\u00BB Corrente"));
    QVERIFY(menuEntry(f.window, QStringLiteral("mWampere"))->isChecked());
    QVERIFY(windows.isVisible(QStringLiteral("FrmAmp")));
    f.window.barra_ButtonMenuClick(8, 2);
    QCOMPARE(drop->actions().at(1)->text(), QStringLiteral("  Corrente"));
    QVERIFY(!menuEntry(f.window, QStringLiteral("mWampere"))->isChecked());
    QCOMPARE(windows.unloads, QStringList{QStringLiteral("FrmAmp")});
    QCOMPARE(drop->actions().at(0)->text(), QStringLiteral("  "));
}

void TestMainWindow::windowMenuEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::newRow("auxiliary channels") << "mWaux" << "FrmAux";
    QTest::newRow("alarm") << "mWai" << "FrmAI";
    QTest::newRow("current meter") << "mWampere" << "FrmAmp";
}

// Chosen from the menu bar, an entry opens its window, a second choice closes (or hides) it,
// and the check mark follows the window both times.
void TestMainWindow::windowMenuEntries()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    QAction *a = menuEntry(f.window, entry);
    QVERIFY(a && a->isEnabled());
    a->trigger();
    QVERIFY(windows.isVisible(window));
    QVERIFY(a->isChecked());
    a->trigger();
    QVERIFY(!windows.isVisible(window));
    QVERIFY(!a->isChecked());
}

// The camera window closes itself; its entry loses the check it got when the window opened.
void TestMainWindow::cameraEntryFollowsItsWindow()
{
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    QAction *a = menuEntry(f.window, QStringLiteral("mWcam"));
    a->trigger();
    QVERIFY(windows.isVisible(QStringLiteral("FrmCamera")));
    QVERIFY(a->isChecked());
    f.window.windowUnloaded(QStringLiteral("FrmCamera"));
    QVERIFY(!a->isChecked());
}

void TestMainWindow::scenarioFrames()
{
    Fixture f;
    auto &s = f.state.model.ScenariF420;
    s[5] = {QStringLiteral("Cena"), QStringLiteral("01"), QStringLiteral("1")};
    s[6] = {QStringLiteral("Notte"), QStringLiteral("01"), QStringLiteral("0")};
    f.state.model.ConfCaricata = true;
    f.window.Main();
    QCOMPARE(f.engine.confLoads, 0);
    const QList<QAction *> entries = child<QMenu>(f.window, "scenarioMenu").actions();
    QCOMPARE(entries.size(), 16);
    QCOMPARE(entries.at(4)->text(), QStringLiteral("5 - Cena"));
    QCOMPARE(entries.at(0)->text(), QStringLiteral("1 - "));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(entries.at(i)->isEnabled(), i == 4);
    entries.at(4)->trigger();
    QCOMPARE(f.engine.tcp, QStringList{QStringLiteral("*0*5*01##")});
    f.state.link.ModoUsb = true;
    entries.at(4)->trigger();
    QCOMPARE(f.engine.usb, QStringList{QStringLiteral("*0*5*01##")});
}

void TestMainWindow::scenarioSubmenu()
{
    Fixture f;
    f.state.model.ScenariF420[5] = {QStringLiteral("Cena"), QStringLiteral("01"), QStringLiteral("1")};
    QMenu tray;
    QAction *before = tray.addAction(QStringLiteral("9"));
    QMenu *sub = f.window.CreaMenuScenari(&tray, QStringLiteral("Scenari"), before);
    QCOMPARE(tray.actions().first()->menu(), sub);
    QCOMPARE(sub->title(), QStringLiteral("Scenari"));
    const QList<QAction *> entries = sub->actions();
    QCOMPARE(entries.size(), 16);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(entries.at(i)->data().toInt(), 101 + i);
        QCOMPARE(entries.at(i)->isEnabled(), i == 4);
    }
    QCOMPARE(entries.at(4)->text(), QStringLiteral("5 - Cena"));
    f.window.CreaMenuScenari(&tray, QStringLiteral("Altri"));
    QCOMPARE(tray.actions().last()->menu()->title(), QStringLiteral("Altri"));
}

void TestMainWindow::statusRequestsOncePerRun_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("acknowledged");
    QTest::newRow("auxiliary, acknowledged") << false << "*#9##" << true;
    QTest::newRow("auxiliary, no answer") << false << "*#9##" << false;
    QTest::newRow("alarm") << true << "*#5##" << true;
}

void TestMainWindow::statusRequestsOncePerRun()
{
    QFETCH(bool, alarm);
    QFETCH(QString, frame);
    QFETCH(bool, acknowledged);
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    f.engine.tcpResult = acknowledged;
    f.state.link.ModoUsb = true; // status requests always take the TCP link
    const auto press = [&] { alarm ? f.window.Command1_Click() : f.window.barra_ButtonClick(5); };
    press();
    QCOMPARE(f.engine.tcp, QStringList{frame});
    QCOMPARE(f.engine.requestFlagDuringSend, QList<bool>{true});
    // Whatever the answer, later auxiliary frames are not held back.
    QVERIFY(!f.state.live.RichiestaStato);
    const QString name = alarm ? QStringLiteral("FrmAI") : QStringLiteral("FrmAux");
    QVERIFY(windows.isVisible(name));
    QVERIFY(menuEntry(f.window, alarm ? QStringLiteral("mWai") : QStringLiteral("mWaux"))->isChecked());
    if (!alarm)
        QCOMPARE(windows.refreshed, QStringList{QStringLiteral("FrmAux")});
    press(); // visible: hidden
    QVERIFY(!windows.isVisible(name));
    QVERIFY(!menuEntry(f.window, alarm ? QStringLiteral("mWai") : QStringLiteral("mWaux"))->isChecked());
    windows.unload(name); // closed by other means
    press();
    QVERIFY(windows.isVisible(name));
    QCOMPARE(f.engine.tcp.size(), 1);
}

void TestMainWindow::probeBatchWaitsForBusyLink()
{
    Fixture f;
    f.state.model.Sonde[1] = QStringLiteral("Soggiorno");
    f.state.model.Sonde[2] = QStringLiteral("Camera");
    f.window.Main();
    f.state.link.InInvio = true;
    QTimer::singleShot(300, &f.window, [&f] { f.state.link.InInvio = false; });
    QElapsedTimer clock;
    clock.start();
    f.window.barra_ButtonClick(6);
    QVERIFY(clock.elapsed() >= 250);
    QCOMPARE(f.engine.tcp, (QStringList{QStringLiteral("*#4*1*0##*#4*1*12##*#4*1*13##*#4*1*19##"),
                                        QStringLiteral("*#4*2*0##*#4*2*12##*#4*2*13##*#4*2*19##")}));
    QCOMPARE(f.engine.sendBusyWhenCalled, (QList<bool>{false, false}));
}

void TestMainWindow::probeWaitEndsWhenClosing()
{
    Fixture f;
    f.state.model.Sonde[1] = QStringLiteral("Soggiorno");
    f.window.Main();
    f.state.link.InInvio = true;
    QTimer::singleShot(200, &f.window, [&f] { f.state.InChiusura = true; });
    QElapsedTimer clock;
    clock.start();
    f.window.barra_ButtonClick(6);
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(f.engine.tcp.isEmpty());
}

void TestMainWindow::probeWindowsToggle()
{
    Fixture f;
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    for (int z = 1; z <= 3; ++z)
        f.state.model.Sonde[size_t(z)] = QStringLiteral("Zona %1").arg(z);
    f.state.link.ModoUsb = true;
    f.window.Main();
    f.window.barra_ButtonClick(6);
    QCOMPARE(windows.probes, (QStringList{"1=Zona 1", "2=Zona 2", "3=Zona 3"}));
    QCOMPARE(f.window.shellOptions().SondeAperte, QStringLiteral("1,2,3"));
    QCOMPARE(f.engine.usb.size(), 3);
    QVERIFY(f.window.FormAperto(QStringLiteral("FrmProbe2"), QString()));
    QVERIFY(f.window.shellOptions().FinestreSonda[2]->y() < f.window.shellOptions().FinestreSonda[1]->y());
    // The stack starts above the notice's default place: the person sees both.
    const ShellOptions &options = f.window.shellOptions();
    const QRect notice(int(options.MsgPosX.toDouble() / 15), options.MsgPosY / 15, 360, 61);
    QCOMPARE(notice.bottom() + 1, QGuiApplication::primaryScreen()->availableGeometry().bottom() + 1);
    for (int z = 1; z <= 3; ++z)
        QVERIFY2(!options.FinestreSonda[size_t(z)]->frameGeometry().intersects(notice), qPrintable(QString::number(z)));
    QVERIFY(menuEntry(f.window, QStringLiteral("mWprobe"))->isChecked());
    f.window.barra_ButtonClick(6);
    QVERIFY(f.window.shellOptions().SondeAperte.isEmpty());
    QVERIFY(!f.window.FormAperto(QStringLiteral("FrmProbe2"), QString()));
    QVERIFY(!menuEntry(f.window, QStringLiteral("mWprobe"))->isChecked());
    QCOMPARE(f.engine.usb.size(), 3);
}

void TestMainWindow::trayMenuDrivesTheWindow()
{
    Fixture f(true);
    FakeWindows windows;
    f.window.setDeviceWindows(&windows);
    f.window.Main();
    f.window.hide();
    f.window.trayMenu().act(TrayMenu::Open);
    QVERIFY(f.window.isVisible());

    f.window.trayMenu().act(TrayMenu::StartStop);
    QCOMPARE(f.window.monitorButtonImage(), 2);
    QCOMPARE(f.engine.opens, 1);
    QCOMPARE(f.window.trayMenu().build(f.window.monitorButtonImage(), windows)->actions().at(1)->text(),
             f.state.lang.t(QStringLiteral("Traystop")));
    f.window.trayMenu().act(TrayMenu::StartStop);
    QCOMPARE(f.window.monitorButtonImage(), 1);
    QCOMPARE(f.engine.monitorCloses, 1);

    f.state.model.ScenariF420[2].address = QStringLiteral("05");
    f.window.trayMenu().act(TrayMenu::Scenario1 + 1);
    QCOMPARE(f.engine.tcp.last(), QStringLiteral("*0*2*05##"));
    f.state.link.ModoUsb = true;
    f.window.trayMenu().act(TrayMenu::Scenario1 + 1);
    QCOMPARE(f.engine.usb.last(), QStringLiteral("*0*2*05##"));

    f.window.trayMenu().act(TrayMenu::Options);
    QVERIFY(windows.visible.contains(QStringLiteral("FrmOpt")));

    // Exit: the icon goes, then the auxiliary window, then the closing starts.
    QVERIFY(f.window.MyTray()->isShown());
    f.window.trayMenu().act(TrayMenu::Exit);
    QVERIFY(f.window.MyTray() == nullptr);
    QCOMPARE(windows.unloads.first(), QStringLiteral("FrmAux"));
    QVERIFY(f.window.ChiusuraAvviata());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
