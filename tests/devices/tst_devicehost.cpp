#include "devices/aux/FrmAux.h"
#include "devices/host/DeviceHost.h"
#include "devices/host/PictureBox.h"
#include "devices/host/RefreshableWindow.h"
#include "devices/meters/FrmMeter.h"
#include "devices/probe/FrmProbe.h"
#include "engine/model/EngineState.h"
#include "engine/model/WindowNames.h"
#include "support/DeviceFixture.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <functional>

namespace {

class CountingWindow : public QWidget, public RefreshableWindow
{
public:
    void refreshFromState() override { ++refreshes; }
    int refreshes = 0;
};

// Counts the paint events of a window and of everything in it.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *window)
    {
        window->installEventFilter(this);
        for (QWidget *w : window->findChildren<QWidget *>())
            w->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
    int most() const
    {
        int m = 0;
        for (int n : paints)
            m = std::max(m, n);
        return m;
    }
    QHash<QObject *, int> paints;
};

QString labelText(QWidget *w, const char *name) { return w->findChild<QLabel *>(QString::fromLatin1(name))->text(); }

// What the translator pushes for the i-th frame of a burst, and what the window shows.
using Push = std::function<void(DeviceHost &, EngineState &, int i)>;
using Shown = std::function<QString(QWidget *)>;

} // namespace

// The host that opens the device windows by name and answers which are loaded.
class TestDeviceHost : public QObject
{
    Q_OBJECT

private slots:
    void windowLifetime();
    void refreshLoadsHidden();
    void serviceWindowsUnloadByName();
    void unknownNamesStayUnloaded();
    void probeOpenFollowsTheProbeWindows();
    void pushesOfOneTurnPaintedOnce_data();
    void pushesOfOneTurnPaintedOnce();
    void windowOpenFromWhatWasMade();
};

void TestDeviceHost::windowLifetime()
{
    DeviceHost host;
    int built = 0;
    host.addWindow(WindowNames::FrmScen, [&built] {
        ++built;
        return new QWidget;
    });
    QVERIFY(host.provides(WindowNames::FrmScen));
    QVERIFY(!host.isLoaded(WindowNames::FrmScen));

    QVERIFY(host.show(WindowNames::FrmScen, false));
    QVERIFY(host.isVisible(WindowNames::FrmScen));
    QVERIFY(host.FormAperto(QString(), WindowNames::FrmScen));
    host.hide(WindowNames::FrmScen);
    QVERIFY(host.isLoaded(WindowNames::FrmScen));
    QVERIFY(!host.isVisible(WindowNames::FrmScen));
    // A hidden window is shown again, not built again.
    QVERIFY(host.show(WindowNames::FrmScen, true));
    QCOMPARE(built, 1);
    QCOMPARE(host.window(WindowNames::FrmScen)->windowModality(), Qt::ApplicationModal);

    QPointer<QWidget> w = host.window(WindowNames::FrmScen);
    host.unload(WindowNames::FrmScen);
    QVERIFY(w.isNull());
    QVERIFY(!host.isLoaded(WindowNames::FrmScen));
    QVERIFY(!host.FormAperto(QString(), WindowNames::FrmScen));

    // A window closed and deleted by other means counts as unloaded.
    QVERIFY(host.show(WindowNames::FrmScen, false));
    delete host.window(WindowNames::FrmScen);
    QVERIFY(!host.isLoaded(WindowNames::FrmScen));
    QCOMPARE(built, 2);
}

void TestDeviceHost::refreshLoadsHidden()
{
    DeviceHost host;
    CountingWindow *made = nullptr;
    host.addWindow(WindowNames::FrmAux, [&made] { return made = new CountingWindow; });
    host.AggiornaAux(false);
    QVERIFY(!made);
    host.AggiornaAux(true);
    QVERIFY(made);
    QVERIFY(!made->isVisible());
    // Loaded at once, painted once the turn is over.
    QCOMPARE(made->refreshes, 0);
    QTRY_COMPARE(made->refreshes, 1);
    host.AggiornaAux(false);
    QTRY_COMPARE(made->refreshes, 2);
}

