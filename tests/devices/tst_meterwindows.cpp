#include "support/DeviceFixture.h"
#include "devices/meters/FrmMeter.h"
#include "devices/host/LampShape.h"
#include "engine/model/WindowNames.h"

#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

// The three analogue meters: needle easing, the poll and its lamp, the menu and closing.
class TestMeterWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void needleEasesToVoltage();
    void needleSettles_data();
    void needleSettles();
    void targetAtPositionDrawsNothing();
    void readingThatIsNotANumber();
    void lampFadesAndRestarts();
    void busyLinkDelaysThePoll();
    void refreshPollsSoonThenEveryMinute();
    void closingFromItsMenu();
    void keyboardReachesItsMenu_data();
    void keyboardReachesItsMenu();
};

namespace {
void tick(FrmMeter &m, int times)
{
    for (int i = 0; i < times; ++i)
        m.Tlanc_Timer();
}
} // namespace

void TestMeterWindows::needleEasesToVoltage()
{
    DeviceFixture f;
    f.state.live.VoltValue = QStringLiteral("230");
    FrmMeter m(f.context(), MeterVariant::volt());
    QCOMPARE(m.PosLancetta(), qint16(-125));
    QCOMPARE(m.findChild<QLabel *>(QStringLiteral("Lv"))->text(), QStringLiteral("230"));
    const QList<int> expected{-79, -42, -13, 11, 30, 45, 57, 67, 75, 81, 86, 90, 93, 95, 97, 99, 100, 101, 102, 103};
    QList<int> seen;
    for (int i = 0; i < 20; ++i) {
        m.Tlanc_Timer();
        seen << m.PosLancetta();
    }
    QCOMPARE(seen, expected);
    // Within 2.5 units the position stays, and the needle is drawn in place on every tick.
    const QPointF end = m.needleEnd();
    tick(m, 3);
    QCOMPARE(m.PosLancetta(), qint16(103));
    QCOMPARE(m.needleDraws(), 23);
    QCOMPARE(m.needleEnd(), end);
}

void TestMeterWindows::needleSettles_data()
{
    QTest::addColumn<int>("meter");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<int>("settled");
    QTest::newRow("12.5 A upright") << 2 << QStringLiteral("12.5") << -2;
    QTest::newRow("2500 W upright") << 3 << QStringLiteral("2500") << -2;
    QTest::newRow("250 V at the right end") << 1 << QStringLiteral("250") << 123;
}

void TestMeterWindows::needleSettles()
{
    QFETCH(int, meter);
    QFETCH(QString, reading);
    QFETCH(int, settled);
    DeviceFixture f;
    f.state.live.AmpValue = reading;
    f.state.live.WattValue = qint16(reading.toInt());
    f.state.live.VoltValue = reading;
    const MeterVariant *variants[] = {&MeterVariant::volt(), &MeterVariant::amp(), &MeterVariant::watt()};
    FrmMeter m(f.context(), *variants[meter - 1]);
    tick(m, 40);
    QCOMPARE(m.PosLancetta(), qint16(settled));
    const double angle = settled / 63.0 * (6.283 / 12);
    QVERIFY(qAbs(m.needleEnd().x() - (975 + 1100 * std::sin(angle))) < 0.5);
    QVERIFY(qAbs(m.needleEnd().y() - (1050 - 1100 * std::cos(angle))) < 0.5);
}

void TestMeterWindows::targetAtPositionDrawsNothing()
{
    DeviceFixture f;
    FrmMeter m(f.context(), MeterVariant::volt());
    QCOMPARE(m.findChild<QLabel *>(QStringLiteral("Lv"))->text(), QStringLiteral("0"));
    tick(m, 5);
    QCOMPARE(m.needleDraws(), 0);
    QCOMPARE(m.needleEnd(), QPointF(0, 450));
    // Close to the position but not on it: drawn in place every tick.
    f.state.live.VoltValue = QStringLiteral("2");
    tick(m, 3);
    QCOMPARE(m.needleDraws(), 3);
    QCOMPARE(m.PosLancetta(), qint16(-125));
}

void TestMeterWindows::readingThatIsNotANumber()
{
    DeviceFixture f;
    f.state.live.AmpValue = QStringLiteral("8");
    FrmMeter m(f.context(), MeterVariant::amp());
    tick(m, 3);
    const qint16 before = m.PosLancetta();
    const int draws = m.needleDraws();
    f.state.live.AmpValue = QStringLiteral("n/a");
    m.showReading(QStringLiteral("n/a"));
    tick(m, 3);
    QCOMPARE(m.PosLancetta(), before);
    QCOMPARE(m.needleDraws(), draws);
    QCOMPARE(m.findChild<QLabel *>(QStringLiteral("La"))->text(), QStringLiteral("n/a"));
}

