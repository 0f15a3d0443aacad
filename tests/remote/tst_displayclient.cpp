#include "remote/display/ClientLamp.h"
#include "engine/model/EngineState.h"
#include "engine/translator/FrameTranslator.h"
#include "support/LinkFixture.h"
#include "support/LinkRecorders.h"
#include "support/LoopbackClient.h"
#include "support/RecordingCharacter.h"
#include "support/RecordingMessageBox.h"
#include "support/TranslatorFixture.h"
#include "support/RecordingWindowRegistry.h"
#include "remote/RemoteAccess.h"
#include "remote/common/RefusalLog.h"
#include "support/RecordingNotice.h"
#include "support/RemoteRecorders.h"

#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include <memory>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray Ok("ok\0", 3);

QByteArray z(const char *text) { return QByteArray(text).append('\0'); }

// The remote services on free loopback ports, with recorders for the program's side.
struct Remote
{
    explicit Remote(WsChum::Timings timings = {})
    {
        state.model.ScenariF420[1] = {QStringLiteral("Luci sera"), QStringLiteral("01"), QStringLiteral("1")};
        state.model.ScenariF420[3] = {QStringLiteral("Tutto spento"), QStringLiteral("03"), QStringLiteral("1")};
        state.model.NomiCamere[1] = QStringLiteral("Ingresso");
        state.model.NomiCamere[2] = QStringLiteral("Garage");
        remote.attach({state, sender, log, lamp, status, &camera});
        remote.setPorts({QHostAddress::LocalHost, 0, 0, 0});
        remote.chum().setTimings(timings);
        started = remote.start();
    }
    quint16 port() { return remote.chum().serverPort(); }
    // A client the listener has taken.
    std::unique_ptr<LoopbackClient> client()
    {
        auto c = std::make_unique<LoopbackClient>(port());
        for (int i = 0; i < 200 && !(c->isConnected() && remote.chum().ClienteConnesso()); ++i)
            QTest::qWait(10);
        return c;
    }
    // Sends one chunk and returns once the listener has read it, so that the next chunk
    // cannot arrive in the same read.
    bool sendAndAwaitRead(LoopbackClient &c, const QByteArray &chunk)
    {
        QTcpSocket *taken = remote.chum().findChild<QTcpSocket *>();
        if (!taken)
            return false;
        // The listener connected to readyRead before this spy did, so a counted signal is one
        // the listener has already handled.
        QSignalSpy reads(taken, &QTcpSocket::readyRead);
        c.send(chunk);
        return QTest::qWaitFor([&] { return !reads.isEmpty() && taken->bytesAvailable() == 0; }, 2000);
    }

    EngineState state;
    RecordingSender sender{state.link};
    RecordingLogPane log{QStringLiteral("Tlog")};
    RecordingLamp lamp;
    RecordingStatusBar status;
    RecordingCamera camera;
    RemoteAccess remote;
    bool started = false;
};

// The command link as the program's sender, so a frame's send waits on the fake gateway.
class GatewaySender : public FrameSender
{
public:
    explicit GatewaySender(CommandLink &link, const LinkState &state) : FrameSender(state), m_link(link) {}
    bool SendTCP(const QString &frame) override { return m_link.SendTCP(frame); }
    void SendUsb(const QString &, bool) override {}

private:
    CommandLink &m_link;
};

// The remote services sending through a real command link to a gateway that never
// acknowledges a frame: each send takes its three attempts.
struct SilentGatewayRemote
{
    explicit SilentGatewayRemote(WsChum::Timings timings)
    {
        links.gateway.setFrameReply(FakeGateway::Reply::Silence);
        CommandLink::Timings t;
        t.connectMs = 2000;
        t.greetingMs = 1000;
        t.sessionMs = 500;
        t.ackMs = 250;
        links.commands.setTimings(t);
        links.state.model.NomiCamere[1] = QStringLiteral("Ingresso");
        remote.attach({links.state, sender, log, lamp, status, &camera});
        remote.setPorts({QHostAddress::LocalHost, 0, 0, 0});
        remote.chum().setTimings(timings);
        started = remote.start();
    }
    LinkFixture links;
    GatewaySender sender{links.commands, links.state.link};
    RecordingLogPane log{QStringLiteral("Tlog")};
    RecordingLamp lamp;
    RecordingStatusBar status;
    RecordingCamera camera;
    RemoteAccess remote;
    bool started = false;
};

