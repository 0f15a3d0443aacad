#include "shell/main/ConsolePane.h"
#include "demo-gateway/DemoScript.h"
#include "demo-gateway/FakeGateway.h"
#include "devices/alarm/FrmAI.h"
#include "devices/aux/FrmAux.h"
#include "devices/meters/FrmMeter.h"
#include "devices/probe/FrmProbe.h"
#include "devices/scenarios/FrmScen.h"
#include "devices/host/LampShape.h"
#include "devices/host/PictureBox.h"
#include "ProgramFixture.h"
#include "engine/config/SettingKeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

// The device windows opened from the main window's toolbar, on the program's own wiring,
// the shipped conf.xml and the demo gateway's installation on loopback.
namespace {
struct DemoProgram : ProgramFixture
{
    DemoProgram()
    {
        useGateway();
        settings.save(SettingKeys::Monitor, QStringLiteral("1"));
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
    }
    DemoScript script{gateway, 250};
};

QString labelText(const QWidget *w, const QString &name) { return w->findChild<QLabel *>(name)->text(); }
int picture(const QWidget *w, const QString &name) { return w->findChild<PictureBox *>(name)->picture(); }
} // namespace

class TestDeviceWindowsDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void windowsShowLiveValues();
    void scenarioPanelRunsOnTheGateway();
    void windowTitlesNameTheWindows_data();
    void windowTitlesNameTheWindows();
};

