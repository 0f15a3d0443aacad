#include "support/DeviceFixture.h"
#include "devices/probe/FrmProbe.h"
#include "engine/model/WindowNames.h"

#include <QLabel>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QMenu>
#include <QtTest>

// The pill of a thermoregulation zone: its texts and colours, its poll and its closing.
class TestProbeWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void outline();
    void setPointTexts_data();
    void setPointTexts();
    void modes();
    void pollFrames_data();
    void pollFrames();
    void pollInterval_data();
    void pollInterval();
    void closingFromItsMenu_data();
    void closingFromItsMenu();
    void keyboardReachesItsMenu_data();
    void keyboardReachesItsMenu();
    void placeAndTemperatureOfItsZone();
};

namespace {
QString text(const FrmProbe &p, const char *label) { return p.findChild<QLabel *>(QString::fromLatin1(label))->text(); }
QString colour(const FrmProbe &p, const char *label)
{
    const QColor c = p.findChild<QLabel *>(QString::fromLatin1(label))->palette().color(QPalette::WindowText);
    return QStringLiteral("%1, %2, %3").arg(c.red()).arg(c.green()).arg(c.blue());
}
} // namespace

void TestProbeWindow::outline()
{
    const QRegion r = FrmProbe::RitagliaRegion();
    QCOMPARE(r.boundingRect(), QRect(0, 0, 130, 36));
    for (const QPoint &in : {QPoint(2, 0), QPoint(127, 0), QPoint(1, 1), QPoint(0, 2), QPoint(129, 33), QPoint(2, 35)})
        QVERIFY2(r.contains(in), qPrintable(QStringLiteral("%1,%2").arg(in.x()).arg(in.y())));
    for (const QPoint &out : {QPoint(1, 0), QPoint(128, 0), QPoint(0, 1), QPoint(129, 1), QPoint(0, 34), QPoint(128, 35)})
        QVERIFY2(!r.contains(out), qPrintable(QStringLiteral("%1,%2").arg(out.x()).arg(out.y())));
}

void TestProbeWindow::setPointTexts_data()
{
    QTest::addColumn<QStringList>("pushes"); // "S" set point or "K" knob, then the text
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("set point before offset") << QStringList{QStringLiteral("S21.0°C"), QStringLiteral("K+1")}
                                             << QStringList{QStringLiteral("21.0°C ()"), QStringLiteral("21.0°C (+1)")};
    QTest::newRow("offset before set point") << QStringList{QStringLiteral("K-2"), QStringLiteral("S19.5°C")}
                                             << QStringList{QStringLiteral(" (-2)"), QStringLiteral("19.5°C (-2)")};
}

void TestProbeWindow::setPointTexts()
{
    QFETCH(QStringList, pushes);
    QFETCH(QStringList, shown);
    DeviceFixture f;
    FrmProbe p(f.context());
    for (int i = 0; i < pushes.size(); ++i) {
        const QString value = pushes.at(i).mid(1);
        if (pushes.at(i).startsWith(QLatin1Char('S')))
            p.Tempset(value);
        else
            p.Knob(value);
        QCOMPARE(text(p, "Lsetp"), shown.at(i));
    }
    p.Temperatura(QStringLiteral("20.4"));
    QCOMPARE(text(p, "Ltemp"), QStringLiteral("20.4°C"));
}

void TestProbeWindow::modes()
{
    DeviceFixture f;
    FrmProbe p(f.context());
    QCOMPARE(p.picture(), FrmProbe::Grey);
    QVERIFY(colour(p, "Lname").contains(QStringLiteral("255, 255, 255")));
    p.pCol(1);
    QCOMPARE(p.picture(), FrmProbe::Blue);
    QVERIFY(colour(p, "Lname").contains(QStringLiteral("186, 210, 222")));
    QVERIFY(colour(p, "Lsetp").contains(QStringLiteral("193, 199, 213")));
    p.pCol(2);
    QCOMPARE(p.picture(), FrmProbe::Red);
    QVERIFY(colour(p, "Lname").contains(QStringLiteral("255, 208, 208")));
    QVERIFY(colour(p, "Lsetp").contains(QStringLiteral("197, 194, 216")));
    p.pCol(7);
    QCOMPARE(p.picture(), FrmProbe::Red);
    QVERIFY(colour(p, "Lname").contains(QStringLiteral("255, 208, 208")));
    p.pCol(0);
    QCOMPARE(p.picture(), FrmProbe::Grey);
}

void TestProbeWindow::pollFrames_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("tcp");
    QTest::addColumn<QStringList>("usb");
    QTest::newRow("command link: one joined request with the valves")
        << false << QStringList{QStringLiteral("*#4*7*0##*#4*7*12##*#4*7*13##*#4*7*19##")} << QStringList{};
    QTest::newRow("serial link: three requests, logged")
        << true << QStringList{}
        << QStringList{QStringLiteral("*#4*7*0##"), QStringLiteral("*#4*7*12##"), QStringLiteral("*#4*7*13##")};
}