// A display client that answers every probe with "yep", as a live one does.
void answerProbes(LoopbackClient &c)
{
    QObject::connect(&c.socket, &QTcpSocket::readyRead, &c.socket, [&c, answered = qsizetype(0)]() mutable {
        const qsizetype probes = c.received.count(z("on?"));
        for (; answered < probes; ++answered)
            c.send(z("yep"));
    });
}

} // namespace

class TestDisplayClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void policyDocumentByteForByte();
    void policyListenerSendsTheDocumentAndCloses();
    void policyClientThatReadsSlowlySeesAnOrderlyClose();
    void commands_data();
    void commands();
    void textIsCutAtEachNul_data();
    void textIsCutAtEachNul();
    void overlongCommandDropsTheClient();
    void unansweredProbeDropsAfterTwoPeriods();
    void answeredProbesKeepTheClient();
    void secondClientIsRefused();
    void probesAnsweredDuringASendKeepTheClient();
    void immediateReconnectsAreAccepted();
    void clientThatTakesNoOutputIsDropped();
    void burstOfCommandsAnsweredInOrderWhileTheThreadRuns();
    void refusedFramesOfABurstMakeTwoLines_data();
    void refusedFramesOfABurstMakeTwoLines();
    void clientThatLeavesDuringASendGetsNoSuccessorsReply();
    void closeFreesTheListenerForTheNextClient();
    void lampFlashesOnACommand();
    void lightingPushReachesTheClient();
    void portInUseIsReportedAndTheRestRuns();
    void stopClosesEverything();
};

void TestDisplayClient::policyDocumentByteForByte()
{
    const QByteArray expected("<?xml version=\"1.0\"?><!DOCTYPE cross-domain-policy SYSTEM "
                              "\"http://www.adobe.com/xml/dtds/cross-domain-policy.dtd\"><cross-domain-policy>"
                              "<allow-access-from domain=\"*\" to-ports=\"2010\" /></cross-domain-policy>");
    QCOMPARE(WsPolicy::CrossDomainPolicy(), QByteArray(expected).append('\0'));
}

void TestDisplayClient::policyListenerSendsTheDocumentAndCloses()
{
    Remote r;
    QVERIFY(r.started);
    LoopbackClient peer(r.remote.policy().serverPort());
    QTRY_VERIFY(peer.isConnected() || peer.closed);
    peer.send("<policy-file-request/>\0");
    QTRY_VERIFY(peer.closed);
    QCOMPARE(peer.received, WsPolicy::CrossDomainPolicy(r.port()));
}

void TestDisplayClient::policyClientThatReadsSlowlySeesAnOrderlyClose()
{
    Remote r;
    QVERIFY(r.started);
    // A plain socket, so that the end of the stream and a reset can be told apart.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(r.remote.policy().serverPort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to), 0);
    // The request is there before the connection is taken; the document is read late.
    const QByteArray request("<policy-file-request/>", 23);
    QCOMPARE(::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL), ssize_t(request.size()));
    QTest::qWait(150);
    QByteArray got;
    ssize_t n = 0;
    int error = 0;
    QElapsedTimer clock;
    clock.start();
    char buffer[64];
    while (clock.elapsed() < 3000) {
        n = ::recv(fd, buffer, 16, MSG_DONTWAIT);
        if (n > 0) {
            got.append(buffer, n);
            QTest::qWait(10);
            continue;
        }
        error = n < 0 ? errno : 0;
        if (n == 0 || (error != EAGAIN && error != EWOULDBLOCK))
            break;
        QTest::qWait(10);
    }
    ::close(fd);
    QCOMPARE(got, WsPolicy::CrossDomainPolicy(r.port()));
    QVERIFY2(n == 0, qPrintable(QStringLiteral("no end of stream: %1").arg(QString::fromLocal8Bit(strerror(error)))));
}