void TestDeviceWindowsDemo::windowsShowLiveValues()
{
    DemoProgram p;
    p.start();
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    QVERIFY(p.window.menus().isTicked(MainMenus::Entry::Volt) == false);

    // Meters: each polls on its own and its needle heads for the reading.
    p.window.barra_ButtonClick(8);
    auto *volt = dynamic_cast<FrmMeter *>(p.services.devices.window(WindowNames::FrmVolt));
    auto *watt = dynamic_cast<FrmMeter *>(p.services.devices.window(WindowNames::FrmWatt));
    QVERIFY(volt && watt && volt->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(labelText(volt, QStringLiteral("Lv")).toInt() >= 228, 3000);
    QVERIFY(labelText(volt, QStringLiteral("Lv")).toInt() <= 232);
    QTRY_VERIFY_WITH_TIMEOUT(labelText(watt, QStringLiteral("Lw")).toInt() >= 600, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(volt->PosLancetta() > 90, 4000);
    QVERIFY(p.window.menus().isTicked(MainMenus::Entry::Watt));

    // Probes: one pill per named zone, filled by its zone's answers.
    p.window.barra_ButtonClick(6);
    QCOMPARE(p.window.shellOptions().SondeAperte, QStringLiteral("1,2"));
    auto *zone1 = dynamic_cast<FrmProbe *>(p.window.shellOptions().FinestreSonda[1].data());
    auto *zone2 = dynamic_cast<FrmProbe *>(p.window.shellOptions().FinestreSonda[2].data());
    QVERIFY(zone1 && zone2);
    QCOMPARE(zone1->windowTitle(), QStringLiteral("FrmProbe1"));
    QCOMPARE(labelText(zone1, QStringLiteral("Lname")), QStringLiteral("Soggiorno"));
    QTRY_COMPARE_WITH_TIMEOUT(labelText(zone1, QStringLiteral("Lsetp")), QStringLiteral("21°C (+0)"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(zone2, QStringLiteral("Lsetp")), QStringLiteral("19°C (-1)"), 3000);
    QVERIFY(labelText(zone1, QStringLiteral("Ltemp")).endsWith(QStringLiteral("°C")));
    QTRY_COMPARE(zone1->picture(), FrmProbe::Red);
    QCOMPARE(zone2->picture(), FrmProbe::Grey);

    // Auxiliary channels: the state read once, then a switch the gateway acknowledges.
    p.window.barra_ButtonClick(5);
    auto *aux = dynamic_cast<FrmAux *>(p.services.devices.window(WindowNames::FrmAux));
    QVERIFY(aux && aux->isVisible());
    QTRY_COMPARE(picture(aux, QStringLiteral("ImgAux0")), 1);
    QCOMPARE(picture(aux, QStringLiteral("ImgAux1")), 0);
    QTRY_COMPARE(picture(aux, QStringLiteral("ImgAux10")), 1);
    aux->findChild<QPushButton *>(QStringLiteral("Laux1"))->click();
    QCOMPARE(picture(aux, QStringLiteral("ImgAux1")), 1);
    QVERIFY(p.gateway.commandFrames().contains(QStringLiteral("*9*1*2##")));

    // The alarm: the control unit's state and its zones, following the bus while open.
    p.window.Command1_Click();
    auto *alarm = dynamic_cast<FrmAI *>(p.services.devices.window(WindowNames::FrmAI));
    QVERIFY(alarm && alarm->isVisible());
    QTRY_COMPARE(picture(alarm, QStringLiteral("Istat")), 1);
    QCOMPARE(picture(alarm, QStringLiteral("Ilock")), 5);
    QCOMPARE(picture(alarm, QStringLiteral("Ibatt")), 7);
    QCOMPARE(picture(alarm, QStringLiteral("Ipow")), 3);
    QCOMPARE(alarm->findChild<LampShape *>(QStringLiteral("Szone4"))->fill(), QColor(0, 255, 0));
    QCOMPARE(alarm->findChild<LampShape *>(QStringLiteral("Szone3"))->fill(), QColor(128, 128, 128));

    // A second press of the probe button closes the pills.
    p.window.barra_ButtonClick(6);
    QVERIFY(p.window.shellOptions().SondeAperte.isEmpty());
    QVERIFY(p.window.shellOptions().FinestreSonda[1].isNull());
}

// The toolbar opens the panel; its button runs the scenario through the command session.
void TestDeviceWindowsDemo::scenarioPanelRunsOnTheGateway()
{
    DemoProgram p;
    p.start();
    p.state.model.ScenariF420[12] = {QStringLiteral("Away"), QStringLiteral("10"), QStringLiteral("1")};
    p.window.barra_ButtonClick(9);
    auto *panel = qobject_cast<FrmScen *>(p.services.devices.window(WindowNames::FrmScen));
    QVERIFY(panel && panel->isVisible());
    auto *button = panel->findChild<QWidget *>(QStringLiteral("Isc11"));
    const QPointF at = button->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, {}, {});
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
    QTRY_VERIFY(p.gateway.commandFrames().contains(QStringLiteral("*0*12*10##")));
    QVERIFY(p.window.TlogC().text().contains(QStringLiteral("*0*12*10##")));
    p.window.barra_ButtonClick(9);
    QVERIFY(!p.services.devices.isLoaded(WindowNames::FrmScen));
}

// A task bar lists each borderless window by the text of the entry that opens it, in the
// language in use when it opens; the window still has no title bar.
void TestDeviceWindowsDemo::windowTitlesNameTheWindows_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("italian");
    QTest::addColumn<QString>("english");
    QTest::newRow("camera") << "mWcam" << WindowNames::FrmCamera << "Telecamere" << "Cameras";
    QTest::newRow("voltmeter") << "mWvolt" << WindowNames::FrmVolt << "Voltmetro" << "Voltmeter";
    QTest::newRow("ammeter") << "mWampere" << WindowNames::FrmAmp << "Amperometro" << "Ammeter";
    QTest::newRow("wattmeter") << "mWwatt" << WindowNames::FrmWatt << "Wattmetro" << "Wattmeter";
    QTest::newRow("scenario panel") << "barraButton9" << WindowNames::FrmScen << "Scenari" << "Scenarios";
}

void TestDeviceWindowsDemo::windowTitlesNameTheWindows()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);
    QFETCH(QString, italian);
    QFETCH(QString, english);
    DemoProgram p;
    p.start();
    const auto open = [&p, &entry] {
        if (auto *action = p.window.findChild<QAction *>(entry))
            action->trigger();
        else
            p.window.findChild<QAbstractButton *>(entry)->click();
    };

    open();
    QWidget *w = p.services.devices.window(window);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), italian);
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));

    // Opened again after a language change, it takes the new language.
    open();
    if (p.services.devices.isLoaded(window))
        p.services.devices.unload(window);
    int index = 0;
    while (p.window.menus().languageAt(index) != QLatin1String("english"))
        QVERIFY(!p.window.menus().languageAt(++index).isEmpty());
    p.window.mSetLingua_Click(index);
    open();
    w = p.services.devices.window(window);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), english);
}

QTEST_MAIN(TestDeviceWindowsDemo)
#include "tst_devicewindows_demo.moc"