void TestProbeWindow::pollFrames()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, tcp);
    QFETCH(QStringList, usb);
    DeviceFixture f;
    f.state.link.ModoUsb = serial;
    FrmProbe p(f.context());
    p.pZona(7);
    QCOMPARE(p.Tagg()->interval(), 100);
    QTRY_VERIFY(!f.sender.tcp.isEmpty() || !f.sender.usb.isEmpty());
    QCOMPARE(f.sender.tcp, tcp);
    QCOMPARE(f.sender.usb, usb);
}

void TestProbeWindow::pollInterval_data()
{
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("interval");
    QTest::newRow("lowest draw") << 0.0 << 30000;
    QTest::newRow("middle") << 0.5 << 32500;
    QTest::newRow("highest draw") << 0.99999 << 34999;
}

void TestProbeWindow::pollInterval()
{
    QFETCH(double, draw);
    QFETCH(int, interval);
    DeviceFixture f;
    f.draw = draw;
    FrmProbe p(f.context());
    p.pZona(1);
    p.Tagg_Timer();
    QCOMPARE(p.Tagg()->interval(), interval);
    QVERIFY(p.Tagg()->isActive());
}

void TestProbeWindow::closingFromItsMenu_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("left");
    QTest::newRow("the only window") << QStringLiteral("3") << 3 << QString();
    QTest::newRow("one of several") << QStringLiteral("1,3,5") << 3 << QStringLiteral("1,5");
    QTest::newRow("the first of two") << QStringLiteral("12,2") << 12 << QStringLiteral("2");
}

void TestProbeWindow::closingFromItsMenu()
{
    QFETCH(QString, open);
    QFETCH(int, zone);
    QFETCH(QString, left);
    DeviceFixture f;
    f.shellOptions.SondeAperte = open;
    QPointer<FrmProbe> p = new FrmProbe(f.context());
    f.shellOptions.FinestreSonda[size_t(zone)] = p.data();
    p->pZona(zone);
    p->menuChosen(1);
    QCOMPARE(f.shellOptions.SondeAperte, left);
    QTRY_VERIFY(p.isNull());
    QVERIFY(f.shellOptions.FinestreSonda[size_t(zone)].isNull());
}

void TestProbeWindow::keyboardReachesItsMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("menu"); // else the key closes the window at once
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
    QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier) << true;
    QTest::newRow("Escape: as Exit") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
}

// Opened without the focus, the window takes it when brought forward; then the keyboard
// does what the right button does.
void TestProbeWindow::keyboardReachesItsMenu()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, menu);
    DeviceFixture f;
    f.shellOptions.SondeAperte = QStringLiteral("2,3");
    QPointer<FrmProbe> p = new FrmProbe(f.context());
    p->pZona(3);
    QVERIFY(p->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(!(p->windowFlags() & Qt::WindowDoesNotAcceptFocus));
    p->show();
    p->activateWindow();
    QTRY_VERIFY(p->isActiveWindow());

    QTest::keyClick(p.data(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (menu) {
        QMenu *m = p->findChild<QMenu *>(QStringLiteral("menu"));
        QVERIFY(m);
        QTRY_VERIFY(m->isVisible());
        QCOMPARE(m->actions().size(), 1);
        QCOMPARE(m->defaultAction()->text(), QStringLiteral("Exit"));
        // Opened from the keyboard, it hangs below the window, not wherever the mouse is.
        QCOMPARE(m->pos().x(), p->mapToGlobal(QPoint()).x());
        // Opening it again while it is up leaves the one menu.
        QTest::keyClick(p.data(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(p->findChildren<QMenu *>().size(), 1);
        m->defaultAction()->trigger();
    }
    QTRY_VERIFY(p.isNull());
    QCOMPARE(f.shellOptions.SondeAperte, QStringLiteral("2"));
}

void TestProbeWindow::placeAndTemperatureOfItsZone()
{
    DeviceFixture f;
    f.state.live.TempSonde[4] = QStringLiteral("21.5");
    f.settings.save(WindowNames::probeCaption(4), QStringLiteral("x"), QStringLiteral("1500"));
    f.settings.save(WindowNames::probeCaption(4), QStringLiteral("y"), QStringLiteral("3000"));
    {
        FrmProbe p(f.context());
        p.move(300, 400);
        p.pZona(4);
        QCOMPARE(p.pos(), QPoint(100, 200));
        QCOMPARE(text(p, "Ltemp"), QStringLiteral("21.5°C"));
        p.move(120, 220);
    }
    QCOMPARE(f.settings.read(WindowNames::probeCaption(4), QStringLiteral("x"), QString()), QStringLiteral("1800"));
    // A zone without a saved place stays where the main window put it.
    FrmProbe q(f.context());
    q.move(300, 400);
    q.pZona(5);
    QCOMPARE(q.pos(), QPoint(300, 400));
    QCOMPARE(text(q, "Ltemp"), QString());
}

QTEST_MAIN(TestProbeWindow)
#include "tst_probewindow.moc"
