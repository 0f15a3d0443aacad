#include "engine/protocol/Frame.h"
#include "engine/links/FrameReassembler.h"
#include "engine/config/GatewaySettings.h"
#include "engine/links/GetLocalIP.h"
#include "support/LinkFixture.h"
#include "engine/links/LinkGuard.h"
#include "engine/links/LinkWait.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/SettingKeys.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TestCommandLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void sendAnswered_data();
    void sendAnswered();
    void sessionReused();
    void linkDestroyedWhileConnected();
    void secondSendDuringWaitGoesOutAfterwards_data();
    void secondSendDuringWaitGoesOutAfterwards();
    void textThatIsNoFrameNotSent();
    void splitReads_data();
    void splitReads();
    void floodStaysBounded();
    void echoComesAfterTheRepliesReceivedBeforeIt();
    void statusTellsTheState_data();
    void statusTellsTheState();
    void connectGivenUpLeavesNoSocket_data();
    void connectGivenUpLeavesNoSocket();
    void severalAcknowledgementsInOneChunk();
    void joinedWriteNeedsEveryAnswer();
    void strayAcknowledgementIgnored();
    void answeredOnlyOnRetry();
    void connectionDroppedMidSend();
    void sessionOpening_data();
    void sessionOpening();
    void nonceWithoutPassword_data();
    void nonceWithoutPassword();
    void closingEndsEveryWait_data();
    void closingEndsEveryWait();
    void noAckStaysWhileQueuedFramesGoOut_data();
    void noAckStaysWhileQueuedFramesGoOut();
    void gatewaySettingsRead_data();
    void gatewaySettingsRead();
    void guardAllowsOnlyLoopback_data();
    void guardAllowsOnlyLoopback();
    void guardStopsTheProcess();
};

static const QString Light = QStringLiteral("*1*1*11##");

void TestCommandLink::sendAnswered_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("writes");
    QTest::addColumn<QString>("status");
    QTest::newRow("acknowledged") << int(FakeGateway::Reply::Ack) << true << 1 << QString();
    // A refusal ends the send at once: no second write.
    QTest::newRow("refused") << int(FakeGateway::Reply::Nack) << false << 1 << LinkFixture::txt("NoAck") + "  " + Light;
    QTest::newRow("silent three times") << int(FakeGateway::Reply::Silence) << false << 3
                                        << LinkFixture::txt("NoAck") + "  " + Light;
}

void TestCommandLink::sendAnswered()
{
    QFETCH(int, reply);
    QFETCH(bool, result);
    QFETCH(int, writes);
    QFETCH(QString, status);
    LinkFixture f;
    f.gateway.setFrameReply(FakeGateway::Reply(reply));

    QCOMPARE(f.commands.SendTCP(Light), result);

    QCOMPARE(f.gateway.commandFrames(), QStringList(QVector<QString>(writes, Light).toList()));
    QCOMPARE(f.sink.echoes, QStringList{Light});  // once per send, whatever the attempts
    QCOMPARE(f.sink.echoPanes, QStringList{QStringLiteral("TlogC")});
    QVERIFY(!f.state.link.InInvio);
    QVERIFY(f.state.link.FramePendenti.isEmpty());
    const QStringList log = f.TlogC.untimedLines();
    QVERIFY2(log.first().endsWith(LinkFixture::txt("Comstart") + " @ ETH: 127.0.0.1"), qPrintable(log.first()));
    QCOMPARE(log.at(1), QStringLiteral("---"));
    QVERIFY(log.contains(QStringLiteral("-> *99*0##")));
    if (result) {
        QCOMPARE(f.box.colours, QList<int>());
        // The bare acknowledgement is logged by the link, never translated.
        QVERIFY(f.sink.received.isEmpty());
        QCOMPARE(log.last(), QStringLiteral("*#*1##"));
        // The command pane is hidden: its label tells the user something came in.
        QVERIFY(f.window.unread.contains(QStringLiteral("TlogC")));
    } else {
        QCOMPARE(f.status.statusText(), status);
        QCOMPARE(f.box.colours, QList<int>{255});
        QCOMPARE(f.box.restores, QList<int>{2000});
    }
}

