#include "support/DeviceFixture.h"
#include "devices/aux/FrmAux.h"
#include "devices/host/PictureBox.h"
#include "engine/model/WindowNames.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

// The auxiliary channels: lamps from the shared state, switching only after an acknowledgement.
class TestAuxWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void unknownChannelsLookOff();
    void channelNamesShownWhole_data();
    void channelNamesShownWhole();
    void switching_data();
    void switching();
    void closingHidesUntilTheProgramEnds();
    void keptOnTop();
};

namespace {
int lamp(const FrmAux &w, int channel)
{
    return w.findChild<PictureBox *>(QStringLiteral("ImgAux%1").arg(channel - 1))->picture();
}
QPushButton *number(const FrmAux &w, int channel)
{
    return w.findChild<QPushButton *>(QStringLiteral("Laux%1").arg(channel - 1));
}
bool black(const FrmAux &w, int channel) { return number(w, channel)->palette().color(QPalette::ButtonText) == Qt::black; }
} // namespace

void TestAuxWindow::unknownChannelsLookOff()
{
    DeviceFixture f;
    f.state.model.NomiAux[2] = QStringLiteral("Irrigazione");
    f.state.live.StatoAux[4] = false;
    f.state.live.StatoAux[6] = true;
    FrmAux w(f.context());
    QCOMPARE(w.windowTitle(), QStringLiteral("AUX"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("LnAux1"))->text(), QStringLiteral("Irrigazione"));
    QCOMPARE(number(w, 15)->text(), QStringLiteral("Aux 15"));
    for (int n = 1; n <= 15; ++n) {
        QCOMPARE(lamp(w, n), n == 6 ? 1 : 0);
        QCOMPARE(black(w, n), n == 6);
    }
    // The translator changes the state; the window shows it when asked to repaint.
    f.state.live.StatoAux[6] = false;
    w.Aggiorna();
    QCOMPARE(lamp(w, 6), 0);
}

void TestAuxWindow::channelNamesShownWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("whole");
    QTest::newRow("short") << "Pompa" << true;
    QTest::newRow("longer than the design width") << "Irrigazione giardino" << true;
    QTest::newRow("longer than the window may grow")
        << "Irrigazione giardino lato nord, aiuole e siepe del vialetto d'ingresso" << false;
}

// The window grows to show a channel's whole name, within reason; beyond that the name is
// shortened and the whole of it is in the tool tip.
void TestAuxWindow::channelNamesShownWhole()
{
    QFETCH(QString, name);
    QFETCH(bool, whole);
    DeviceFixture f;
    f.state.model.NomiAux[3] = name;
    FrmAux w(f.context());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *label = w.findChild<QLabel *>(QStringLiteral("LnAux2"));
    QCOMPARE(label->toolTip(), name);
    QCOMPARE(label->text() == name, whole);
    QVERIFY(label->text().endsWith(QChar(0x2026)) != whole);
    // What the label shows fits inside the window.
    const int right = label->mapTo(&w, QPoint(label->fontMetrics().horizontalAdvance(label->text()), 0)).x();
    QVERIFY2(right <= w.width(), qPrintable(QStringLiteral("%1 > %2").arg(right).arg(w.width())));
    QVERIFY(w.width() <= 264);
}

void TestAuxWindow::switching_data()
{
    QTest::addColumn<bool>("acknowledged");
    QTest::newRow("acknowledged") << true;
    QTest::newRow("refused") << false;
}

void TestAuxWindow::switching()
{
    QFETCH(bool, acknowledged);
    DeviceFixture f;
    f.sender.acknowledge = acknowledged;
    FrmAux w(f.context());
    number(w, 3)->click();
    QCOMPARE(f.sender.tcp, QStringList{QStringLiteral("*9*1*3##")});
    QCOMPARE(f.state.live.StatoAux[3].has_value(), acknowledged);
    QCOMPARE(lamp(w, 3), acknowledged ? 1 : 0);
    QCOMPARE(black(w, 3), acknowledged);
    number(w, 3)->click();
    // Switched on, the next click switches off; refused, it asks to switch on again.
    QCOMPARE(f.sender.tcp.last(), acknowledged ? QStringLiteral("*9*0*3##") : QStringLiteral("*9*1*3##"));
    QCOMPARE(lamp(w, 3), 0);
    QCOMPARE(f.state.live.StatoAux[3], acknowledged ? std::optional<bool>(false) : std::nullopt);
}

void TestAuxWindow::closingHidesUntilTheProgramEnds()
{
    DeviceFixture f;
    QPointer<FrmAux> w = new FrmAux(f.context());
    w->show();
    w->move(30, 45);
    f.menus->tick(MainMenus::Entry::Aux, true);
    QVERIFY(!w->close());
    QVERIFY(!w.isNull());
    QVERIFY(!w->isVisible());
    QVERIFY(!f.menus->isTicked(MainMenus::Entry::Aux));
    QCOMPARE(f.settings.read(WindowNames::FrmAux, QStringLiteral("x"), QString()), QStringLiteral("450"));
    f.state.InChiusura = true;
    w->show();
    QVERIFY(w->close());
    delete w.data();
}

void TestAuxWindow::keptOnTop()
{
    DeviceFixture f;
    f.settings.save(WindowNames::FrmAux, QStringLiteral("ontop"), QStringLiteral("1"));
    FrmAux w(f.context());
    auto *box = w.findChild<QCheckBox *>(QStringLiteral("Contop"));
    QVERIFY(box->isChecked());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    box->click();
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.settings.read(WindowNames::FrmAux, QStringLiteral("ontop"), QString()), QStringLiteral("0"));
}

QTEST_MAIN(TestAuxWindow)
#include "tst_auxwindow.moc"