void TestMeterWindows::lampFadesAndRestarts()
{
    DeviceFixture f;
    FrmMeter m(f.context(), MeterVariant::watt());
    auto *lamp = m.findChild<LampShape *>(QStringLiteral("Slamp"));
    QVERIFY(!lamp->hasFill());
    QCOMPARE(m.Tagg()->interval(), 100);
    QVERIFY(m.Tagg()->isActive());

    m.Tagg_Timer();
    QCOMPARE(f.sender.tcp, QStringList{QStringLiteral("*#3*10*3##")});
    QCOMPARE(m.Tagg()->interval(), 60000);
    QCOMPARE(lamp->fill(), QColor(0, 255, 0));
    QVERIFY(m.Tcol()->isActive());
    QCOMPARE(m.Tcol()->interval(), 100);
    for (int level = 245; level >= 55; level -= 10) {
        m.Tcol_Timer();
        QCOMPARE(lamp->fill(), QColor(255 - level, 205, 255 - level));
    }
    QVERIFY(m.Tcol()->isActive());
    m.Tcol_Timer();
    QVERIFY(!lamp->hasFill());
    QVERIFY(!m.Tcol()->isActive());

    // A poll during the fade starts it again at full green.
    m.Tagg_Timer();
    m.Tcol_Timer();
    m.Tcol_Timer();
    m.Tagg_Timer();
    QCOMPARE(m.LivLamp(), 255);
    QCOMPARE(lamp->fill(), QColor(0, 255, 0));
    m.Tcol_Timer();
    QCOMPARE(lamp->fill(), QColor(10, 205, 10));
}

void TestMeterWindows::busyLinkDelaysThePoll()
{
    DeviceFixture f;
    FrmMeter m(f.context(), MeterVariant::volt());
    f.state.link.InInvio = true;
    m.Tagg_Timer();
    QVERIFY(f.sender.tcp.isEmpty());
    QCOMPARE(m.Tagg()->interval(), 200);
    QVERIFY(m.Tagg()->isActive());
    QVERIFY(!m.findChild<LampShape *>(QStringLiteral("Slamp"))->hasFill());
    f.state.link.InInvio = false;
    m.Tagg_Timer();
    QCOMPARE(f.sender.tcp, QStringList{QStringLiteral("*#3*10*1##")});
}

void TestMeterWindows::refreshPollsSoonThenEveryMinute()
{
    DeviceFixture f;
    FrmMeter m(f.context(), MeterVariant::amp());
    QTRY_COMPARE(f.sender.tcp.size(), 1);
    QCOMPARE(m.Tagg()->interval(), 60000);
    m.menuChosen(1);
    QCOMPARE(m.Tagg()->interval(), 100);
    QTRY_COMPARE(f.sender.tcp.size(), 2);
    QCOMPARE(f.sender.tcp.last(), QStringLiteral("*#3*10*2##"));
    QCOMPARE(m.Tagg()->interval(), 60000);
}

void TestMeterWindows::closingFromItsMenu()
{
    DeviceFixture f;
    QPointer<FrmMeter> m = new FrmMeter(f.context(), MeterVariant::amp());
    m->show();
    m->move(40, 60);
    f.menus->markMeter(2, true);
    m->menuChosen(2);
    QVERIFY(!f.menus->isTicked(MainMenus::Entry::Ampere));
    QVERIFY(!m->Tlanc()->isActive());
    QVERIFY(!m->Tagg()->isActive());
    QCOMPARE(f.settings.readInt(WindowNames::FrmAmp, QStringLiteral("x"), -1), 600);
    QCOMPARE(f.settings.readInt(WindowNames::FrmAmp, QStringLiteral("y"), -1), 900);
    QTRY_VERIFY(m.isNull());
}

void TestMeterWindows::keyboardReachesItsMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
}

// Opened without the focus, the meter takes it when brought forward; then the keyboard
// opens the menu the right button opens, and its entries work.
void TestMeterWindows::keyboardReachesItsMenu()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    DeviceFixture f;
    FrmMeter m(f.context(), MeterVariant::watt());
    QVERIFY(m.testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(!(m.windowFlags() & Qt::WindowDoesNotAcceptFocus));
    m.show();
    m.activateWindow();
    QTRY_VERIFY(m.isActiveWindow());
    QTRY_COMPARE(f.sender.tcp.size(), 1);

    QTest::keyClick(&m, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QMenu *menu = m.findChild<QMenu *>(QStringLiteral("menu"));
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 2);
    // Refresh polls again at once.
    menu->actions().first()->trigger();
    QTRY_COMPARE(f.sender.tcp.size(), 2);
    // Escape closes the menu and leaves the meter open.
    QTest::keyClick(&m, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    menu = m.findChild<QMenu *>(QStringLiteral("menu"));
    QTRY_VERIFY(menu && menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!m.findChild<QMenu *>(QStringLiteral("menu")));
    QVERIFY(m.isVisible());
}

QTEST_MAIN(TestMeterWindows)
#include "tst_meterwindows.moc"
