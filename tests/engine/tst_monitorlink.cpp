#include "GetLocalIP.h"
#include "LinkFixture.h"
#include "SettingKeys.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QStandardPaths>
#include <QtTest>

class TestMonitorLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void opensAndReceives();
    void openWithPassword();
    void alreadyConnected();
    void failurePath_data();
    void failurePath();
    void failureWhenSwitchedOffWritesNothing();
    void silencedGroupsListed_data();
    void silencedGroupsListed();
    void waitsEndOnSwitchOffAndClosing_data();
    void waitsEndOnSwitchOffAndClosing();
    void localAddress();
};

void TestMonitorLink::opensAndReceives()
{
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.openSessions(FakeGateway::Kind::Monitor), 1);
    QCOMPARE(f.status.statusText(), LinkFixture::txt("StatCon"));
    QCOMPARE(f.notices.shown.size(), 1);
    QCOMPARE(f.notices.shown.first().text, LinkFixture::txt("Monstart"));
    QCOMPARE(f.notices.shown.first().durationMs, 1000);
    QCOMPARE(f.notices.shown.first().icon, 0);
    QCOMPARE(f.window.trayPictures, QList<int>{0});
    QVERIFY(f.state.link.ConnessoMon);
    const QStringList log = f.Tlog.lines();
    QCOMPARE(log.first(), LinkFixture::txt("LogStart") + " @ ETH: 127.0.0.1");
    QCOMPARE(log.at(1), QStringLiteral("---"));
    QVERIFY(log.contains(QStringLiteral("-> *99*1##")));

    // Events reach the translator with the monitor pane; a bare acknowledgement is only logged.
    f.gateway.pushEvent(QStringLiteral("*1*1*11##*2*0*21##"));
    QTRY_COMPARE(f.sink.received, QStringList{QStringLiteral("*1*1*11##*2*0*21##")});
    QCOMPARE(f.sink.panes, QStringList{QStringLiteral("Tlog")});
    f.gateway.pushEvent(QStringLiteral("*#*1##"));
    QTRY_COMPARE(f.Tlog.lines().last(), QStringLiteral("*#*1##"));
    QCOMPARE(f.sink.received.size(), 1);
    QVERIFY(f.window.activity >= 2);
    // The monitor pane is on show: its label stays as it is.
    QVERIFY(f.window.unread.isEmpty());
}

void TestMonitorLink::openWithPassword()
{
    LinkFixture f;
    f.gateway.setChallenge(QStringLiteral("630292165"), QStringLiteral("4269684735"));
    f.state.link.PasswordGateway = QStringLiteral("12345");
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.passwordAnswers(), QStringList{QStringLiteral("*#4269684735##")});
    // Masked: with the nonce in a saved log, the answer would give the password away.
    QVERIFY(f.Tlog.lines().contains(QStringLiteral("-> *#**********##")));
    QVERIFY(!f.Tlog.text.contains(QStringLiteral("4269684735")));
    QCOMPARE(f.gateway.openSessions(FakeGateway::Kind::Monitor), 1);

    // Without a password the user is told which address to allow, and the link stays off.
    LinkFixture g;
    g.gateway.setChallenge(QStringLiteral("630292165"), QStringLiteral("4269684735"));
    QVERIFY(!g.monitor.ApriGateway());
    QCOMPARE(g.messages.texts(), QStringList{QStringLiteral("Allow %1 on the gateway (%1)").arg(GetLocalIP())});
    QVERIFY(g.gateway.passwordAnswers().isEmpty());
    QCOMPARE(g.window.buttonImage, 1);
}

void TestMonitorLink::alreadyConnected()
{
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.connectionCount(), 1);
    QCOMPARE(f.notices.shown.size(), 1);
}

void TestMonitorLink::failurePath_data()
{
    QTest::addColumn<QString>("gatewayDoes");
    QTest::newRow("nobody listening") << "absent";
    QTest::newRow("no greeting") << "no greeting";
    QTest::newRow("session refused") << "refuse";
    QTest::newRow("session silent") << "silent";
}