void TestDisplayClient::commands_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("camera");

    const QStringList none;
    QByteArray scn = "scn,Luci sera,*0*1*01##,Scenario 2,,Tutto spento,*0*3*03##";
    for (int i = 4; i <= 16; ++i)
        scn += ",Scenario " + QByteArray::number(i) + ',';
    QTest::newRow("yep: no reply") << z("yep") << QByteArray() << none << none;
    QTest::newRow("scn: the list, no ok") << z("scn") << scn.append('\0') << none << none;
    QTest::newRow("cam: the list, then ok") << z("cam") << z("cam,Ingresso,Garage,,,,,,,,,,") + Ok << none << none;
    QTest::newRow("co/3: the camera window plays camera 3")
        << z("co/3") << Ok << none << QStringList{"show", "StopMe", "Video 3"};
    QTest::newRow("co/13: no such camera") << z("co/13") << Ok << none << none;
    QTest::newRow("co/x: no number") << z("co/x") << Ok << none << none;
    // Numbers from the network are checked before they become an int.
    QTest::newRow("co/99999999999: beyond int") << z("co/99999999999") << Ok << none << none;
    QTest::newRow("co/-4294967295: beyond int") << z("co/-4294967295") << Ok << none << none;
    QTest::newRow("co/0") << z("co/0") << Ok << none << none;
    QTest::newRow("co/2.5: not whole") << z("co/2.5") << Ok << none << none;
    QTest::newRow("co/12: the last camera") << z("co/12") << Ok << none << QStringList{"show", "StopMe", "Video 12"};
    QTest::newRow("a frame goes to the bus") << z("*1*1*21##") << Ok << QStringList{"tcp *1*1*21##"} << none;
    QTest::newRow("a status request goes to the bus") << z("*#4*5##") << Ok << QStringList{"tcp *#4*5##"} << none;
    QTest::newRow("l51 switches point 51 on") << z("l51") << Ok << QStringList{"tcp *1*1*51##"} << none;
    QTest::newRow("k51 switches point 51 off") << z("k51") << Ok << QStringList{"tcp *1*0*51##"} << none;
    QTest::newRow("anything else") << z("hello") << Ok << none << none;
    QTest::newRow("an empty command") << z("") << Ok << none << none;
    QTest::newRow("session frame refused") << z("*99*0##") << Ok << none << none;
    QTest::newRow("letters in a frame refused") << z("*1*1*2a##") << Ok << none << none;
    QTest::newRow("65 characters refused") << QByteArray("*1*1*" + QByteArray(58, '1') + "##").append('\0') << Ok
                                           << none << none;
    QTest::newRow("64 characters sent") << QByteArray("*1*1*" + QByteArray(57, '1') + "##").append('\0') << Ok
                                        << QStringList{"tcp *1*1*" + QString(57, QLatin1Char('1')) + "##"} << none;
}

void TestDisplayClient::commands()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, camera);
    Remote r;
    QVERIFY(r.started);
    const auto c = r.client();
    // The "ok" of a last command marks the end, so a reply that should not come is seen not to.
    c->send(command + z("end"));
    QTRY_VERIFY(c->received.endsWith(Ok) && (reply.isEmpty() || c->received.size() > Ok.size()));
    QTest::qWait(20);
    QCOMPARE(c->received, reply + Ok);
    QCOMPARE(r.sender.sent, sent);
    QCOMPARE(r.camera.calls, camera);
    const QString text = QString::fromLatin1(command.chopped(1));
    QVERIFY(r.log.untimedLines().contains(QStringLiteral("chum: ") + text));
    if (text.startsWith(QLatin1String("co/")) && camera.isEmpty())
        QVERIFY(r.log.untimedLines().contains(QStringLiteral("chum: no camera ") + text.mid(3)));
    QVERIFY(r.remote.chum().ClienteConnesso());
}

