#include "engine/model/EngineState.h"
#include "remote/RemoteAccess.h"
#include "remote/common/RefusalLog.h"
#include "support/LinkRecorders.h"
#include "support/RecordingLogPane.h"
#include "support/RemoteRecorders.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

// Peers that open connections and keep them, to each of the three listeners at once: each
// serves up to its cap and refuses the rest at once, so they cannot take the descriptors the
// program needs for anything else.
namespace {

int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); }

// A plain socket that connects and then neither sends, reads nor closes until told.
class HeldConnection
{
public:
    explicit HeldConnection(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // Without waiting: the listener takes connections only while the test's loop runs.
        ::fcntl(m_fd, F_SETFL, O_NONBLOCK);
        const int r = ::connect(m_fd, reinterpret_cast<sockaddr *>(&to), sizeof to);
        m_failed = r != 0 && errno != EINPROGRESS;
    }
    ~HeldConnection()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    HeldConnection(const HeldConnection &) = delete;
    HeldConnection &operator=(const HeldConnection &) = delete;

    bool connected() const
    {
        pollfd p{m_fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        return !m_failed && ::poll(&p, 1, 0) == 1 && ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0
               && error == 0;
    }
    void send(const QByteArray &bytes)
    {
        QCOMPARE(qsizetype(::send(m_fd, bytes.constData(), size_t(bytes.size()), 0)), bytes.size());
    }
    // Reads what has come; true once the server has closed its end (or reset it).
    bool ended()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                received.append(buffer, n);
                continue;
            }
            return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        }
    }

    QByteArray received;

private:
    int m_fd;
    bool m_failed = false;
};

using Connections = std::vector<std::unique_ptr<HeldConnection>>;

Connections open(quint16 port, int count)
{
    Connections c;
    for (int i = 0; i < count; ++i) {
        c.push_back(std::make_unique<HeldConnection>(port));
        // The listen queue is short: the listener takes what waits as a peer's flood goes on.
        if (i % 16 == 15)
            QCoreApplication::processEvents();
    }
    return c;
}

bool allConnected(const Connections &c)
{
    return std::all_of(c.begin(), c.end(), [](const auto &h) { return h->connected(); });
}

bool allRefused(const Connections &c)
{
    return std::all_of(c.begin(), c.end(), [](const auto &h) { return h->ended() && h->received.isEmpty(); });
}

QStringList refusalLines(const RecordingLogPane &log)
{
    return log.untimedLines().filter(QStringLiteral("refused"));
}

// The three services on free loopback ports, with recorders for the program's side. Held
// connections stay for the whole test, however slow the machine.
struct Services
{
    Services()
    {
        remote.attach({state, sender, log, lamp, status, nullptr});
        remote.setPorts({QHostAddress::LocalHost, 0, 0, 0});
        started = remote.start();
        remote.policy().setTimeoutMs(60000);
        remote.snapshot()->setTimeoutMs(60000);
    }
    EngineState state;
    RecordingSender sender{state.link};
    RecordingLogPane log{QStringLiteral("Tlog")};
    RecordingLamp lamp;
    RecordingStatusBar status;
    RemoteAccess remote;
    bool started = false;
};

} // namespace

class TestListenerCaps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void floodOfEveryListener();
    void refusalsOfAFloodMakeFewLines();
    void peersThatClosedLeaveTheirPlace_data();
    void peersThatClosedLeaveTheirPlace();
};

