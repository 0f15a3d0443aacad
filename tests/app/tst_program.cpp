#include "ProgramFixture.h"
#include "demo-gateway/DemoScript.h"
#include "support/LoopbackClient.h"
#include "engine/model/WindowNames.h"
#include "shell/main/ConsolePane.h"
#include "shell/notice/FrmMsg.h"
#include "shell/options/FrmOpt.h"
#include "shell/services/QtMessageBoxService.h"
#include "engine/config/ProgramIdentity.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QStandardPaths>
#include <QtTest>

// The whole program as main() builds it, on the demo gateway's installation: every toolbar and
// menu entry that opens a window opens it, and the remote services follow their setting. A
// wiring step left out of Program shows here as a window that does not open or a service that
// does not start.
namespace {
struct DemoProgram : ProgramFixture
{
    explicit DemoProgram(bool remote = false)
    {
        useGateway();
        settings.save(SettingKeys::Monitor, QStringLiteral("1"));
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
        settings.save(SettingKeys::WsChum, remote ? QStringLiteral("1") : QStringLiteral("0"));
    }
    DemoScript script{gateway, 250};
};

// A window the host made and shows; probe windows are found by their zone.
bool windowShown(DemoProgram &p, const QString &name)
{
    if (name == QLatin1String("probes"))
        return p.services.devices.probeOpen(1) && p.services.devices.probeOpen(2);
    const QWidget *w = p.services.devices.window(name);
    return w && w->isVisible();
}
} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void everyEntryOpensItsWindow_data();
    void everyEntryOpensItsWindow();
    void remoteServicesFollowTheirSetting_data();
    void remoteServicesFollowTheirSetting();
    void frameFromTheGatewayReachesTheLogAndTheNotice();
    void burstReachesTheNoticeThePaneAndTheDisplayClient();
    void realMessageBoxesBelongToTheMainWindow();
    void newNoticeTypeRebuildsTheNotice();
    void livesOnInTheTrayUntilItEnds();
};

void TestProgram::everyEntryOpensItsWindow_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    const auto row = [](const char *entry, const QString &window) {
        QTest::newRow(entry) << QString::fromLatin1(entry) << window;
    };
    // The toolbar.
    row("barraButton5", WindowNames::FrmAux);
    row("barraButton6", QStringLiteral("probes"));
    row("barraButton7", WindowNames::FrmCamera);
    row("barraButton8", WindowNames::FrmWatt);
    row("barraButton9", WindowNames::FrmScen);
    row("barraButton11", WindowNames::FrmOpt);
    row("Command1", WindowNames::FrmAI);
    // The menus.
    row("mOption", WindowNames::FrmOpt);
    row("mAgg", WindowNames::FrmUpd);
    row("mWaux", WindowNames::FrmAux);
    row("mWprobe", QStringLiteral("probes"));
    row("mWcam", WindowNames::FrmCamera);
    row("mWvolt", WindowNames::FrmVolt);
    row("mWampere", WindowNames::FrmAmp);
    row("mWwatt", WindowNames::FrmWatt);
    row("mWai", WindowNames::FrmAI);
    row("mAbout", WindowNames::FrmAbout);
}

void TestProgram::everyEntryOpensItsWindow()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);
    DemoProgram p;
    p.start();
    QVERIFY(p.boxes.shown.isEmpty());
    QVERIFY(!windowShown(p, window));

    if (auto *action = p.window.findChild<QAction *>(entry)) {
        QVERIFY2(action->isEnabled(), qPrintable(entry + QStringLiteral(" is disabled")));
        action->trigger();
    } else {
        auto *button = p.window.findChild<QAbstractButton *>(entry);
        QVERIFY2(button, qPrintable(entry + QStringLiteral(" not found")));
        QVERIFY(button->isEnabled());
        button->click();
    }
    QTRY_VERIFY2(windowShown(p, window), qPrintable(window + QStringLiteral(" did not open")));
    QVERIFY(p.boxes.shown.isEmpty());
}

void TestProgram::remoteServicesFollowTheirSetting_data()
{
    QTest::addColumn<bool>("on");
    QTest::newRow("wschum 1") << true;
    QTest::newRow("wschum 0") << false;
}

void TestProgram::remoteServicesFollowTheirSetting()
{
    QFETCH(bool, on);
    DemoProgram p(on);
    p.start();
    RemoteAccess &remote = p.services.remote;
    QCOMPARE(remote.isRunning(), on);
    QCOMPARE(remote.chum().isListening(), on);
    QCOMPARE(remote.policy().isListening(), on);
    QCOMPARE(remote.snapshot() && remote.snapshot()->isListening(), on);

    p.window.requestUnload();
    QTRY_VERIFY(!remote.isRunning());
    QVERIFY(!remote.chum().isListening());
    QVERIFY(!remote.policy().isListening());
}

// A lighting frame from the gateway reaches the monitor log and, with notices on for
// lighting, the notice.
void TestProgram::frameFromTheGatewayReachesTheLogAndTheNotice()
{
    DemoProgram p;
    p.settings.save(SettingKeys::OptionSection, SettingKeys::whoKey(0), QStringLiteral("1"));
    p.start();
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    p.gateway.pushEvent(QStringLiteral("*1*1*11##"));
    QTRY_VERIFY(p.window.Tlog().text().contains(QStringLiteral("(*1*1*11##)")));
    QTRY_VERIFY(p.services.notice.window() && p.services.notice.window()->isVisible());
}