void TestDisplayClient::textIsCutAtEachNul_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("two commands in one chunk") << QList<QByteArray>{z("l51") + z("k51")} << Ok + Ok
                                               << QStringList{"tcp *1*1*51##", "tcp *1*0*51##"};
    QTest::newRow("one command split in two") << QList<QByteArray>{"*1*1", z("*21##")} << Ok
                                              << QStringList{"tcp *1*1*21##"};
    QTest::newRow("a command and the start of the next")
        << QList<QByteArray>{z("l51") + "k5", z("1")} << Ok + Ok << QStringList{"tcp *1*1*51##", "tcp *1*0*51##"};
    QTest::newRow("policy request and a command")
        << QList<QByteArray>{z("<policy-file-request/>") + z("l51")} << QByteArray() << QStringList{"tcp *1*1*51##"};
}

void TestDisplayClient::textIsCutAtEachNul()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, sent);
    Remote r;
    QVERIFY(r.started);
    const auto c = r.client();
    for (const QByteArray &chunk : chunks)
        QVERIFY(r.sendAndAwaitRead(*c, chunk));
    const QByteArray expected = reply.isEmpty() ? WsPolicy::CrossDomainPolicy(r.port()) + Ok : reply;
    QTRY_COMPARE(c->received, expected);
    QCOMPARE(r.sender.sent, sent);
}

void TestDisplayClient::overlongCommandDropsTheClient()
{
    Remote r;
    QVERIFY(r.started);
    const auto c = r.client();
    c->send(QByteArray(WsChum::MaxCommandBytes, 'a'));
    QTest::qWait(50);
    QVERIFY(!c->closed);
    c->send("a");
    QTRY_VERIFY(c->closed);
    QVERIFY(c->received.isEmpty());
    QVERIFY(!r.remote.chum().ClienteConnesso());
    QVERIFY(r.log.untimedLines().contains(QStringLiteral("chum: command longer than 4096 bytes, client dropped")));
}

void TestDisplayClient::unansweredProbeDropsAfterTwoPeriods()
{
    Remote r({150, 1000});
    QVERIFY(r.started);
    QElapsedTimer clock;
    clock.start();
    const auto c = r.client();
    QTRY_COMPARE(c->received, z("on?"));
    QVERIFY(r.remote.chum().SondaInAttesa());
    QVERIFY(!c->closed);
    QTRY_VERIFY(c->closed);
    QVERIFY(clock.elapsed() >= 280);
    QCOMPARE(c->received, z("on?"));
    QVERIFY(!r.remote.chum().ClienteConnesso());
    QVERIFY(!r.remote.chum().SondaInAttesa());
    QCOMPARE(r.lamp.last(), ClientLamp::Grey);
    QVERIFY(r.remote.chum().isListening());
}

void TestDisplayClient::answeredProbesKeepTheClient()
{
    Remote r({100, 1000});
    QVERIFY(r.started);
    const auto c = r.client();
    QObject::connect(&c->socket, &QTcpSocket::readyRead, [&c] {
        if (c->received.endsWith(z("on?")))
            c->send(z("yep"));
    });
    QTRY_VERIFY_WITH_TIMEOUT(c->received.count(z("on?")) >= 4, 3000);
    QVERIFY(!c->closed);
    QVERIFY(r.remote.chum().ClienteConnesso());
}

void TestDisplayClient::secondClientIsRefused()
{
    Remote r;
    QVERIFY(r.started);
    const auto first = r.client();
    LoopbackClient second(r.port());
    QTRY_VERIFY(second.closed);
    QVERIFY(second.received.isEmpty());
    QVERIFY(r.log.text().contains(QStringLiteral("chum: second client refused: 127.0.0.1")));
    first->send(z("hello"));
    QTRY_COMPARE(first->received, Ok);
    QVERIFY(!first->closed);
}