void TestCommandLink::sessionReused()
{
    LinkFixture f;
    QVERIFY(f.commands.SendTCP(Light));
    QVERIFY(f.commands.SendTCP(QStringLiteral("*1*0*11##")));
    QCOMPARE(f.gateway.connectionCount(), 1);
    QCOMPARE(f.gateway.sessionFrames(), QStringList{QStringLiteral("*99*0##")});
    QCOMPARE(f.TlogC.untimedLines().filter(LinkFixture::txt("Comstart")).size(), 1);
}

// The program's end destroys the link with its session open: the socket's last goodbye must
// not reach a link whose members are already gone (it wrote a "Comstop" line and a status).
void TestCommandLink::linkDestroyedWhileConnected()
{
    LinkFixture f;
    auto link = std::make_unique<CommandLink>(f.state, f.sink, f.TlogC, f.status, f.box, f.window, f.messages);
    QVERIFY(link->SendTCP(Light));
    const QStringList lines = f.TlogC.untimedLines();
    const QStringList texts = f.status.texts;
    link.reset();
    QCOMPARE(f.TlogC.untimedLines(), lines);
    QCOMPARE(f.status.texts, texts);
}

void TestCommandLink::secondSendDuringWaitGoesOutAfterwards_data()
{
    QTest::addColumn<QString>("firstGets");
    QTest::addColumn<bool>("firstResult");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("acknowledged") << "ack" << true << QStringList{Light, "*2*1*21##"};
    QTest::newRow("refused") << "nack" << false << QStringList{Light, "*2*1*21##"};
    // The retries carry the first frame only; the second goes once, in its own send.
    QTest::newRow("unanswered") << "silence" << false << QStringList{Light, Light, Light, "*2*1*21##"};
    QTest::newRow("connection dropped") << "drop" << false << QStringList{Light, "*2*1*21##"};
}

void TestCommandLink::secondSendDuringWaitGoesOutAfterwards()
{
    QFETCH(QString, firstGets);
    QFETCH(bool, firstResult);
    QFETCH(QStringList, written);
    LinkFixture f;
    const QString second = QStringLiteral("*2*1*21##");
    f.gateway.setResponder([&](const QString &frame) {
        if (frame == second || firstGets == QLatin1String("ack"))
            return QStringList{QStringLiteral("*#*1##")};
        if (firstGets == QLatin1String("nack"))
            return QStringList{QStringLiteral("*#*0##")};
        if (firstGets == QLatin1String("drop"))
            QTimer::singleShot(0, &f.gateway, [&] { f.gateway.dropConnections(); });
        return QStringList{};
    });
    bool nested = true;
    QString pendingMeanwhile;
    // The gateway has the first frame; the second arrives while the first waits.
    connect(&f.gateway, &FakeGateway::frameReceived, this, [&](const QString &frame) {
        if (frame != Light || !pendingMeanwhile.isEmpty())
            return;
        nested = f.commands.SendTCP(second);
        pendingMeanwhile = f.state.link.FramePendenti;
    });

    QCOMPARE(f.commands.SendTCP(Light), firstResult);
    QVERIFY(!nested);
    QCOMPARE(pendingMeanwhile, Light + second);
    QVERIFY(f.state.link.FramePendenti.isEmpty());
    // Not lost: it goes out on its own as soon as the event loop runs, and only then.
    QTRY_COMPARE(f.gateway.commandFrames(), written);
    QTRY_VERIFY(!f.state.link.InInvio);
    QCOMPARE(f.sink.echoes, (QStringList{Light, second}));
    QTest::qWait(100);
    QCOMPARE(f.gateway.commandFrames(), written);
}

void TestCommandLink::textThatIsNoFrameNotSent()
{
    LinkFixture f;
    for (const QString &text : {QStringLiteral("**1*1*11####"), QString::fromUtf8("*1*1*1\u20ac##"), QString()}) {
        QVERIFY(!f.commands.SendTCP(text));
        f.commands.SendUsb(text, false);
    }
    QCOMPARE(f.gateway.connectionCount(), 0);
    QVERIFY(f.TlogC.text().isEmpty());
    QVERIFY(f.box.colours.isEmpty());
    QVERIFY(f.status.texts.isEmpty());
    QVERIFY(!f.state.link.InInvio);
}

