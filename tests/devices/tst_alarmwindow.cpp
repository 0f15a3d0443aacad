#include "support/DeviceFixture.h"
#include "devices/alarm/FrmAI.h"
#include "devices/host/LampShape.h"
#include "devices/host/PictureBox.h"
#include "support/TranslatorFixture.h"
#include "engine/model/WindowNames.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

// The alarm window: its pictures and zone lamps from the state the translator keeps.
class TestAlarmWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void beforeAnyFrame();
    void captionsFromTheLanguage_data();
    void captionsFromTheLanguage();
    void pictures_data();
    void pictures();
    void zoneFrameLightsItsLamp();
    void followsTheStateWhileOpen();
    void closingHides();
};

namespace {
int picture(const FrmAI &w, const char *icon) { return w.findChild<PictureBox *>(QString::fromLatin1(icon))->picture(); }
LampShape *zone(const FrmAI &w, int z) { return w.findChild<LampShape *>(QStringLiteral("Szone%1").arg(z)); }
} // namespace

void TestAlarmWindow::beforeAnyFrame()
{
    DeviceFixture f;
    FrmAI w(f.context());
    QCOMPARE(w.windowTitle(), QStringLiteral("ANTIFURTO"));
    QCOMPARE(picture(w, "Istat"), 2);
    QCOMPARE(picture(w, "Ipow"), 4);
    QCOMPARE(picture(w, "Ilock"), 5);
    QCOMPARE(picture(w, "Ibatt"), 8);
    for (int z = 1; z < FrmAI::ZoneRows; ++z)
        QCOMPARE(zone(w, z)->fill(), QColor(128, 128, 128));
    QVERIFY(zone(w, 0)->fill() != QColor(128, 128, 128));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Lz8"))->text(), QStringLiteral("Zona 8"));
}

void TestAlarmWindow::captionsFromTheLanguage_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("language file") << QStringList{"Centrale", "Inserimento", "Batteria", "Rete"}
                                   << QStringList{"Centrale", "Centrale", "Inserimento", "Batteria", "Rete"};
    QTest::newRow("older file: built-in English") << QStringList{"", "", "", ""}
                                          << QStringList{"Control unit", "Control unit", "Armed", "Battery", "Mains"};
}

void TestAlarmWindow::captionsFromTheLanguage()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, shown);
    DeviceFixture f;
    const QStringList keys{"AlUnit", "AlArmed", "AlBattery", "AlMains"};
    for (int i = 0; i < keys.size(); ++i)
        f.state.lang.text.insert(keys.at(i), texts.at(i));
    FrmAI w(f.context());
    QStringList captions{w.findChild<QLabel *>(QStringLiteral("Lcentrale"))->text()};
    for (const char *icon : {"Istat", "Ilock", "Ibatt", "Ipow"})
        captions << w.findChild<PictureBox *>(QString::fromLatin1(icon))->toolTip();
    QCOMPARE(captions, shown);
}

void TestAlarmWindow::pictures_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<int>("shown");
    QTest::newRow("system active") << 0 << 1 << QStringLiteral("Istat") << 1;
    QTest::newRow("system in maintenance") << 0 << 0 << QStringLiteral("Istat") << 2;
    QTest::newRow("engaged") << 1 << 1 << QStringLiteral("Ilock") << 6;
    QTest::newRow("battery ok") << 2 << 1 << QStringLiteral("Ibatt") << 7;
    QTest::newRow("battery unloaded") << 2 << 2 << QStringLiteral("Ibatt") << 9;
    QTest::newRow("battery: other value unchanged") << 2 << 3 << QStringLiteral("Ibatt") << 8;
    QTest::newRow("mains present") << 3 << 1 << QStringLiteral("Ipow") << 3;
}

void TestAlarmWindow::pictures()
{
    QFETCH(int, element);
    QFETCH(int, value);
    QFETCH(QString, icon);
    QFETCH(int, shown);
    DeviceFixture f;
    f.state.live.StatoAllarme[size_t(element)] = value;
    FrmAI w(f.context());
    QCOMPARE(picture(w, qPrintable(icon)), shown);
}

void TestAlarmWindow::zoneFrameLightsItsLamp()
{
    TranslatorFixture t;
    t.monitor(QStringLiteral("*5*11*#3##"));
    DeviceFixture f(t.state);
    FrmAI w(f.context());
    QCOMPARE(zone(w, 3)->fill(), QColor(0, 255, 0));
    QCOMPARE(zone(w, 2)->fill(), QColor(128, 128, 128));
}

void TestAlarmWindow::followsTheStateWhileOpen()
{
    TranslatorFixture t;
    DeviceFixture f(t.state);
    FrmAI w(f.context());
    w.show();
    QVERIFY(w.follower()->isActive());
    t.monitor(QStringLiteral("*5*8*##*5*11*#5##"));
    QTRY_COMPARE(picture(w, "Ilock"), 6);
    QTRY_COMPARE(zone(w, 5)->fill(), QColor(0, 255, 0));
    t.monitor(QStringLiteral("*5*18*#5##"));
    QTRY_COMPARE(zone(w, 5)->fill(), QColor(128, 128, 128));
    w.hide();
    QVERIFY(!w.follower()->isActive());
}

void TestAlarmWindow::closingHides()
{
    DeviceFixture f;
    FrmAI w(f.context());
    w.show();
    w.move(15, 30);
    f.menus->tick(MainMenus::Entry::Alarm, true);
    QVERIFY(!w.close());
    QVERIFY(!w.isVisible());
    QVERIFY(!f.menus->isTicked(MainMenus::Entry::Alarm));
    QCOMPARE(f.settings.read(QStringLiteral("FrmAi"), QStringLiteral("y"), QString()), QStringLiteral("450"));
}

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