void TestDisplayClient::probesAnsweredDuringASendKeepTheClient()
{
    SilentGatewayRemote r({150, 1000});
    QVERIFY(r.started);
    LoopbackClient c(r.remote.chum().serverPort());
    QTRY_VERIFY(r.remote.chum().ClienteConnesso());
    answerProbes(c);
    // The gateway's wait runs inside the test's own wait, so what happens during the send is
    // seen from the signals: "cam" goes out once the first frame reaches the gateway, and
    // its reply notes how far the sends had come.
    bool camSent = false;
    qsizetype oksBeforeList = -1;
    QStringList framesBeforeList;
    QObject::connect(&r.links.gateway, &FakeGateway::frameReceived, &c.socket, [&](const QString &frame) {
        if (frame == QLatin1String("*1*1*12##") && !camSent) {
            camSent = true;
            c.send(z("cam"));
        }
    });
    QObject::connect(&c.socket, &QTcpSocket::readyRead, &c.socket, [&] {
        const qsizetype list = c.received.indexOf("cam,Ingresso");
        if (list >= 0 && oksBeforeList < 0) {
            oksBeforeList = c.received.left(list).count(Ok);
            framesBeforeList = r.links.gateway.commandFrames();
        }
    });
    QElapsedTimer clock;
    clock.start();
    c.send(z("*1*1*12##") + z("*1*0*12##"));
    // Each frame gets its "ok" when its send has failed, and the client is still there.
    QTRY_VERIFY_WITH_TIMEOUT(c.received.count(Ok) == 3, 10000);
    QVERIFY(clock.elapsed() > 4 * 150);
    QVERIFY(c.received.count(z("on?")) >= 4);
    QVERIFY(!c.closed);
    QVERIFY(r.remote.chum().ClienteConnesso());
    const QStringList frames = r.links.gateway.commandFrames();
    QCOMPARE(frames.count(QStringLiteral("*1*1*12##")), 3);
    QCOMPARE(frames.count(QStringLiteral("*1*0*12##")), 3);
    QVERIFY(frames.lastIndexOf(QStringLiteral("*1*1*12##")) < frames.indexOf(QStringLiteral("*1*0*12##")));
    // The list came while the first frame still waited, and the second had not gone out.
    QCOMPARE(oksBeforeList, 0);
    QVERIFY(framesBeforeList.count(QStringLiteral("*1*1*12##")) < 3);
    QVERIFY(!framesBeforeList.contains(QStringLiteral("*1*0*12##")));
}

void TestDisplayClient::immediateReconnectsAreAccepted()
{
    Remote r;
    QVERIFY(r.started);
    // Each client leaves and the next connects at once, before the listener has seen the end.
    for (int i = 0; i < 200; ++i) {
        LoopbackClient c(r.port());
        QVERIFY(c.socket.waitForConnected(2000));
        c.send(z("hello"));
        QTRY_VERIFY2(c.received == Ok || c.closed, qPrintable(QStringLiteral("client %1").arg(i)));
        QVERIFY2(c.received == Ok, qPrintable(QStringLiteral("client %1 was refused").arg(i)));
        c.socket.close();
    }
    QVERIFY(!r.log.text().contains(QStringLiteral("second client refused")));
}

void TestDisplayClient::clientThatTakesNoOutputIsDropped()
{
    Remote r;
    QVERIFY(r.started);
    // A client that reads nothing: its side stops reading, then the kernel's buffers fill.
    QTcpSocket c;
    c.setReadBufferSize(1);
    c.connectToHost(QHostAddress::LocalHost, r.port());
    QVERIFY(c.waitForConnected(2000));
    QTRY_VERIFY(r.remote.chum().ClienteConnesso());
    const QByteArray line = QByteArray(1000, 'x').append('\0');
    qint64 pushed = 0;
    while (r.remote.chum().ClienteConnesso() && pushed < 256 * 1024 * 1024) {
        r.remote.chum().write(line);
        pushed += line.size();
        if (pushed % (64 * 1000) == 0)
            QCoreApplication::processEvents();
    }
    QVERIFY(!r.remote.chum().ClienteConnesso());
    QVERIFY(r.log.text().contains(QStringLiteral("client takes no output")));
    QCOMPARE(r.lamp.last(), ClientLamp::Grey);
    QVERIFY(r.remote.chum().isListening());
    // The place is free for the next client.
    const auto next = r.client();
    next->send(z("hello"));
    QTRY_COMPARE(next->received, Ok);
}