void TestCommandLink::splitReads_data()
{
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<bool>("challenge");
    // The reply "*#4*1*0*0215##*#*1##" read as "*#4*1*0*02", then "15##*#*1##".
    QTest::newRow("inside a frame") << 10 << false;
    QTest::newRow("inside the nonce") << 6 << true;
    QTest::newRow("inside an acknowledgement") << 3 << false;
    QTest::newRow("one byte at a time") << 1 << true;
}

void TestCommandLink::splitReads()
{
    QFETCH(int, pieceBytes);
    QFETCH(bool, challenge);
    LinkFixture f;
    CommandLink::Timings t;
    t.connectMs = t.greetingMs = t.sessionMs = t.ackMs = 3000;
    f.commands.setTimings(t);
    f.gateway.setWritePieces(pieceBytes, 5);
    if (challenge) {
        f.gateway.setChallenge(QStringLiteral("603356072"), QStringLiteral("25280520"));
        f.state.link.PasswordGateway = QStringLiteral("12345");
    }
    const QString probe = QStringLiteral("*#4*1*0##");
    f.gateway.setReplies(probe, {QStringLiteral("*#4*1*0*0215##")});

    QVERIFY(f.commands.SendTCP(probe));
    QCOMPARE(f.gateway.passwordAnswers(), challenge ? QStringList{"*#25280520##"} : QStringList());
    QVERIFY(f.commands.SendTCP(Light));
    // The translator sees whole frames only, and every one of them.
    for (const QString &text : std::as_const(f.sink.received))
        QVERIFY2(text.endsWith(QStringLiteral("##")), qPrintable(text));
    QStringList frames = Frame::cut(f.sink.received.join(QString()));
    frames.removeAll(QStringLiteral("*#*1"));
    if (challenge)
        frames.removeAll(QStringLiteral("*#603356072"));
    QCOMPARE(frames, QStringList{QStringLiteral("*#4*1*0*0215")});
    for (const QString &line : f.TlogC.untimedLines())
        QVERIFY2(!line.startsWith(QStringLiteral("*#")) || Frame::isAck(line), qPrintable(line));
}

// A large reply is translated a slice per turn; the echo of a frame sent meanwhile comes after
// every frame of the reply, which was received before it.
void TestCommandLink::echoComesAfterTheRepliesReceivedBeforeIt()
{
    LinkFixture f;
    f.sink.writesLines = true;
    const QString request = QStringLiteral("*#1*0##");
    QStringList reply;
    for (int i = 0; i < FrameSlicer::SliceFrames * 12; ++i)
        reply << QStringLiteral("*1*%1*%2##").arg(i % 2).arg(i);
    f.gateway.setReplies(request, reply);
    QVERIFY(f.commands.SendTCP(request));
    // The reply's acknowledgement has been read: the whole reply is in, most of it untranslated.
    QVERIFY(f.sink.received.size() < 12);
    QVERIFY(f.commands.SendTCP(Light));
    QTRY_VERIFY(f.TlogC.untimedLines().contains(reply.last()));
    QStringList lines = f.TlogC.untimedLines();
    lines.removeAll(QStringLiteral("*#*1##"));
    const qsizetype first = lines.indexOf(QStringLiteral("echo ") + request);
    QVERIFY(first >= 0);
    QCOMPARE(lines.mid(first), QStringList{QStringLiteral("echo ") + request} + reply
                                   + QStringList{QStringLiteral("echo ") + Light});
}

void TestCommandLink::floodStaysBounded()
{
    LinkFixture f;
    QVERIFY(f.commands.SendTCP(Light));
    // An idle session flooded with text that never ends a frame, then one frame.
    const QString noise(64 * 1024, QLatin1Char('7'));
    for (int i = 0; i < 16; ++i)
        f.gateway.pushCommand(noise);
    f.gateway.pushCommand(QStringLiteral("*1*0*11##"));
    QTRY_COMPARE(f.sink.received.size(), 1);
    QVERIFY(f.sink.received.first().endsWith(QStringLiteral("*1*0*11##")));
    QVERIFY(f.sink.received.first().size() <= FrameReassembler::MaxTail + 9);
    QVERIFY(!f.TlogC.untimedLines().filter(QStringLiteral("without \"##\" dropped")).isEmpty());

    // Whole frames on a session nobody sends on are kept to a bound too.
    const QString frames = QStringLiteral("*1*1*11##").repeated(4000);
    f.gateway.pushCommand(frames);
    QTRY_COMPARE(Frame::cut(f.sink.received.join(QString())).size(), 4001);
    QVERIFY(f.state.link.BufferCmd.size() <= FrameReassembler::MaxBuffer);
}

