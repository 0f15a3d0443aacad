#include "devices/host/DeviceHost.h"
#include "devices/host/RefreshableWindow.h"
#include "engine/model/WindowNames.h"

#include <QPointer>
#include <QtTest>

namespace {

class CountingWindow : public QWidget, public RefreshableWindow
{
public:
    void refreshFromState() override { ++refreshes; }
    int refreshes = 0;
};

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
    QCOMPARE(made->refreshes, 1);
    QVERIFY(!made->isVisible());
    host.AggiornaAux(false);
    QCOMPARE(made->refreshes, 2);
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

QTEST_MAIN(TestDeviceHost)
#include "tst_devicehost.moc"