// 100,000 commands in one write: each is answered, in order, the client that reads its replies
// stays, and the window's thread runs its timers between slices of them.
void TestDisplayClient::burstOfCommandsAnsweredInOrderWhileTheThreadRuns()
{
    Remote r({600000, 1000});
    QVERIFY(r.started);
    const auto c = r.client();
    const QByteArray camList = z("cam,Ingresso,Garage,,,,,,,,,,");
    QByteArray commands, expected;
    constexpr int Count = 100000;
    for (int i = 0; i < Count; ++i) {
        const bool cam = i % 1000 == 999;
        commands += cam ? z("cam") : z("x");
        expected += cam ? camList + Ok : Ok;
    }
    // The thread's progress as a timer sees it: how many commands had left their line.
    QList<qsizetype> handledAtTicks;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] { handledAtTicks << r.log.text().count(QStringLiteral("chum: ")); });
    tick.start();
    c->send(commands);
    QTRY_VERIFY_WITH_TIMEOUT(c->received.size() >= expected.size() || c->closed, 30000);
    tick.stop();
    QVERIFY(!c->closed);
    QCOMPARE(c->received, expected);
    QCOMPARE(r.log.text().count(QStringLiteral("chum: ")), Count);
    // The timer ran in the middle of the burst, not only before and after it.
    const qsizetype midway =
        std::count_if(handledAtTicks.cbegin(), handledAtTicks.cend(), [](qsizetype n) { return n > 0 && n < Count; });
    QVERIFY2(midway >= 3, qPrintable(QString::number(midway)));
}

void TestDisplayClient::refusedFramesOfABurstMakeTwoLines_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("first");
    // Frames the bus must not get, fewer than the queue holds: each is refused in its turn.
    QTest::newRow("session frames") << z("*99*0##") << WsChum::MaxWaitingFrames - 2
                                    << QStringLiteral("chum: frame refused: *99*0##");
    // More frames than the queue behind a send holds: past its room each is refused at once.
    QTest::newRow("past the queue's room")
        << z("*1*1*12##") << 200
        << QStringLiteral("chum: frame refused, %1 frames already wait: *1*1*12##").arg(WsChum::MaxWaitingFrames);
}

// A client that sends refused frames in a loop cannot fill the pane: the first refusal is
// logged, the rest of the burst as one count.
void TestDisplayClient::refusedFramesOfABurstMakeTwoLines()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, frames);
    QFETCH(QString, first);
    Remote r;
    QVERIFY(r.started);
    r.remote.chum().frameRefusals().setWindowMs(50);
    const auto c = r.client();
    c->send(frame.repeated(frames));
    QTRY_COMPARE(c->received.count(Ok), frames);
    // Every frame is either sent or refused; however the reads cut the burst, most are refused.
    const int refused = frames - int(r.sender.sent.size());
    QVERIFY(refused > frames / 2);
    const QString rest = QStringLiteral("chum: %1 more frames refused").arg(refused - 1);
    QTRY_COMPARE(r.log.untimedLines().filter(QStringLiteral("refused")), (QStringList{first, rest}));
    QVERIFY(r.remote.chum().ClienteConnesso());
}

void TestDisplayClient::clientThatLeavesDuringASendGetsNoSuccessorsReply()
{
    Remote r;
    QVERIFY(r.started);
    auto first = r.client();
    std::unique_ptr<LoopbackClient> next;
    r.sender.whileSending = [&] {
        if (next)
            return;
        first->socket.abort();
        QVERIFY(QTest::qWaitFor([&] { return !r.remote.chum().ClienteConnesso(); }));
        next = r.client();
        QVERIFY(r.remote.chum().ClienteConnesso());
    };
    first->send(z("l51"));
    QTRY_VERIFY(next);
    next->send(z("hello"));
    QTRY_COMPARE(next->received, Ok);
    QTest::qWait(20);
    QCOMPARE(next->received, Ok);
}