// A burst of lighting frames in one write, with notices on for lighting and a display client
// connected: the client gets every line in the order of the frames, and the notice ends on
// the burst's last frame.
void TestProgram::burstReachesTheNoticeThePaneAndTheDisplayClient()
{
    ProgramFixture p;
    p.useGateway();
    p.settings.save(SettingKeys::Monitor, QStringLiteral("1"));
    p.settings.save(SettingKeys::Agent, QStringLiteral("0"));
    p.settings.save(SettingKeys::WsChum, QStringLiteral("1"));
    p.settings.save(SettingKeys::OptionSection, SettingKeys::whoKey(0), QStringLiteral("1"));
    p.start();
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    LoopbackClient client(p.services.remote.chum().serverPort());
    QTRY_VERIFY(p.services.remote.chum().ClienteConnesso());

    const int frames = 2000;
    QString burst;
    for (int i = 0; i < frames - 1; ++i)
        burst += QStringLiteral("*1*%1*%2##").arg(i % 2).arg(11 + i % 40);
    const QString last = QStringLiteral("*1*0*15##");
    burst += last;
    p.gateway.pushEvent(burst);

    const auto lines = [&client] {
        QList<QByteArray> out = client.received.split('\0');
        out.removeLast(); // after the last NUL
        out.removeAll(QByteArray("on?"));
        return out;
    };
    QTRY_COMPARE_WITH_TIMEOUT(lines().size(), frames, 20000);

    // The pane keeps the burst's tail: "time: sentence (frame)", one line per frame, and the
    // client's last lines are the same sentences in the same order.
    const QStringList pane = p.window.Tlog().text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QVERIFY(pane.last().endsWith(QStringLiteral(" (") + last + QLatin1Char(')')));
    const QList<QByteArray> received = lines();
    const int tail = 20;
    for (int k = 1; k <= tail; ++k) {
        const QString line = pane.at(pane.size() - k);
        const QString sentence = line.mid(line.indexOf(QStringLiteral(": ")) + 2).section(QStringLiteral(" (*"), 0, 0);
        QCOMPARE(QString::fromLatin1(received.at(received.size() - k)), sentence);
    }

    FrmMsg *notice = p.services.notice.window();
    QVERIFY(notice);
    QCOMPARE(notice->findChild<QLabel *>(QStringLiteral("Lframe"))->text(), last);
    QCOMPARE(QString::fromLatin1(received.last()), notice->findChild<QLabel *>(QStringLiteral("Lstato1"))->text());
}

// With no window active, a real message box belongs to the main window, not to nobody.
void TestProgram::realMessageBoxesBelongToTheMainWindow()
{
    TestFolder dir;
    Program::Seams seams;
    seams.programFolder = dir.path();
    seams.settingsFile = dir.settingsFile();
    seams.trayAvailable = false;
    Program program(std::move(seams));
    auto *boxes = dynamic_cast<QtMessageBoxService *>(&program.messages());
    QVERIFY(boxes);
    QVERIFY(!QApplication::activeWindow() && !QApplication::activeModalWidget());
    QCOMPARE(boxes->owner(), &program.window());
}

// A notice takes its colours when it is built: a new type chosen in the options throws the
// notice up away, so the next one is built in the new colours.
void TestProgram::newNoticeTypeRebuildsTheNotice()
{
    DemoProgram p;
    p.start();
    p.services.notice.MostraMessaggio(QStringLiteral("luce accesa"), QStringLiteral("sala"), 3000, 0);
    const QPointer<FrmMsg> before = p.services.notice.window();
    QVERIFY(before);

    p.window.findChild<QAction *>(QStringLiteral("mOption"))->trigger();
    QWidget *options = p.services.devices.window(WindowNames::FrmOpt);
    QVERIFY(options && options->isVisible());
    auto *type = options->findChild<QComboBox *>(QStringLiteral("Ctipo"));
    QVERIFY(type && type->count() > 1);
    type->setCurrentIndex((type->currentIndex() + 1) % type->count());
    QTRY_VERIFY(before.isNull());
    options->close();
}

// The program set up as main() runs it: while it sits in the tray, closing its last visible
// window does not end it; only its own end ends the event loop, once it has closed for good.
void TestProgram::livesOnInTheTrayUntilItEnds()
{
    ProgramFixture p(ProgramFixture::With{false, true});
    p.useGateway();
    p.settings.save(SettingKeys::Agent, QStringLiteral("0"));
    p.settings.save(SettingKeys::Monitor, QStringLiteral("0"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Ombrix"));
    QVERIFY(!QCoreApplication::applicationVersion().isEmpty());
    QCOMPARE(QGuiApplication::desktopFileName(), ProgramIdentity::DesktopFileName);
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    p.start();
    QVERIFY(p.tray.shown);

    // In the tray, with the camera window (a window of its own) the only one on screen.
    p.window.findChild<QAction *>(QStringLiteral("mWcam"))->trigger();
    QPointer<QWidget> camera = p.services.devices.window(WindowNames::FrmCamera);
    QTRY_VERIFY(camera && camera->isVisible());
    p.window.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!p.window.isVisible());

    bool ranOn = false;
    QTimer::singleShot(0, &p.window, [&] {
        camera->close();
        // Queued behind whatever the close posted: a quit would already have ended the loop.
        QTimer::singleShot(0, &p.window, [&] {
            ranOn = !p.window.ChiusuraAvviata();
            p.window.requestUnload();
        });
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(ranOn);
    // The loop ended when the program had closed for good, not before.
    QVERIFY(p.window.ChiusuraFinale());
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