void TestDeviceHost::serviceWindowsUnloadByName()
{
    DeviceHost host;
    int unloads = 0;
    host.setUnloader(WindowNames::FrmMsg, [&unloads] { ++unloads; });
    host.unload(WindowNames::FrmMsg);
    host.unload(WindowNames::FrmAux);
    QCOMPARE(unloads, 1);
}

void TestDeviceHost::unknownNamesStayUnloaded()
{
    DeviceHost host;
    QVERIFY(!host.provides(WindowNames::FrmCamera));
    QVERIFY(!host.show(WindowNames::FrmCamera, false));
    host.refresh(WindowNames::FrmCamera);
    host.unload(WindowNames::FrmCamera);
    QVERIFY(!host.isLoaded(WindowNames::FrmCamera));
    QVERIFY(host.createProbe(1, QStringLiteral("Soggiorno")) == nullptr);
}

// The translator asks for every zone frame; the host answers from its table what the walk
// over every window would.
void TestDeviceHost::probeOpenFollowsTheProbeWindows()
{
    DeviceHost host;
    host.setProbeFactory([](int, const QString &) { return new QWidget; });
    const QString caption = WindowNames::probeCaption(3);

    QPointer<QWidget> three = host.createProbe(3, QStringLiteral("Cucina"));
    QVERIFY(three);
    // Made, but not yet given its caption by the launcher.
    QVERIFY(!host.probeOpen(3));
    QVERIFY(!host.FormAperto(caption, QString()));
    three->setWindowTitle(caption);
    QVERIFY(host.probeOpen(3));
    QVERIFY(host.FormAperto(caption, QString()));
    for (qint64 other : {4, 33, -3, 100})
        QVERIFY2(!host.probeOpen(other), qPrintable(QString::number(other)));

    // Hidden and waiting for deletion, it is still loaded; deleted, it is gone.
    three->hide();
    three->deleteLater();
    QVERIFY(host.probeOpen(3));
    QVERIFY(host.FormAperto(caption, QString()));
    QTRY_VERIFY(three.isNull());
    QVERIFY(!host.probeOpen(3));
    QVERIFY(!host.FormAperto(caption, QString()));
}

void TestDeviceHost::pushesOfOneTurnPaintedOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Push>("push");
    QTest::addColumn<Shown>("shown");
    QTest::addColumn<QString>("last");

    const Shown auxShown = [](QWidget *w) {
        const auto *number = w->findChild<QPushButton *>(QStringLiteral("Laux2"));
        return QStringLiteral("%1 %2").arg(w->findChild<PictureBox *>(QStringLiteral("ImgAux2"))->picture())
            .arg(number->palette().color(QPalette::ButtonText).name());
    };
    QTest::newRow("aux channel") << WindowNames::FrmAux
                                 << Push([](DeviceHost &h, EngineState &s, int i) {
                                        s.live.StatoAux[3] = i % 2 == 1;
                                        h.AggiornaAux(false);
                                    })
                                 << auxShown << "1 #000000";
    QTest::newRow("volt") << WindowNames::FrmVolt
                          << Push([](DeviceHost &h, EngineState &, int i) { h.Volt(QString::number(200 + i)); })
                          << Shown([](QWidget *w) { return labelText(w, "Lv"); }) << "1201";
    QTest::newRow("ampere") << WindowNames::FrmAmp
                            << Push([](DeviceHost &h, EngineState &, int i) { h.Ampere(QString::number(i % 17)); })
                            << Shown([](QWidget *w) { return labelText(w, "La"); }) << "15";
    QTest::newRow("watt") << WindowNames::FrmWatt
                          << Push([](DeviceHost &h, EngineState &, int i) { h.Watt(QString::number(i)); })
                          << Shown([](QWidget *w) { return labelText(w, "Lw"); }) << "1001";
    const Shown probeShown = [](QWidget *w) {
        return labelText(w, "Ltemp") + QLatin1Char(' ') + labelText(w, "Lsetp") + QLatin1Char(' ')
            + QString::number(static_cast<FrmProbe *>(w)->picture());
    };
    QTest::newRow("probe") << WindowNames::FrmProbe
                           << Push([](DeviceHost &h, EngineState &, int i) {
                                  h.Temperatura(1, QString::number(i % 30));
                                  h.Tempset(1, QStringLiteral("%1°C").arg(18 + i % 5));
                                  h.Knob(1, QStringLiteral("+%1").arg(i % 3));
                                  h.pCol(1, i % 3);
                              })
                           << probeShown << QStringLiteral("11°C 19°C (+2) %1").arg(int(FrmProbe::Red));
}