void TestCommandLink::statusTellsTheState_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("success, monitor off") << "" << LinkFixture::txt("Stop");
    QTest::newRow("success, monitor on") << "monitor" << LinkFixture::txt("StatCon");
    QTest::newRow("refusal, then success") << "refusal" << LinkFixture::txt("Stop");
    QTest::newRow("monitor ended by the gateway") << "monitor ended" << LinkFixture::txt("Stop");
}

void TestCommandLink::statusTellsTheState()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    LinkFixture f;
    f.status.setStatusText(LinkFixture::txt("Stop"));
    if (before.startsWith(QLatin1String("monitor")))
        QVERIFY(f.monitor.ApriGateway());
    if (before == QLatin1String("monitor ended")) {
        f.gateway.dropConnections();
        QTRY_COMPARE(f.status.statusText(), LinkFixture::txt("Stop"));
    }
    if (before == QLatin1String("refusal")) {
        f.gateway.setFrameReply(FakeGateway::Reply::Nack);
        QVERIFY(!f.commands.SendTCP(Light));
        QCOMPARE(f.status.statusText(), LinkFixture::txt("NoAck") + "  " + Light);
        f.gateway.setFrameReply(FakeGateway::Reply::Ack);
    }
    QString whileWaiting;
    connect(&f.gateway, &FakeGateway::frameReceived, this,
            [&](const QString &frame) { if (frame == Light) whileWaiting = f.status.statusText(); });

    QVERIFY(f.commands.SendTCP(Light));
    // "Connecting" only while it connects; a refusal only until a send goes through.
    if (before != QLatin1String("refusal")) {
        QVERIFY(f.status.texts.contains(LinkFixture::txt("WaitCon")));
        QCOMPARE(whileWaiting, after);
    }
    QCOMPARE(f.status.statusText(), after);
    QVERIFY(f.commands.SendTCP(Light));
    QCOMPARE(f.status.statusText(), after);
}

void TestCommandLink::connectGivenUpLeavesNoSocket_data()
{
    QTest::addColumn<bool>("monitor");
    QTest::newRow("command link") << false;
    QTest::newRow("monitor link") << true;
}

void TestCommandLink::connectGivenUpLeavesNoSocket()
{
    QFETCH(bool, monitor);
    LinkFixture f;
    CommandLink::Timings ct;
    ct.connectMs = 300;
    f.commands.setTimings(ct);
    MonitorLink::Timings mt;
    mt.connectMs = 300;
    f.monitor.setTimings(mt);
    QTcpSocket &socket = monitor ? f.monitor.WSMON() : f.commands.Winsock1();
    QVERIFY(f.gateway.fillBacklog());

    QVERIFY(!(monitor ? f.monitor.ApriGateway() : f.commands.SendTCP(Light)));
    QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(f.status.statusText(), f.noConnection(QStringLiteral("Connection timed out")));
    f.gateway.drainBacklog();
    // A connect left running gets in with the retry of its SYN, a second after the first.
    QTest::qWait(1500);
    QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!f.Tlog.text().contains(Frame::Ack));
    QVERIFY(!f.TlogC.text().contains(Frame::Ack));
    QVERIFY(f.sink.received.isEmpty());

    // The next try opens a session before anything else.
    f.gateway.clearRecords();
    f.window.buttonImage = 2;
    if (monitor) {
        QVERIFY(f.monitor.ApriGateway());
        QCOMPARE(f.gateway.sessionFrames(), QStringList{QStringLiteral("*99*1##")});
    } else {
        QVERIFY(f.commands.SendTCP(Light));
        QCOMPARE(f.gateway.sessionFrames(), QStringList{QStringLiteral("*99*0##")});
        QCOMPARE(f.gateway.commandFrames(), QStringList{Light});
    }
}

