#include "engine/protocol/Frame.h"
#include "engine/links/FrameSlicer.h"
#include "engine/links/GetLocalIP.h"
#include "support/LinkFixture.h"
#include "engine/config/SettingKeys.h"

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
    void splitReads_data();
    void splitReads();
    void sessionEnded_data();
    void sessionEnded();
    void failurePath_data();
    void failurePath();
    void failureWhenSwitchedOffWritesNothing();
    void silencedGroupsListed_data();
    void silencedGroupsListed();
    void waitsEndOnSwitchOffAndClosing_data();
    void waitsEndOnSwitchOffAndClosing();
    void localAddress();
    void burstTranslatedWholeInOrderAcrossTurns_data();
    void burstTranslatedWholeInOrderAcrossTurns();
    void closingDuringBurstEndsIt();
    void stopLineComesAfterTheFramesReceivedBeforeIt();
    void linkReadsNoFurtherPastItsBound();
};

namespace {
// Frames of different lengths, so that a slice cut anywhere but at a frame's end shows.
QString burstOf(int frames)
{
    QString out;
    for (int i = 0; i < frames; ++i)
        out += QStringLiteral("*1*%1*%2##").arg(i % 2).arg(i);
    return out;
}
} // namespace

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
    const QStringList log = f.Tlog.untimedLines();
    QCOMPARE(log.first(), LinkFixture::txt("LogStart") + " @ ETH: 127.0.0.1");
    QCOMPARE(log.at(1), QStringLiteral("---"));
    QVERIFY(log.contains(QStringLiteral("-> *99*1##")));

    // Events reach the translator with the monitor pane; a bare acknowledgement is only logged.
    f.gateway.pushEvent(QStringLiteral("*1*1*11##*2*0*21##"));
    QTRY_COMPARE(f.sink.received, QStringList{QStringLiteral("*1*1*11##*2*0*21##")});
    QCOMPARE(f.sink.panes, QStringList{QStringLiteral("Tlog")});
    f.gateway.pushEvent(QStringLiteral("*#*1##"));
    QTRY_COMPARE(f.Tlog.untimedLines().last(), QStringLiteral("*#*1##"));
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
    QVERIFY(f.Tlog.untimedLines().contains(QStringLiteral("-> *#**********##")));
    QVERIFY(!f.Tlog.text().contains(QStringLiteral("4269684735")));
    QCOMPARE(f.gateway.openSessions(FakeGateway::Kind::Monitor), 1);

    // Without a password the user is told which address to allow, and the link stays off.
    LinkFixture g;
    g.gateway.setChallenge(QStringLiteral("630292165"), QStringLiteral("4269684735"));
    QVERIFY(!g.monitor.ApriGateway());
    QCOMPARE(g.messages.texts(),
             QStringList{QStringLiteral("Allow %1 on the gateway (%1)\n").arg(GetLocalIP())
                         + QStringLiteral("Enter the password in Options, Connection tab, Password (digits only)")});
    QVERIFY(g.gateway.passwordAnswers().isEmpty());
    QCOMPARE(g.window.buttonImage, 1);
    // The line and the status bar say why the monitor did not start, and where the password goes.
    const QString why = g.noConnection(
        QStringLiteral("Allow %1 on the gateway (%1). ").arg(GetLocalIP())
        + QStringLiteral("Enter the password in Options, Connection tab, Password (digits only)"));
    QCOMPARE(g.status.statusText(), why);
    QVERIFY(g.Tlog.untimedLines().contains(why));
}

void TestMonitorLink::alreadyConnected()
{
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.connectionCount(), 1);
    QCOMPARE(f.notices.shown.size(), 1);
}

void TestMonitorLink::splitReads_data()
{
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<bool>("challenge");
    // "*1*1*11##*#4*1*0*0215##..." read as "*1*1*11##*", "#4*1*0*021", "5##*1*0*11", ...
    QTest::newRow("inside a frame") << 10 << false;
    QTest::newRow("inside the nonce") << 6 << true;
    QTest::newRow("inside an acknowledgement") << 3 << false;
    QTest::newRow("one byte at a time") << 1 << true;
}

void TestMonitorLink::splitReads()
{
    QFETCH(int, pieceBytes);
    QFETCH(bool, challenge);
    LinkFixture f;
    MonitorLink::Timings t;
    t.connectMs = t.greetingMs = t.sessionMs = 3000;
    f.monitor.setTimings(t);
    f.gateway.setWritePieces(pieceBytes, 5);
    if (challenge) {
        f.gateway.setChallenge(QStringLiteral("630292165"), QStringLiteral("4269684735"));
        f.state.link.PasswordGateway = QStringLiteral("12345");
    }
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.passwordAnswers().size(), challenge ? 1 : 0);

    const QStringList events{QStringLiteral("*1*1*11"), QStringLiteral("*#4*1*0*0215"), QStringLiteral("*1*0*11")};
    f.gateway.pushEvent(events.join(QStringLiteral("##")) + QStringLiteral("##"));
    const auto translated = [&f] {
        QStringList frames = Frame::cut(f.sink.received.join(QString()));
        frames.removeAll(QStringLiteral("*#*1"));
        frames.removeAll(QStringLiteral("*#630292165"));
        return frames;
    };
    QTRY_COMPARE(translated(), events);
    for (const QString &text : std::as_const(f.sink.received))
        QVERIFY2(text.endsWith(QStringLiteral("##")), qPrintable(text));
    for (const QString &line : f.Tlog.untimedLines())
        QVERIFY2(!line.startsWith(QStringLiteral("*#")) || Frame::isAck(line), qPrintable(line));
}