void TestListenerCaps::floodOfEveryListener()
{
    Services services;
    QVERIFY(services.started);
    RemoteAccess &remote = services.remote;
    const RecordingLogPane &log = services.log;
    const int before = openDescriptors();

    // Each listener's own connections, kept open and silent.
    Connections held = open(remote.chum().serverPort(), 1);
    QTRY_VERIFY(remote.chum().ClienteConnesso());
    Connections policyHeld = open(remote.policy().serverPort(), WsPolicy::MaxConnections);
    Connections snapshotHeld = open(remote.snapshot()->serverPort(), SnapshotServer::MaxConnections);
    QTRY_COMPARE(remote.policy().connectionCount(), WsPolicy::MaxConnections);
    QTRY_COMPARE(remote.snapshot()->connectionCount(), SnapshotServer::MaxConnections);
    const int cap = 1 + WsPolicy::MaxConnections + SnapshotServer::MaxConnections;
    const int heldCount = cap;

    // Then a flood at every port: each connection past the cap is closed at once, unanswered.
    const int extra = 150;
    const Connections chumExtra = open(remote.chum().serverPort(), extra);
    const Connections policyExtra = open(remote.policy().serverPort(), extra);
    const Connections snapshotExtra = open(remote.snapshot()->serverPort(), extra);
    QTRY_VERIFY(allConnected(chumExtra) && allConnected(policyExtra) && allConnected(snapshotExtra));
    QTRY_VERIFY(allRefused(chumExtra));
    QTRY_VERIFY(allRefused(policyExtra));
    QTRY_VERIFY(allRefused(snapshotExtra));

    // What the program holds for all of them is its caps, whatever the peers hold.
    const int peers = heldCount + 3 * extra;
    QTRY_COMPARE(openDescriptors() - before - peers, cap);
    QVERIFY(remote.chum().ClienteConnesso());
    QCOMPARE(remote.policy().connectionCount(), WsPolicy::MaxConnections);
    QCOMPARE(remote.snapshot()->connectionCount(), SnapshotServer::MaxConnections);
    // One line for each listener's flood as it starts, and one for the rest of it.
    QCOMPARE(refusalLines(log),
             (QStringList{QStringLiteral("chum: second client refused: 127.0.0.1"),
                          QStringLiteral("Policy listener: 8 connections open, 127.0.0.1 refused"),
                          QStringLiteral("Snapshot server: 32 connections open, 127.0.0.1 refused")}));
    for (RefusalLog *r : {&remote.chum().refusals(), &remote.policy().refusals(), &remote.snapshot()->refusals()})
        r->setWindowMs(1);
    const QString rest = QStringLiteral("%1 more connections refused").arg(extra - 1);
    QTRY_COMPARE(refusalLines(log).size(), 6);
    QStringList summaries = refusalLines(log).mid(3);
    summaries.sort();
    QCOMPARE(summaries, (QStringList{QStringLiteral("Policy listener: ") + rest,
                                     QStringLiteral("Snapshot server: ") + rest, QStringLiteral("chum: ") + rest}));

    // The held policy connections got the document though they never asked.
    for (const auto &h : policyHeld) {
        QTRY_VERIFY(h->ended());
        QCOMPARE(h->received, WsPolicy::CrossDomainPolicy(remote.chum().serverPort()));
    }
    // Once the holders let go, everything they held is given back and the ports serve again.
    held.clear();
    policyHeld.clear();
    snapshotHeld.clear();
    QTRY_VERIFY(!remote.chum().ClienteConnesso());
    QTRY_COMPARE(remote.policy().connectionCount(), 0);
    QTRY_COMPARE(remote.snapshot()->connectionCount(), 0);
    QTRY_COMPARE(openDescriptors() - before - 3 * extra, 0);
    HeldConnection next(remote.policy().serverPort());
    QTRY_VERIFY(next.ended());
    QCOMPARE(next.received, WsPolicy::CrossDomainPolicy(remote.chum().serverPort()));
}

void TestListenerCaps::refusalsOfAFloodMakeFewLines()
{
    QStringList lines;
    RefusalLog refusals([&lines](const QString &text) { lines << text; });
    refusals.setWindowMs(200);
    for (int i = 0; i < 5; ++i)
        refusals.refused(QStringLiteral("refused %1").arg(i));
    QCOMPARE(lines, QStringList{QStringLiteral("refused 0")});
    // The rest of the window's refusals in one line, when it ends.
    QTRY_COMPARE(lines.size(), 2);
    QCOMPARE(lines.last(), QStringLiteral("4 more connections refused"));
    // A flood that goes on gets a line a window.
    refusals.refused(QStringLiteral("refused 5"));
    QTRY_COMPARE(lines.size(), 3);
    QCOMPARE(lines.last(), QStringLiteral("1 more connection refused"));
}

void TestListenerCaps::peersThatClosedLeaveTheirPlace_data()
{
    QTest::addColumn<bool>("policy");
    QTest::newRow("policy listener") << true;
    QTest::newRow("snapshot server") << false;
}

// Clients that take their answer, close and connect again at once, as many as the cap: each
// new connection comes before the listener has seen the close of the one before, and is
// served, not refused as if the closed one still held its place.
void TestListenerCaps::peersThatClosedLeaveTheirPlace()
{
    QFETCH(bool, policy);
    Services services;
    QVERIFY(services.started);
    RemoteAccess &remote = services.remote;
    const RecordingLogPane &log = services.log;
    const quint16 port = policy ? remote.policy().serverPort() : remote.snapshot()->serverPort();
    const int cap = policy ? WsPolicy::MaxConnections : SnapshotServer::MaxConnections;
    const auto count = [&] { return policy ? remote.policy().connectionCount() : remote.snapshot()->connectionCount(); };
    const auto ask = [&](HeldConnection &c) {
        if (!policy)
            c.send("GET / HTTP/1.0\r\n\r\n");
    };

    Connections held = open(port, cap);
    QTRY_COMPARE(count(), cap);
    QTRY_VERIFY(allConnected(held));
    for (const auto &h : held)
        ask(*h);
    for (const auto &h : held)
        QTRY_VERIFY(h->ended());
    const QByteArray answer = held.front()->received;
    QVERIFY(!answer.isEmpty());
    QCOMPARE(count(), cap);

    for (int round = 0; round < 3; ++round) {
        // Each closes and connects again before the program has run.
        Connections next;
        for (auto &h : held) {
            h.reset();
            next.push_back(std::make_unique<HeldConnection>(port));
        }
        QTRY_VERIFY(allConnected(next));
        for (const auto &h : next)
            ask(*h);
        for (const auto &h : next) {
            QTRY_VERIFY(h->ended());
            QCOMPARE(h->received, answer);
        }
        held = std::move(next);
    }
    QVERIFY(refusalLines(log).isEmpty());
}

QTEST_GUILESS_MAIN(TestListenerCaps)
#include "tst_listenercaps.moc"