void TestDisplayClient::closeFreesTheListenerForTheNextClient()
{
    Remote r;
    QVERIFY(r.started);
    auto first = r.client();
    QCOMPARE(r.lamp.last(), ClientLamp::Green);
    first->socket.disconnectFromHost();
    QTRY_VERIFY(!r.remote.chum().ClienteConnesso());
    QCOMPARE(r.lamp.last(), ClientLamp::Grey);
    QVERIFY(r.remote.chum().isListening());
    QVERIFY(r.remote.policy().isListening());
    const auto next = r.client();
    QVERIFY(r.remote.chum().ClienteConnesso());
    next->send(z("hello"));
    QTRY_COMPARE(next->received, Ok);
}

void TestDisplayClient::lampFlashesOnACommand()
{
    Remote r({9000, 100});
    QVERIFY(r.started);
    const auto c = r.client();
    r.lamp.colours.clear();
    c->send(z("hello"));
    QTRY_COMPARE(r.lamp.colours, QList<quint32>{ClientLamp::Yellow});
    QTRY_COMPARE(r.lamp.colours, (QList<quint32>{ClientLamp::Yellow, ClientLamp::Green}));
}

void TestDisplayClient::lightingPushReachesTheClient()
{
    Remote r;
    QVERIFY(r.started);
    RecordingNotice notices;
    RecordingCharacter character;
    RecordingWindowRegistry windows;
    RecordingStatusBar bar;
    RecordingMessageBox boxes;
    fillLanguageFixture(r.state.lang);
    FrameTranslator translator(r.state, {notices, character, windows, r.remote.chum(), bar, boxes});
    const auto c = r.client();
    QString chunk = QStringLiteral("*1*1*21##");
    translator.Traduci(chunk, r.log);
    const QString line = r.log.untimedLines().last();
    const QString sentence = line.left(line.lastIndexOf(QStringLiteral(" (")));
    QVERIFY(sentence.contains(QStringLiteral("21")));
    QTRY_COMPARE(c->received, QByteArray(sentence.toLatin1()).append('\0'));
    QVERIFY(boxes.shown.isEmpty());
}

void TestDisplayClient::portInUseIsReportedAndTheRestRuns()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost));
    Remote r;
    r.remote.stop();
    r.remote.setPorts({QHostAddress::LocalHost, 0, taken.serverPort(), 0});
    QVERIFY(!r.remote.start());
    const QString text = QStringLiteral("port %1 could not be opened").arg(taken.serverPort());
    QTRY_VERIFY(r.status.statusText().contains(text));
    QVERIFY(r.log.text().contains(text));
    QVERIFY(!r.remote.policy().isListening());
    QVERIFY(r.remote.chum().isListening());
    QVERIFY(r.remote.snapshot()->isListening());
    // The port is free again by the time a client leaves: the policy listener gets it then.
    const quint16 port = taken.serverPort();
    taken.close();
    r.remote.setPorts({QHostAddress::LocalHost, r.port(), port, 0});
    r.client()->socket.disconnectFromHost();
    QTRY_VERIFY(r.remote.policy().isListening());
}

void TestDisplayClient::stopClosesEverything()
{
    Remote r;
    QVERIFY(r.started);
    const auto c = r.client();
    r.remote.stop();
    QTRY_VERIFY(c->closed);
    QVERIFY(!r.remote.chum().isListening());
    QVERIFY(!r.remote.policy().isListening());
    QVERIFY(!r.remote.snapshot()->isListening());
    QCOMPARE(r.lamp.last(), ClientLamp::Off);
}

QTEST_GUILESS_MAIN(TestDisplayClient)
#include "tst_displayclient.moc"