void TestCommandLink::severalAcknowledgementsInOneChunk()
{
    LinkFixture f;
    const QString probe = QStringLiteral("*#4*1*0##*#4*1*12##");
    f.gateway.setReplies(QStringLiteral("*#4*1*0##"), {QStringLiteral("*#4*1*0*0215##")});
    QVERIFY(f.commands.SendTCP(Light + QStringLiteral("*1*1*12##")));
    // Two answers in one read are no bare acknowledgement: the translator gets them.
    QCOMPARE(f.sink.received, QStringList{QStringLiteral("*#*1##*#*1##")});

    // Replies come before their acknowledgement and reach the translator with it.
    QVERIFY(f.commands.SendTCP(probe));
    QCOMPARE(f.sink.received.last(), QStringLiteral("*#4*1*0*0215##*#*1##*#*1##"));
    QCOMPARE(f.sink.panes.last(), QStringLiteral("TlogC"));
}

void TestCommandLink::joinedWriteNeedsEveryAnswer()
{
    LinkFixture f;
    // Only the first frame of the write is answered.
    f.gateway.setResponder([](const QString &frame) {
        return frame == Light ? QStringList{QStringLiteral("*#*1##")} : QStringList{};
    });
    QVERIFY(!f.commands.SendTCP(Light + QStringLiteral("*1*1*12##")));
    QCOMPARE(f.status.statusText(), LinkFixture::txt("NoAck") + "  " + Light + "*1*1*12##");
}

void TestCommandLink::strayAcknowledgementIgnored()
{
    LinkFixture f;
    const QString second = QStringLiteral("*1*1*12##");
    // The first frame is refused; the answer to the second comes late, during the next send.
    f.gateway.setResponder([&](const QString &frame) {
        if (frame == Light)
            return QStringList{QStringLiteral("*#*0##")};
        if (frame == second)
            QTimer::singleShot(100, &f.gateway, [&] { f.gateway.pushCommand(QStringLiteral("*#*1##")); });
        return QStringList{};
    });
    QVERIFY(!f.commands.SendTCP(Light + second));
    QCOMPARE(f.gateway.commandFrames().size(), 2);

    // This one is never answered: the late acknowledgement belongs to the write before.
    QVERIFY(!f.commands.SendTCP(QStringLiteral("*1*0*13##")));
    QCOMPARE(f.status.statusText(), LinkFixture::txt("NoAck") + "  *1*0*13##");
}

void TestCommandLink::answeredOnlyOnRetry()
{
    LinkFixture f;
    // The gateway lets the first write go unanswered and acknowledges the second.
    int seen = 0;
    f.gateway.setResponder([&](const QString &) {
        return ++seen == 1 ? QStringList{} : QStringList{QStringLiteral("*#*1##")};
    });
    QVERIFY(f.commands.SendTCP(Light));
    QCOMPARE(f.gateway.commandFrames(), (QStringList{Light, Light}));
    QCOMPARE(f.sink.echoes, QStringList{Light});

    // The answer the first write never got is not waited for by the next send.
    QVERIFY(f.commands.SendTCP(QStringLiteral("*1*0*11##")));
    QCOMPARE(f.gateway.commandFrames(), (QStringList{Light, Light, QStringLiteral("*1*0*11##")}));
}

void TestCommandLink::connectionDroppedMidSend()
{
    LinkFixture f;
    f.gateway.setResponder([&](const QString &) {
        QTimer::singleShot(0, &f.gateway, [&] { f.gateway.dropConnections(); });
        return QStringList{};
    });
    QVERIFY(!f.commands.SendTCP(Light));
    QCOMPARE(f.gateway.commandFrames(), QStringList{Light});  // one write: no retry on a lost socket
    QVERIFY(!f.state.link.InInvio);
    QVERIFY(!f.state.link.ConnessoTCP);
    QVERIFY(f.state.link.FramePendenti.isEmpty());
    QCOMPARE(f.status.statusText(), QStringLiteral("[comstop]"));
    QCOMPARE(f.TlogC.untimedLines().last(), LinkFixture::txt("Comstop"));
    QCOMPARE(f.box.colours, QList<int>{255});

    // The next send opens a new session.
    f.gateway.setResponder({});
    QVERIFY(f.commands.SendTCP(Light));
    QCOMPARE(f.gateway.connectionCount(), 2);
}

