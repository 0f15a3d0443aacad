#include "shell/main/DeviceWindows.h"
#include "engine/model/EngineState.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "support/TestFolder.h"
#include "shell/services/TrayIcon.h"
#include "shell/tray/TrayMenu.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

namespace {

class SomeWindows : public NoDeviceWindows
{
public:
    explicit SomeWindows(QStringList names) : m_names(std::move(names)) {}
    bool provides(const QString &name) const override { return m_names.contains(name); }

private:
    QStringList m_names;
};

struct Menu
{
    Menu() : settings(folder.settingsFile())
    {
        auto &t = state.lang.text;
        t.insert(QStringLiteral("Open"), QStringLiteral("Open Tervalia"));
        t.insert(QStringLiteral("Traystart"), QStringLiteral("Start the monitor"));
        t.insert(QStringLiteral("Traystop"), QStringLiteral("Stop the monitor"));
        t.insert(QStringLiteral("Options"), QStringLiteral("Options"));
        t.insert(QStringLiteral("Exit"), QStringLiteral("Exit"));
        state.lang.NomiProg = {QStringLiteral("calc"), QStringLiteral("...")};
        state.model.ScenariF420[3].defined = QStringLiteral("1");
        state.model.ScenariF420[3].name = QStringLiteral("Cinema");
        settings.save(SettingKeys::LaunchSection, SettingKeys::launchProgKey(1), QStringLiteral("1"));
        settings.save(SettingKeys::LaunchSection, SettingKeys::launchPathKey(1), QStringLiteral("/usr/bin/calc"));
        menu = std::make_unique<TrayMenu>(
            state, settings,
            TrayMenu::Actions{[this] { done << QStringLiteral("restore"); },
                              [this] { done << QStringLiteral("monitor"); },
                              [this](const QString &name) { done << QStringLiteral("show ") + name; },
                              [this] { done << QStringLiteral("exit"); },
                              [this](int k) { done << QStringLiteral("scenario %1").arg(k); },
                              [this](const QUrl &url) { done << QStringLiteral("open ") + url.toString(); }});
    }

    TestFolder folder;
    EngineState state;
    ProgramSettings settings;
    std::unique_ptr<TrayMenu> menu;
    QStringList done;
};

// One line per entry: identifier, text (or "-"), and its state.
QStringList describe(const QMenu &menu)
{
    QStringList out;
    for (const QAction *a : menu.actions()) {
        QString line = QString::number(TrayMenu::identifier(a)) + QLatin1Char(' ')
                       + (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->title() : a->text());
        if (!a->isEnabled())
            line += QStringLiteral(" (greyed)");
        if (menu.defaultAction() == a)
            line += QStringLiteral(" (default)");
        out << line;
    }
    return out;
}

} // namespace

class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void menuEntries_data();
    void menuEntries();
    void scenarioSubmenu();
    void menuChoices_data();
    void menuChoices();
    void launchSlotWithoutPathOpensNothing();
    void clickShowsStatusOnlyWhenNoDoubleClickFollows();
    void rightClickAsksForTheMenu();
    void statusText();
    void balloons();
    void nothingWhileClosingOrWithoutTray();
};

void TestTray::menuEntries_data()
{
    QTest::addColumn<int>("monitorImage");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("monitor off, no options or about window yet")
        << 1 << QStringList{}
        << QStringList{"1 Open Tervalia (default)", "2 Start the monitor", "3 -", "4 calc", "5 ... (greyed)", "6 -",
                       "7 Options (greyed)", "8 -", "0 Scenari", "6 -", "9 About.. (greyed)", "10 Exit"};
    QTest::newRow("monitor on, both windows there")
        << 2 << QStringList{QStringLiteral("FrmOpt"), QStringLiteral("frmAbout")}
        << QStringList{"1 Open Tervalia (default)", "2 Stop the monitor", "3 -", "4 calc", "5 ... (greyed)", "6 -",
                       "7 Options", "8 -", "0 Scenari", "6 -", "9 About..", "10 Exit"};
}

void TestTray::menuEntries()
{
    QFETCH(int, monitorImage);
    QFETCH(QStringList, windows);
    QFETCH(QStringList, expected);
    Menu m;
    const auto menu = m.menu->build(monitorImage, SomeWindows(windows));
    QCOMPARE(describe(*menu), expected);
}

void TestTray::scenarioSubmenu()
{
    Menu m;
    const auto menu = m.menu->build(1, NoDeviceWindows());
    const QMenu *sub = menu->actions().at(8)->menu();
    QVERIFY(sub);
    QCOMPARE(sub->actions().size(), 16);
    QCOMPARE(TrayMenu::identifier(sub->actions().first()), 101);
    QCOMPARE(TrayMenu::identifier(sub->actions().last()), 116);
    QVERIFY(sub->actions().at(2)->isEnabled());
    QVERIFY(sub->actions().at(2)->text().contains(QStringLiteral("Cinema")));
    QVERIFY(!sub->actions().at(3)->isEnabled());
}