void TestMonitorLink::sessionEnded_data()
{
    QTest::addColumn<QString>("endedBy");
    QTest::newRow("gateway") << "gateway";
    // The switch and the shutdown write their own lines; the link adds none.
    QTest::newRow("monitor switched off") << "switch";
    QTest::newRow("shutdown") << "shutdown";
}

void TestMonitorLink::sessionEnded()
{
    QFETCH(QString, endedBy);
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    const QString log = f.Tlog.text();
    f.window.trayPictures.clear();
    if (endedBy == QLatin1String("gateway")) {
        f.gateway.dropConnections();
    } else {
        if (endedBy == QLatin1String("switch"))
            f.window.buttonImage = 1;
        else
            f.state.InChiusura = true;
        f.monitor.WSMON().close();
    }
    QTRY_VERIFY(!f.state.link.ConnessoMon);
    QTest::qWait(50);
    if (endedBy != QLatin1String("gateway")) {
        QCOMPARE(f.Tlog.text(), log);
        QVERIFY(f.window.trayPictures.isEmpty());
        QCOMPARE(f.status.statusText(), LinkFixture::txt("StatCon"));
        return;
    }
    // Everything that showed the monitor on now shows it off.
    QCOMPARE(f.Tlog.untimedLines().last(), LinkFixture::txt("LogStop"));
    QVERIFY(f.Tlog.text().mid(log.size()).at(0).isDigit());
    QCOMPARE(f.Tlog.text().mid(log.size()).count(QStringLiteral("\r\n")), 1);
    QCOMPARE(f.window.buttonImage, 1);
    QCOMPARE(f.status.statusText(), LinkFixture::txt("Stop"));
    QCOMPARE(f.window.trayPictures, QList<int>{2});
    QCOMPARE(f.state.link.IconaTray, 2);

    // Switched on again, it opens a new session rather than trusting the old one.
    f.window.buttonImage = 2;
    QVERIFY(f.monitor.ApriGateway());
    QCOMPARE(f.gateway.sessionFrames(), (QStringList{QStringLiteral("*99*1##"), QStringLiteral("*99*1##")}));
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
    // Where, and why where the system knows: a closed port refuses.
    const QString line =
        f.noConnection(gatewayDoes == QLatin1String("absent") ? QStringLiteral("Connection refused") : QString());
    QCOMPARE(f.status.statusText(), line);
    QCOMPARE(f.Tlog.untimedLines().last(), line);
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
    QVERIFY(f.Tlog.untimedLines().filter(LinkFixture::txt("NoCon")).isEmpty());
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
    const QStringList listed = f.Tlog.untimedLines().filter(QStringLiteral("Non si riceveranno"));
    QCOMPARE(listed, line.isEmpty() ? QStringList() : QStringList{line});
    if (!line.isEmpty())
        QCOMPARE(f.Tlog.untimedLines().last(), QStringLiteral("---"));
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
    QVERIFY(f.Tlog.untimedLines().filter(LinkFixture::txt("NoCon")).isEmpty());
    QVERIFY(f.window.trayPictures.isEmpty());
    QCOMPARE(f.status.statusText(), closing ? LinkFixture::txt("StartMon") : LinkFixture::txt("Stop"));
    // Given up: no socket is left connected without a session.
    QCOMPARE(f.monitor.WSMON().state(), QAbstractSocket::UnconnectedState);
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

void TestMonitorLink::burstTranslatedWholeInOrderAcrossTurns_data()
{
    QTest::addColumn<int>("splitAt"); // where the gateway's second write starts; 0: one write
    const int boundary = FrameSlicer::sliceEnd(burstOf(400), FrameSlicer::SliceFrames);
    QTest::newRow("one write") << 0;
    QTest::newRow("split inside the frame after the slice boundary") << boundary + 4;
    QTest::newRow("split inside the frame before the slice boundary") << boundary - 3;
}

// A read of several slices reaches the translator a slice per turn of the event loop, in
// order, every slice whole frames, however the gateway's writes cut the frames.
void TestMonitorLink::burstTranslatedWholeInOrderAcrossTurns()
{
    QFETCH(int, splitAt);
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    const QString burst = burstOf(FrameSlicer::SliceFrames * 2 + 50);
    if (splitAt == 0) {
        f.gateway.pushEvent(burst);
    } else {
        const QString first = burst.left(splitAt);
        f.gateway.pushEvent(first);
        // Every whole frame of the first write translated: the link has read it before the
        // rest is written, so the frame at the cut is joined across two reads.
        const qsizetype whole = first.count(QStringLiteral("##"));
        QTRY_COMPARE(f.sink.received.join(QString()).count(QStringLiteral("##")), whole);
        f.gateway.pushEvent(burst.mid(splitAt));
    }
    QTRY_COMPARE(f.sink.received.join(QString()), burst);
    QVERIFY(f.sink.received.size() >= 3);
    for (const QString &slice : f.sink.received) {
        QVERIFY(slice.endsWith(QStringLiteral("##")));
        QVERIFY(slice.count(QStringLiteral("##")) <= FrameSlicer::SliceFrames);
    }
}

// The shutdown drops what waits of a burst: nothing more is translated once it has begun.
void TestMonitorLink::closingDuringBurstEndsIt()
{
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    f.sink.onReceived = [&f] { f.state.InChiusura = true; };
    f.gateway.pushEvent(burstOf(FrameSlicer::SliceFrames * 20));
    QTRY_VERIFY(!f.sink.received.isEmpty());
    QTest::qWait(200);
    QCOMPARE(f.sink.received.size(), 1);
}

// The gateway ends the session while most of a burst still waits to be translated: the stop
// line, and a line anyone writes meanwhile, come after every frame received before them.
void TestMonitorLink::stopLineComesAfterTheFramesReceivedBeforeIt()
{
    LinkFixture f;
    f.sink.writesLines = true;
    QVERIFY(f.monitor.ApriGateway());
    const QString burst = burstOf(FrameSlicer::SliceFrames * 20);
    qsizetype slicesBeforeTheClose = -1;
    f.sink.onReceived = [&] {
        if (f.sink.received.size() == 1)
            f.gateway.dropConnections();
        else if (!f.state.link.ConnessoMon && slicesBeforeTheClose < 0)
            slicesBeforeTheClose = f.sink.received.size() - 1;
    };
    f.gateway.pushEvent(burst);
    QTRY_COMPARE(f.window.buttonImage, 1);
    f.Tlog.appendText(QStringLiteral("after the stop\r\n"));
    QTRY_COMPARE(f.sink.received.join(QString()), burst);
    // The close was seen while slices still waited.
    QVERIFY2(slicesBeforeTheClose > 0 && slicesBeforeTheClose < 20, qPrintable(QString::number(slicesBeforeTheClose)));
    QStringList lines = f.Tlog.untimedLines();
    const qsizetype firstFrame = lines.indexOf(QStringLiteral("*1*0*0##"));
    QVERIFY(firstFrame > 0);
    lines = lines.mid(firstFrame);
    QCOMPARE(lines.size(), FrameSlicer::SliceFrames * 20 + 2);
    QCOMPARE(lines.join(QString()).remove(LinkFixture::txt("LogStop")).remove(QStringLiteral("after the stop")), burst);
    QCOMPARE(lines.at(lines.size() - 2), LinkFixture::txt("LogStop"));
    QCOMPARE(lines.last(), QStringLiteral("after the stop"));
}

// A burst far past the slicer's bound while the translation is held up (a dialog's own event
// loop inside a slice): the link leaves the rest in the socket, and once the translation goes
// on again every frame comes through, in order.
void TestMonitorLink::linkReadsNoFurtherPastItsBound()
{
    LinkFixture f;
    QVERIFY(f.monitor.ApriGateway());
    const QString burst = burstOf(int(FrameSlicer::MaxWaitingChars / 8));
    QVERIFY(burst.size() > FrameSlicer::MaxWaitingChars + 4 * FrameSlicer::ReadBufferBytes);
    bool held = false;
    f.sink.onReceived = [&] {
        // A slice of a later turn: the first is translated inside the read itself.
        if (f.sink.received.size() != 2)
            return;
        // The link has stopped taking what its socket holds: the socket's buffer fills up.
        QTcpSocket &socket = f.monitor.WSMON();
        held = QTest::qWaitFor([&] { return socket.bytesAvailable() >= FrameSlicer::ReadBufferBytes; }, 10000);
        // And stays full: nothing more is read while the slicer is past its bound.
        QTest::qWait(50);
        held = held && socket.bytesAvailable() == FrameSlicer::ReadBufferBytes;
    };
    f.gateway.pushEvent(burst);
    QTRY_VERIFY(!f.sink.received.isEmpty());
    QVERIFY(held);
    QTRY_COMPARE_WITH_TIMEOUT(f.sink.received.join(QString()).size(), burst.size(), 20000);
    QCOMPARE(f.sink.received.join(QString()), burst);
    // Frames after the backlog come as usual.
    f.gateway.pushEvent(QStringLiteral("*1*1*99##"));
    QTRY_COMPARE(f.sink.received.last(), QStringLiteral("*1*1*99##"));
}

QTEST_MAIN(TestMonitorLink)
#include "tst_monitorlink.moc"