void TestCommandLink::sessionOpening_data()
{
    QTest::addColumn<int>("sessionReply");
    QTest::addColumn<QString>("nonce");
    QTest::addColumn<QString>("expected");   // the gateway's own copy of the answer
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("challengeAgain");
    const int ack = int(FakeGateway::Reply::Ack);
    QTest::newRow("no challenge") << ack << QString() << QString() << QString() << true << QStringList() << false;
    QTest::newRow("nonce answered") << ack << "603356072" << "25280520" << "12345" << true
                                    << QStringList{"*#25280520##"} << false;
    QTest::newRow("other nonce") << ack << "410501656" << "119537670" << "12345" << true << QStringList{"*#119537670##"} << false;
    QTest::newRow("wrong password") << ack << "603356072" << "25280520" << "54321" << false
                                    << QStringList{"*#111247368##"} << false;
    // A refusal while opening is no nonce: nothing is answered.
    QTest::newRow("refused") << int(FakeGateway::Reply::Nack) << QString() << QString() << "12345" << false
                             << QStringList() << false;
    // Read as "*#*1#" and then "#": no challenge, so no password is asked for.
    QTest::newRow("acknowledged in pieces") << int(FakeGateway::Reply::AckInPieces) << QString() << QString()
                                            << QString() << true << QStringList() << false;
    QTest::newRow("silent") << int(FakeGateway::Reply::Silence) << QString() << QString() << "12345" << false
                            << QStringList() << false;
    // Answered once; a second challenge ends the opening instead of answering again.
    QTest::newRow("challenged again") << ack << "603356072" << "25280520" << "54321" << false
                                      << QStringList{"*#111247368##"} << true;
}

void TestCommandLink::sessionOpening()
{
    QFETCH(int, sessionReply);
    QFETCH(QString, nonce);
    QFETCH(QString, expected);
    QFETCH(QString, password);
    QFETCH(bool, opens);
    QFETCH(QStringList, answers);
    QFETCH(bool, challengeAgain);
    LinkFixture f;
    f.gateway.setChallengeAgain(challengeAgain);
    f.gateway.setSessionReply(FakeGateway::Reply(sessionReply));
    f.gateway.setChallenge(nonce, expected);
    f.state.link.PasswordGateway = password;
    if (!opens)
        f.state.link.FramePendenti = QStringLiteral("*1*0*99##");  // queued meanwhile: must not go out later

    QCOMPARE(f.commands.SendTCP(Light), opens);
    QCOMPARE(f.gateway.passwordAnswers(), answers);
    QCOMPARE(f.gateway.sessionFrames(), QStringList{QStringLiteral("*99*0##")});
    QVERIFY(f.messages.shown.isEmpty());
    QVERIFY(f.state.link.FramePendenti.isEmpty());
    if (opens) {
        QCOMPARE(f.gateway.commandFrames(), QStringList{Light});
        // The answer goes to the gateway only; the log shows its shape.
        for (QString a : answers) {
            QVERIFY(!f.TlogC.text().contains(a));
            a.replace(QRegularExpression(QStringLiteral("[0-9]")), QStringLiteral("*"));
            QVERIFY(f.TlogC.untimedLines().contains(QStringLiteral("-> ") + a));
        }
        return;
    }
    QCOMPARE(f.status.statusText(), f.noConnection());
    QCOMPARE(f.box.colours, QList<int>{255});
    QVERIFY(f.gateway.commandFrames().isEmpty());
    // Nothing of the failed send is carried into the next one.
    f.gateway.setSessionReply(FakeGateway::Reply::Ack);
    f.gateway.setChallenge(QString(), QString());
    QVERIFY(f.commands.SendTCP(QStringLiteral("*1*1*12##")));
    QCOMPARE(f.gateway.commandFrames(), QStringList{QStringLiteral("*1*1*12##")});
}