void TestTray::menuChoices_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("open") << 1 << QStringList{"restore"};
    QTest::newRow("start/stop") << 2 << QStringList{"monitor"};
    QTest::newRow("first program") << 4 << QStringList{"open file:///usr/bin/calc"};
    QTest::newRow("options") << 7 << QStringList{"show FrmOpt"};
    QTest::newRow("about") << 9 << QStringList{"show frmAbout"};
    QTest::newRow("exit") << 10 << QStringList{"exit"};
    QTest::newRow("scenario 1") << 101 << QStringList{"scenario 1"};
    QTest::newRow("scenario 16") << 116 << QStringList{"scenario 16"};
    QTest::newRow("dismissed") << 0 << QStringList{};
    QTest::newRow("a separator's number") << 3 << QStringList{};
    QTest::newRow("past the scenarios") << 117 << QStringList{};
}

void TestTray::menuChoices()
{
    QFETCH(int, id);
    QFETCH(QStringList, expected);
    Menu m;
    m.menu->act(id);
    QCOMPARE(m.done, expected);
}

void TestTray::launchSlotWithoutPathOpensNothing()
{
    Menu m;
    m.settings.save(SettingKeys::LaunchSection, SettingKeys::launchProgKey(2), QStringLiteral("1"));
    QVERIFY(m.menu->build(1, NoDeviceWindows())->actions().at(4)->isEnabled());
    m.menu->act(TrayMenu::Prog2);
    QVERIFY(m.done.isEmpty());
}

void TestTray::clickShowsStatusOnlyWhenNoDoubleClickFollows()
{
    const bool closing = false;
    TrayIcon tray(closing, false);
    QSignalSpy status(&tray, &TrayIcon::statusRequested);
    QSignalSpy restore(&tray, &TrayIcon::restoreRequested);

    tray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(status.isEmpty());
    QVERIFY(tray.Tclick()->isActive());
    QCOMPARE(tray.Tclick()->interval(), QApplication::doubleClickInterval());
    QVERIFY(status.wait(QApplication::doubleClickInterval() + 2000));
    QCOMPARE(status.size(), 1);
    QVERIFY(restore.isEmpty());

    // A double click: the first click is withdrawn, the window comes back, no balloon.
    tray.showStatus(QStringLiteral("up"));
    tray.activated(QSystemTrayIcon::Trigger);
    tray.activated(QSystemTrayIcon::DoubleClick);
    QCOMPARE(restore.size(), 1);
    QVERIFY(!tray.Tclick()->isActive());
    QVERIFY(!tray.Tpop()->isActive());
    QCOMPARE(tray.balloonText(), QString());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(status.size(), 1);

    // The next single click is a click again.
    tray.activated(QSystemTrayIcon::Trigger);
    QVERIFY(status.wait(QApplication::doubleClickInterval() + 2000));
    QCOMPARE(status.size(), 2);
}

void TestTray::rightClickAsksForTheMenu()
{
    const bool closing = false;
    TrayIcon tray(closing, false);
    QSignalSpy menu(&tray, &TrayIcon::menuRequested);
    QSignalSpy status(&tray, &TrayIcon::statusRequested);
    tray.activated(QSystemTrayIcon::Context);
    QCOMPARE(menu.size(), 1);
    // Other mouse messages do nothing.
    for (int m : {512, 513, 517, 521})
        tray.Form_MouseMove(m);
    QCOMPARE(menu.size(), 1);
    QVERIFY(status.isEmpty());
}

void TestTray::statusText()
{
    LanguageTexts lang;
    lang.text.insert(QStringLiteral("RClick"), QStringLiteral("Right-click the icon for the menu"));
    lang.text.insert(QStringLiteral("Lastmsg"), QStringLiteral("Last message:"));
    LiveState live;
    QCOMPARE(TrayMenu::statusText(lang, live), QStringLiteral("Right-click the icon for the menu"));
    live.UltimoMessaggio = QStringLiteral("Luce cucina ON");
    live.OraUltimoMessaggio = QTime(9, 5, 7);
    const QString text = TrayMenu::statusText(lang, live);
    QVERIFY2(text.startsWith(QStringLiteral("Last message:\r\n")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(" : Luce cucina ON")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("05:07")), qPrintable(text));
}

void TestTray::balloons()
{
    const bool closing = false;
    TrayIcon tray(closing, true);
    tray.I_Show();
    tray.MostraBalloon(QStringLiteral("first"), QStringLiteral("A"));
    tray.MSG(QStringLiteral("A new version is out"));
    QCOMPARE(tray.balloonText(), QStringLiteral("A new version is out"));
    QCOMPARE(tray.balloonTitle(), ProgramIdentity::TitoloApp);
    QVERIFY(!tray.Tpop()->isActive());

    tray.showStatus(QStringLiteral("status"));
    QCOMPARE(tray.balloonText(), QStringLiteral("status"));
    QVERIFY(tray.Tpop()->isActive());
    QCOMPARE(tray.Tpop()->interval(), 10000);
    // The 10 seconds, hastened: the balloon goes and the timer stops.
    tray.Tpop()->start(1);
    QTRY_COMPARE(tray.balloonText(), QString());
    QVERIFY(!tray.Tpop()->isActive());
}

void TestTray::nothingWhileClosingOrWithoutTray()
{
    bool closing = true;
    TrayIcon tray(closing, true);
    tray.I_Show();
    QVERIFY(!tray.isShown());
    closing = false;
    TrayIcon none(closing, false);
    none.I_Show();
    QVERIFY(!none.isShown());
    // Idle: no timer runs.
    for (const TrayIcon *t : {&tray, &none}) {
        QVERIFY(!t->Tpop()->isActive());
        QVERIFY(!t->Tclick()->isActive());
    }
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