// A burst brings a thousand pushes in one turn: the window shows none of them until the turn
// is over, then the last of them, painting each of its parts once.
void TestDeviceHost::pushesOfOneTurnPaintedOnce()
{
    QFETCH(QString, name);
    QFETCH(Push, push);
    QFETCH(Shown, shown);
    QFETCH(QString, last);
    QStandardPaths::setTestModeEnabled(true);
    DeviceFixture f;
    DeviceHost host;
    host.addWindow(WindowNames::FrmAux, [&f] { return new FrmAux(f.context()); });
    host.addWindow(WindowNames::FrmVolt, [&f] { return new FrmMeter(f.context(), MeterVariant::volt()); });
    host.addWindow(WindowNames::FrmAmp, [&f] { return new FrmMeter(f.context(), MeterVariant::amp()); });
    host.addWindow(WindowNames::FrmWatt, [&f] { return new FrmMeter(f.context(), MeterVariant::watt()); });
    host.setProbeFactory([&f](int, const QString &) { return new FrmProbe(f.context()); });

    QWidget *w = nullptr;
    if (name == WindowNames::FrmProbe) {
        w = host.createProbe(1, QStringLiteral("Soggiorno"));
        w->show();
    } else {
        QVERIFY(host.show(name, false));
        w = host.window(name);
    }
    std::unique_ptr<QWidget> probeOwner(name == WindowNames::FrmProbe ? w : nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // Nothing of the window's own (the needle, the polls) paints meanwhile.
    for (QTimer *t : w->findChildren<QTimer *>())
        t->stop();
    QCoreApplication::processEvents();
    const QString before = shown(w);
    QVERIFY(before != last);

    PaintCounter counter(w);
    for (int i = 1; i <= 1001; ++i)
        push(host, f.state, i);
    QCOMPARE(shown(w), before);
    QTRY_COMPARE(shown(w), last);
    QTRY_VERIFY(counter.most() >= 1);
    QCoreApplication::processEvents();
    QCOMPARE(counter.most(), 1);
}

// The translator asks for every aux and energy frame whether the window is open.
void TestDeviceHost::windowOpenFromWhatWasMade()
{
    DeviceHost host;
    host.addWindow(WindowNames::FrmVolt, [] { return new QWidget; });
    QVERIFY(!host.windowOpen(WindowNames::FrmVolt));
    QVERIFY(host.show(WindowNames::FrmVolt, false));
    QVERIFY(host.windowOpen(WindowNames::FrmVolt));
    host.hide(WindowNames::FrmVolt);
    QVERIFY(host.windowOpen(WindowNames::FrmVolt));
    host.unload(WindowNames::FrmVolt);
    QVERIFY(!host.windowOpen(WindowNames::FrmVolt));
    // A name the host does not make is looked for among every window.
    QVERIFY(!host.windowOpen(WindowNames::FrmAmp));
    auto *other = new QWidget;
    other->setObjectName(WindowNames::FrmAmp);
    QVERIFY(host.windowOpen(WindowNames::FrmAmp));
    delete other;
    QVERIFY(!host.windowOpen(WindowNames::FrmAmp));
}

QTEST_MAIN(TestDeviceHost)
#include "tst_devicehost.moc"