void TestCommandLink::nonceWithoutPassword_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("shown");
    QTest::newRow("language text") << "Opzioni, Connessione" << "Opzioni, Connessione";
    QTest::newRow("older language file: built-in text")
        << "" << "Enter the password in Options, Connection tab, Password (digits only)";
}

void TestCommandLink::nonceWithoutPassword()
{
    QFETCH(QString, where);
    QFETCH(QString, shown);
    LinkFixture f;
    f.state.lang.text.insert(QStringLiteral("PwWhere"), where);
    f.gateway.setChallenge(QStringLiteral("603356072"), QStringLiteral("25280520"));
    QVERIFY(!f.commands.SendTCP(Light));
    const QString ip = GetLocalIP();
    // The message says where the password goes.
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("Allow %1 on the gateway (%1)\n").arg(ip) + shown});
    QCOMPARE(f.messages.shown.first().icon, MessageBoxService::Icon::Warning);
    QCOMPARE(f.messages.shown.first().title, ProgramIdentity::Title);
    QVERIFY(f.gateway.passwordAnswers().isEmpty());
    QVERIFY(f.gateway.commandFrames().isEmpty());
    // The status bar outlasts the message: it says why, and where the password goes.
    QCOMPARE(f.status.statusText(), f.noConnection(QStringLiteral("Allow %1 on the gateway (%1). ").arg(ip) + shown));
}

void TestCommandLink::closingEndsEveryWait_data()
{
    QTest::addColumn<QString>("wait");
    QTest::addColumn<int>("writes");
    QTest::newRow("connection") << "connection" << 0;
    QTest::newRow("greeting") << "greeting" << 0;
    QTest::newRow("session reply") << "session" << 0;
    QTest::newRow("acknowledgement") << "ack" << 1;
    QTest::newRow("acknowledgement of a retry") << "retry" << 2;
}

// Whatever the send waits for when the program starts closing, it ends at once and leaves
// no send marked as under way and no frame queued to go out later.
void TestCommandLink::closingEndsEveryWait()
{
    QFETCH(QString, wait);
    QFETCH(int, writes);
    LinkFixture f;
    if (wait != QLatin1String("retry"))
        f.commands.setTimings({}); // the real durations: 10 s waits
    if (wait == QLatin1String("connection"))
        QVERIFY(f.gateway.fillBacklog());
    else if (wait == QLatin1String("greeting"))
        f.gateway.setGreeting(false);
    else if (wait == QLatin1String("session"))
        f.gateway.setSessionReply(FakeGateway::Reply::Silence);
    else
        f.gateway.setFrameReply(FakeGateway::Reply::Silence);
    // Another caller queues a frame while the send waits.
    const QString queued = QStringLiteral("*2*1*21##");
    bool queuedResult = true;
    QTimer::singleShot(100, &f.gateway, [&] { queuedResult = f.commands.SendTCP(queued); });
    if (wait == QLatin1String("retry")) {
        connect(&f.gateway, &FakeGateway::frameReceived, this, [&](const QString &frame) {
            if (frame == Light && f.gateway.commandFrames().size() == writes)
                f.closeAfter(50);
        });
    } else {
        f.closeAfter(200);
    }

    QVERIFY(!f.commands.SendTCP(Light));
    QCOMPARE(f.eventsAfterClosing, 0);
    QVERIFY(!queuedResult);
    QVERIFY(!f.state.link.InInvio);
    QVERIFY(f.state.link.FramePendenti.isEmpty());
    // Closing is not a failure to report.
    QVERIFY(f.box.colours.isEmpty());
    const QStringList sessions = f.gateway.sessionFrames();
    f.gateway.drainBacklog();
    QTest::qWait(300);
    QCOMPARE(f.gateway.commandFrames(), QStringList(QVector<QString>(writes, Light).toList()));
    QCOMPARE(f.gateway.sessionFrames(), sessions);
}