void TestMonitorLink::failurePath()
{
    QFETCH(QString, gatewayDoes);
    LinkFixture f;
    if (gatewayDoes == QLatin1String("absent")) {
        QTcpServer placeholder;  // a free port that nobody serves
        QVERIFY(placeholder.listen(QHostAddress::LocalHost));
        f.state.link.PortaGateway = QString::number(placeholder.serverPort());
        placeholder.close();
    } else if (gatewayDoes == QLatin1String("no greeting")) {
        f.gateway.setGreeting(false);
    } else if (gatewayDoes == QLatin1String("refuse")) {
        f.gateway.setSessionReply(FakeGateway::Reply::Nack);
        f.state.link.PasswordGateway = QStringLiteral("12345");
    } else {
        f.gateway.setSessionReply(FakeGateway::Reply::Silence);
    }

    QVERIFY(!f.monitor.ApriGateway());
    QCOMPARE(f.status.statusText(), LinkFixture::txt("Stop"));
    QCOMPARE(f.Tlog.lines().last(), LinkFixture::txt("NoCon") + " (127.0.0.1) ");
    QCOMPARE(f.window.buttonImage, 1);
    QCOMPARE(f.window.trayPictures, QList<int>{2});
    QCOMPARE(f.state.link.IconaTray, 2);
    QVERIFY(f.gateway.passwordAnswers().isEmpty());
    if (gatewayDoes != QLatin1String("absent") && gatewayDoes != QLatin1String("no greeting"))
        QCOMPARE(f.gateway.sessionFrames(), QStringList{QStringLiteral("*99*1##")});
    QVERIFY(f.notices.shown.isEmpty());
    QTRY_COMPARE(f.gateway.openSessions(FakeGateway::Kind::Monitor), 0);
    QVERIFY(!f.state.link.ConnessoMon);
}

void TestMonitorLink::failureWhenSwitchedOffWritesNothing()
{
    LinkFixture f;
    f.gateway.setSessionReply(FakeGateway::Reply::Nack);
    f.window.buttonImage = 1;
    QVERIFY(!f.monitor.ApriGateway());
    QCOMPARE(f.status.statusText(), LinkFixture::txt("Stop"));
    QVERIFY(f.window.trayPictures.isEmpty());
    QVERIFY(f.Tlog.lines().filter(LinkFixture::txt("NoCon")).isEmpty());
}

void TestMonitorLink::silencedGroupsListed_data()
{
    QTest::addColumn<QList<int>>("silenced");
    QTest::addColumn<QString>("line");
    QTest::newRow("all logged") << QList<int>{} << QString();
    QTest::newRow("one") << QList<int>{4} << "Non si riceveranno messagi per : G4";
    QTest::newRow("three") << QList<int>{0, 3, 8} << "Non si riceveranno messagi per : G0, G3, G8";
}

void TestMonitorLink::silencedGroupsListed()
{
    QFETCH(QList<int>, silenced);
    QFETCH(QString, line);
    LinkFixture f;
    for (int k : silenced)
        f.state.filters.WhoL[static_cast<size_t>(k)] = 0;
    QVERIFY(f.monitor.ApriGateway());
    const QStringList listed = f.Tlog.lines().filter(QStringLiteral("Non si riceveranno"));
    QCOMPARE(listed, line.isEmpty() ? QStringList() : QStringList{line});
    if (!line.isEmpty())
        QCOMPARE(f.Tlog.lines().last(), QStringLiteral("---"));
}

void TestMonitorLink::waitsEndOnSwitchOffAndClosing_data()
{
    QTest::addColumn<bool>("closing");
    QTest::addColumn<bool>("greeting");
    QTest::newRow("switched off, session wait") << false << true;
    QTest::newRow("switched off, greeting wait") << false << false;
    QTest::newRow("closing, session wait") << true << true;
    QTest::newRow("closing, greeting wait") << true << false;
}

void TestMonitorLink::waitsEndOnSwitchOffAndClosing()
{
    QFETCH(bool, closing);
    QFETCH(bool, greeting);
    LinkFixture f;
    f.monitor.setTimings({});  // the real 5 s and 2 s waits
    f.gateway.setGreeting(greeting);
    f.gateway.setSessionReply(FakeGateway::Reply::Silence);
    if (closing)
        f.closeAfter(200);
    else
        QTimer::singleShot(200, &f.gateway, [&] { f.window.buttonImage = 1; });
    QElapsedTimer t;
    t.start();
    QVERIFY(!f.monitor.ApriGateway());
    QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(f.eventsAfterClosing, 0);
    // Neither is a failure to report in the log.
    QVERIFY(f.Tlog.lines().filter(LinkFixture::txt("NoCon")).isEmpty());
    QVERIFY(f.window.trayPictures.isEmpty());
    QCOMPARE(f.status.statusText(), closing ? LinkFixture::txt("StartMon") : LinkFixture::txt("Stop"));
}

void TestMonitorLink::localAddress()
{
    const QString ip = GetLocalIP();
    if (ip.isEmpty())
        return;  // a machine without a network interface that is up
    QHostAddress a;
    QVERIFY(a.setAddress(ip));
    QCOMPARE(a.protocol(), QAbstractSocket::IPv4Protocol);
    QVERIFY(!a.isLoopback());
}

QTEST_MAIN(TestMonitorLink)
#include "tst_monitorlink.moc"
