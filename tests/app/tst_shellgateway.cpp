#include "shell/main/CommandBoxWidget.h"
#include "engine/links/CommandLink.h"
#include "shell/main/ConsolePane.h"
#include "demo-gateway/FakeGateway.h"
#include "shell/main/FrmMain.h"
#include "ProgramFixture.h"
#include "engine/config/SettingKeys.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

// The main window on the real engine, the shipped language files and conf.xml, talking to
// a fake gateway on loopback.
namespace {
struct ProgramUnderTest : ProgramFixture
{
    explicit ProgramUnderTest(bool monitor)
    {
        useGateway();
        settings.save(SettingKeys::Monitor, monitor ? QStringLiteral("1") : QStringLiteral("0"));
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
        CommandLink::Timings t;
        t.ackMs = 400;
        engine->commands().setTimings(t);
    }
};
} // namespace

class TestShellGateway : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void monitorStartsOneSecondAfterStartUp();
    void commandBoxColours_data();
    void commandBoxColours();
    void statusRequestNotHeldBackAfterItsSend();
    void closingClosesTheLinks();
};

void TestShellGateway::monitorStartsOneSecondAfterStartUp()
{
    ProgramUnderTest p(true);
    QElapsedTimer clock;
    clock.start();
    p.start();
    QVERIFY(p.boxes.shown.isEmpty());
    QCOMPARE(p.gateway.openSessions(FakeGateway::Kind::Monitor), 0);
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    QVERIFY(clock.elapsed() >= 900);
    p.gateway.pushEvent(QStringLiteral("*1*1*11##"));
    QTRY_VERIFY(p.window.Tlog().text().contains(QStringLiteral("(*1*1*11##)")));
    QCOMPARE(p.window.monitorButtonImage(), 2);
}

void TestShellGateway::commandBoxColours_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<quint32>("colour");
    QTest::newRow("acknowledged: green") << int(FakeGateway::Reply::Ack) << CommandBoxWidget::Green;
    QTest::newRow("refused: red") << int(FakeGateway::Reply::Nack) << CommandBoxWidget::Red;
    QTest::newRow("no answer: red") << int(FakeGateway::Reply::Silence) << CommandBoxWidget::Red;
}

void TestShellGateway::commandBoxColours()
{
    QFETCH(int, reply);
    QFETCH(quint32, colour);
    ProgramUnderTest p(false);
    p.start();
    p.gateway.setFrameReply(FakeGateway::Reply(reply));
    p.gateway.setAnswerDelay(100);
    QList<quint32> seen;
    // The yellow shows while the send waits for the gateway.
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &probe, [&] {
        if (seen.isEmpty() || seen.last() != p.window.Tcmd().background())
            seen << p.window.Tcmd().background();
    });
    probe.start(5);
    p.window.Tcmd().setText(QStringLiteral("*1*1*11##"));
    QTest::keyClick(&p.window.Tcmd(), Qt::Key_Return);
    probe.stop();
    QVERIFY2(seen.contains(CommandBoxWidget::Yellow), "no yellow while sending");
    QCOMPARE(p.window.Tcmd().background(), colour);
    QVERIFY(p.gateway.commandFrames().contains(QStringLiteral("*1*1*11##")));
    QVERIFY(p.window.TlogC().text().contains(QStringLiteral("*1*1*11##")));
    QTRY_COMPARE_WITH_TIMEOUT(p.window.Tcmd().background(), CommandBoxWidget::White, 4000);
}

// Fewer than eight channels answer the request: once its send ends, auxiliary events are
// logged again.
void TestShellGateway::statusRequestNotHeldBackAfterItsSend()
{
    ProgramUnderTest p(true);
    p.gateway.setReplies(QStringLiteral("*#9##"), {QStringLiteral("*9*1*1##"), QStringLiteral("*9*0*2##")});
    p.start();
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    p.window.barra_ButtonClick(5);
    QVERIFY(p.gateway.commandFrames().contains(QStringLiteral("*#9##")));
    QVERIFY(!p.state.live.RichiestaStato);
    QVERIFY(p.state.live.AuxLetti);
    QVERIFY(p.state.live.StatoAux[1].value_or(false));
    QVERIFY(!p.window.TlogC().text().contains(QStringLiteral("(*9*1*1##)")));
    p.gateway.pushEvent(QStringLiteral("*9*1*3##"));
    QTRY_VERIFY(p.window.Tlog().text().contains(QStringLiteral("(*9*1*3##)")));
}

void TestShellGateway::closingClosesTheLinks()
{
    ProgramUnderTest p(true);
    p.start();
    QTRY_COMPARE_WITH_TIMEOUT(p.gateway.openSessions(FakeGateway::Kind::Monitor), 1, 4000);
    p.window.Tcmd().setText(QStringLiteral("*1*0*11##"));
    p.window.Isend_Click();
    QCOMPARE(p.gateway.openSessions(FakeGateway::Kind::Command), 1);
    QSignalSpy ended(&p.window, &FrmMain::programEnded);
    p.window.requestUnload();
    QTRY_COMPARE(p.gateway.openSessions(FakeGateway::Kind::Monitor), 0);
    QTRY_COMPARE(p.gateway.openSessions(FakeGateway::Kind::Command), 0);
    QVERIFY(ended.wait(3000));
}

QTEST_MAIN(TestShellGateway)
#include "tst_shellgateway.moc"