void TestCommandLink::noAckStaysWhileQueuedFramesGoOut_data()
{
    QTest::addColumn<bool>("queuedAnswered");
    QTest::addColumn<QStringList>("afterFailure"); // status texts from the failure on
    const QString second = QStringLiteral("*2*1*21##");
    const QString failed = LinkFixture::txt("NoAck") + "  " + Light + second;
    QTest::newRow("queued frame acknowledged") << true << QStringList{failed, LinkFixture::txt("Stop")};
    QTest::newRow("queued frame unanswered")
        << false << QStringList{failed, LinkFixture::txt("NoAck") + "  " + second};
}

// A frame that waited behind a failed send reopens the session on its own; the failure
// stays in sight, naming it, until that send ends.
void TestCommandLink::noAckStaysWhileQueuedFramesGoOut()
{
    QFETCH(bool, queuedAnswered);
    QFETCH(QStringList, afterFailure);
    LinkFixture f;
    f.status.setStatusText(LinkFixture::txt("Stop"));
    const QString second = QStringLiteral("*2*1*21##");
    f.gateway.setResponder([&](const QString &frame) {
        return frame == second && queuedAnswered ? QStringList{QStringLiteral("*#*1##")} : QStringList{};
    });
    connect(&f.gateway, &FakeGateway::frameReceived, this, [&](const QString &frame) {
        if (frame == Light && f.gateway.commandFrames().size() == 1)
            f.commands.SendTCP(second);
    });

    QVERIFY(!f.commands.SendTCP(Light));
    const qsizetype failedAt = f.status.texts.size() - 1;
    QCOMPARE(f.status.statusText(), afterFailure.first());
    QTRY_VERIFY(f.gateway.commandFrames().contains(second));
    QTRY_VERIFY(!f.state.link.InInvio);
    QCOMPARE(f.status.texts.mid(failedAt), afterFailure);
    QCOMPARE(f.gateway.connectionCount(), 2);
}

void TestCommandLink::gatewaySettingsRead_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("password");
    QTest::newRow("none") << QString() << QString();
    QTest::newRow("number") << "12345" << "12345";
    QTest::newRow("blanks around") << " 42 " << "42";
    QTest::newRow("largest") << "4294967295" << "4294967295";
    QTest::newRow("beyond 32 bits") << "4294967296" << QString();
    QTest::newRow("not a number") << "12a4" << QString();
    QTest::newRow("signed") << "+12" << QString();
}

void TestCommandLink::gatewaySettingsRead()
{
    QFETCH(QString, stored);
    QFETCH(QString, password);
    LinkFixture f;
    if (!stored.isNull())
        f.settings.save(SettingKeys::Password, stored);
    f.settings.save(SettingKeys::ServerIP, QStringLiteral("127.0.0.1"));
    LinkState link;
    LeggiImpostazioniGateway(f.settings, link);
    QCOMPARE(link.PasswordGateway, password);
    QCOMPARE(link.IpGateway, QStringLiteral("127.0.0.1"));
    QCOMPARE(link.PortaGateway, QStringLiteral("20000"));
}

void TestCommandLink::guardAllowsOnlyLoopback_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("loopback") << "127.0.0.1" << true;
    QTest::newRow("loopback net") << "127.0.0.2" << true;
    QTest::newRow("loopback v6") << "::1" << true;
    QTest::newRow("default gateway") << "192.168.1.35" << false;
    QTest::newRow("name") << "localhost" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCommandLink::guardAllowsOnlyLoopback()
{
    QFETCH(QString, address);
    QFETCH(bool, allowed);
    QCOMPARE(LinkGuard::allowedInTestMode(address), allowed);
}

void TestCommandLink::guardStopsTheProcess()
{
    if (qEnvironmentVariableIsSet("OMBRIX_GUARD_CHILD")) {
        LinkFixture f;
        f.state.link.IpGateway = QStringLiteral("192.0.2.1");  // documentation address, never routed
        f.commands.SendTCP(Light);
        QFAIL("the link connected outside loopback in test mode");
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMBRIX_GUARD_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("guardStopsTheProcess")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    // QtTest routes qFatal through its own logger (stdout); plain runs write stderr.
    QVERIFY(child.readAllStandardError().contains("not a loopback address")
            || child.readAllStandardOutput().contains("not a loopback address"));
}

QTEST_MAIN(TestCommandLink)
#include "tst_commandlink.moc"
