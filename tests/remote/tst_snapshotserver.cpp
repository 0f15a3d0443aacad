#include "support/LinkRecorders.h"
#include "support/LoopbackClient.h"
#include "remote/snapshot/SnapshotServer.h"
#include "remote/snapshot/clsConnection.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>


namespace {

// A picture with the bytes that a text reply would mangle: NUL, CR LF, high bytes.
QByteArray picture(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + 3) & 0xFF);
    b.replace(0, 4, QByteArray("\xFF\xD8\0\r", 4));
    return b;
}

int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); }

struct Server
{
    explicit Server(int timeoutMs = SnapshotServer::DefaultTimeoutMs) : server(dir.path())
    {
        server.setAddress(QHostAddress::LocalHost);
        server.setPort(0);
        server.setTimeoutMs(timeoutMs);
        server.setLog(&log);
        listening = server.WSCam(1);
    }
    // The whole reply to one request, once the server has closed.
    QByteArray fetch(const QByteArray &request)
    {
        LoopbackClient c(server.serverPort());
        QEventLoop loop;
        QObject::connect(&c.socket, &QTcpSocket::connected, [&c, &request] { c.send(request); });
        QObject::connect(&c.socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        QObject::connect(&c.socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        return c.closed ? c.received : QByteArray("not closed");
    }
    TestFolder dir;
    RecordingLogPane log{QStringLiteral("Tlog")};
    SnapshotServer server;
    bool listening = false;
};

} // namespace

class TestSnapshotServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void requestParsing_data();
    void requestParsing();
    void headerEntries();
    void replies_data();
    void replies();
    void missingPicture();
    void splitRequestIsOneRequest_data();
    void splitRequestIsOneRequest();
    void restOfTheRequestComingLateGetsTheWholePicture();
    void peerThatClosesEarlyFreesItsSlot();
    void silentPeerIsClosed();
    void overlongRequestIsRefused();
    void connectionsBeyondTheLimitAreClosed();
    void manyClientsLeaveNoSlotOrDescriptor();
    void stopClosesOpenConnections();
};

void TestSnapshotServer::requestParsing_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");
    QTest::newRow("GET /") << "GET / HTTP/1.1\r\nHost: cam\r\n\r\n" << "GET / HTTP/1.1" << "/" << "";
    QTest::newRow("GET with a query") << "GET /snap.jpg?cam=2&x=1 HTTP/1.0\r\n\r\n" << "GET /snap.jpg?cam=2&x=1 HTTP/1.0"
                                      << "/snap.jpg" << "cam=2&x=1";
    QTest::newRow("GET, two question marks") << "GET /a?b?c HTTP/1.0\r\n\r\n" << "GET /a?b?c HTTP/1.0" << "/a"
                                             << "b?c";
    QTest::newRow("POST keeps its query") << "POST /up?x=1 HTTP/1.1\r\n\r\nbody" << "POST /up?x=1 HTTP/1.1"
                                          << "/up?x=1" << "";
    QTest::newRow("no HTTP: to the end of the line") << "GET /pic\r\n" << "GET /pic" << "/pic" << "";
    QTest::newRow("no line end at all") << "GET /pic" << "GET /pic" << "/pic" << "";
    QTest::newRow("bare LF line ends") << "GET /a?b=1 HTTP/1.0\nHost: cam\n\n" << "GET /a?b=1 HTTP/1.0" << "/a"
                                       << "b=1";
    QTest::newRow("unknown method") << "HEAD / HTTP/1.1\r\n\r\n" << "HEAD / HTTP/1.1" << "" << "";
    QTest::newRow("lower-case get is not GET") << "get / HTTP/1.1\r\n\r\n" << "get / HTTP/1.1" << "" << "";
    QTest::newRow("empty request") << "" << "" << "" << "";
}

void TestSnapshotServer::requestParsing()
{
    QFETCH(QString, request);
    QFETCH(QString, line);
    QFETCH(QString, path);
    QFETCH(QString, command);
    const clsHeader h = SnapshotServer::ProcessDataRequest(request);
    QCOMPARE(h.Request, line);
    QCOMPARE(h.FilePath, path);
    QCOMPARE(h.Command, command);
}

void TestSnapshotServer::headerEntries()
{
    const clsHeader h = SnapshotServer::ProcessDataRequest(
        QStringLiteral("GET / HTTP/1.1\r\nHost: 203.0.113.10:1037\r\nUser-Agent: frame\r\nbroken line\r\n"
                       "Accept:*/*\r\nX-Empty: \r\n\r\n"));
    QList<QPair<QString, QString>> got;
    for (const clsHeaderEntry &e : h.Parameters)
        got.append({e.HeaderName, e.HeaderValue});
    // A Host with a port holds two colons and is skipped; the value loses its first character.
    const QList<QPair<QString, QString>> expected{
        {"User-Agent", "frame"}, {"Accept", "/*"}, {"X-Empty", ""}};
    QCOMPARE(got, expected);
}

void TestSnapshotServer::replies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("file");
    QTest::newRow("GET /") << QByteArray("GET / HTTP/1.1\r\nHost: 127.0.0.1:1037\r\n\r\n") << "temp.jpg";
    QTest::newRow("GET another path with a query") << QByteArray("GET /x/y.jpg?t=1 HTTP/1.0\r\n\r\n") << "temp.jpg";
    QTest::newRow("POST") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n") << "temp.jpg";
    QTest::newRow("GET without HTTP") << QByteArray("GET /\r\n") << "temp.jpg";
    // Simpler clients end lines with a bare LF, or send one line and no line end at all.
    QTest::newRow("bare LF, blank line") << QByteArray("GET / HTTP/1.0\n\n") << "temp.jpg";
    QTest::newRow("bare GET /, no line end") << QByteArray("GET /") << "temp.jpg";
    QTest::newRow("LF headers, then CR LF blank line") << QByteArray("GET /snap.jpg?cam=2 HTTP/1.1\nHost: cam\n\r\n")
                                                   << "temp.jpg";
    QTest::newRow("unknown method, bare LF") << QByteArray("OPTIONS / HTTP/1.1\n\n") << "UnknownRequest.html";
    QTest::newRow("unknown method") << QByteArray("OPTIONS / HTTP/1.1\r\n\r\n") << "UnknownRequest.html";
}

void TestSnapshotServer::replies()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, file);
    Server s;
    QVERIFY(s.listening);
    const QByteArray jpg = picture(30 * 1024);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), jpg));
    QVERIFY(s.dir.write(QStringLiteral("UnknownRequest.html"), "<html>unknown</html>"));
    // The bare file from the first byte: no status line, no headers.
    QCOMPARE(s.fetch(request), s.dir.read(file));
    QTRY_COMPARE(s.server.connectionCount(), 0);
}

void TestSnapshotServer::missingPicture()
{
    Server s;
    QVERIFY(s.listening);
    const QByteArray missing("<html><body>Unable to find the file not found file.</body></html>");
    QCOMPARE(s.fetch("GET / HTTP/1.1\r\n\r\n"), missing);
    // Without its page, an unknown request gets the same text.
    QCOMPARE(s.fetch("PUT / HTTP/1.1\r\n\r\n"), missing);
}

void TestSnapshotServer::splitRequestIsOneRequest_data()
{
    QTest::addColumn<QByteArray>("eol");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("bare LF") << QByteArray("\n");
}

void TestSnapshotServer::splitRequestIsOneRequest()
{
    QFETCH(QByteArray, eol);
    Server s;
    QVERIFY(s.listening);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), "JPEG"));
    LoopbackClient c(s.server.serverPort());
    QTRY_VERIFY(c.isConnected());
    // A first chunk with a line end waits for the blank line that ends the headers.
    c.send("GET / HTTP/1.1" + eol);
    QTest::qWait(50);
    c.send("Host: x" + eol);
    QTest::qWait(50);
    QVERIFY(c.received.isEmpty());
    c.send(eol);
    QTRY_VERIFY(c.closed);
    QCOMPARE(c.received, QByteArray("JPEG"));
}

void TestSnapshotServer::restOfTheRequestComingLateGetsTheWholePicture()
{
    Server s;
    QVERIFY(s.listening);
    const QByteArray jpg = picture(300 * 1000);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), jpg));
    // A plain socket that reads only when it has sent all, so that the reply is still on its
    // way when the late bytes come, and a reset can be told from the end of the stream.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(s.server.serverPort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to), 0);
    const auto sendAll = [fd](const QByteArray &bytes) {
        return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == ssize_t(bytes.size());
    };
    // The request line alone is answered; the rest of the request comes while the picture
    // goes out.
    QVERIFY(sendAll("GET / HTTP/1.1"));
    char byte;
    QTRY_COMPARE(::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT), ssize_t(1));
    QTest::qWait(20);
    QVERIFY(sendAll("\r\nHost: a\r\n\r\n"));
    QByteArray got;
    ssize_t n = 0;
    int error = 0;
    QElapsedTimer clock;
    clock.start();
    std::vector<char> buffer(64 * 1024);
    while (clock.elapsed() < 5000) {
        n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n > 0) {
            got.append(buffer.data(), n);
            continue;
        }
        error = n < 0 ? errno : 0;
        if (n == 0 || (error != EAGAIN && error != EWOULDBLOCK))
            break;
        QTest::qWait(5);
    }
    ::close(fd);
    QVERIFY2(n == 0, qPrintable(QStringLiteral("no end of stream: %1").arg(QString::fromLocal8Bit(strerror(error)))));
    QCOMPARE(got.size(), jpg.size());
    QVERIFY(got == jpg);
    QTRY_COMPARE(s.server.connectionCount(), 0);
}

void TestSnapshotServer::peerThatClosesEarlyFreesItsSlot()
{
    Server s;
    QVERIFY(s.listening);
    {
        LoopbackClient c(s.server.serverPort());
        QTRY_COMPARE(s.server.connectionCount(), 1);
        c.send("GET / HTTP/1.1\r\n");
        c.socket.disconnectFromHost();
    }
    QTRY_COMPARE(s.server.connectionCount(), 0);
    QCOMPARE(s.fetch("GET / HTTP/1.1\r\n\r\n"), QByteArray("<html><body>Unable to find the file not found file.</body></html>"));
}

void TestSnapshotServer::silentPeerIsClosed()
{
    Server s(200);
    QVERIFY(s.listening);
    LoopbackClient c(s.server.serverPort());
    QTRY_COMPARE(s.server.connectionCount(), 1);
    // Dribbling header bytes does not keep the connection beyond its time.
    c.send("GET / HTTP/1.1\r\n");
    for (int i = 0; i < 3; ++i) {
        c.send("X");
        QTest::qWait(60);
    }
    QTRY_VERIFY_WITH_TIMEOUT(c.closed, 1000);
    QVERIFY(c.received.isEmpty());
    QCOMPARE(s.server.connectionCount(), 0);
    QCOMPARE(s.log.untimedLines(),
             QStringList{QStringLiteral("Snapshot server: no whole request within 200 ms, 127.0.0.1 closed")});
}

void TestSnapshotServer::overlongRequestIsRefused()
{
    Server s;
    QVERIFY(s.listening);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), "JPEG"));
    const QByteArray request = "GET / HTTP/1.1\r\nX-Pad: " + QByteArray(clsConnection::MaxRequestBytes, 'a') + "\r\n\r\n";
    QCOMPARE(s.fetch(request), QByteArray());
    QTRY_COMPARE(s.server.connectionCount(), 0);
    QCOMPARE(s.log.untimedLines(),
             QStringList{QStringLiteral("Snapshot server: request longer than 8192 bytes, 127.0.0.1 closed")});
}

void TestSnapshotServer::connectionsBeyondTheLimitAreClosed()
{
    Server s;
    QVERIFY(s.listening);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), "JPEG"));
    // 32 clients at once: the cap the server sets against a flood of idle connections.
    const int limit = 32;
    std::vector<std::unique_ptr<LoopbackClient>> held;
    for (int i = 0; i < limit; ++i)
        held.push_back(std::make_unique<LoopbackClient>(s.server.serverPort()));
    QTRY_COMPARE(s.server.connectionCount(), limit);
    LoopbackClient extra(s.server.serverPort());
    QTRY_VERIFY(extra.closed);
    QVERIFY(extra.received.isEmpty());
    QVERIFY(s.log.text().contains(QStringLiteral("Snapshot server: 32 connections open, 127.0.0.1 refused")));
    QCOMPARE(s.server.connectionCount(), limit);
    // The held ones are still served.
    held.front()->send("GET / HTTP/1.1\r\n\r\n");
    QTRY_COMPARE(held.front()->received, QByteArray("JPEG"));
}

void TestSnapshotServer::manyClientsLeaveNoSlotOrDescriptor()
{
    Server s;
    QVERIFY(s.listening);
    const QByteArray jpg = picture(30 * 1024);
    QVERIFY(s.dir.write(QStringLiteral("temp.jpg"), jpg));
    const int before = openDescriptors();

    // 200 at once: at most 32 are served together, the others are turned away, and every
    // one of them ends.
    std::vector<std::unique_ptr<LoopbackClient>> parallel;
    for (int i = 0; i < 200; ++i) {
        parallel.push_back(std::make_unique<LoopbackClient>(s.server.serverPort()));
        QObject::connect(&parallel.back()->socket, &QTcpSocket::connected, [c = parallel.back().get()] {
            c->send("GET / HTTP/1.1\r\n\r\n");
        });
    }
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(parallel.begin(), parallel.end(), [](const auto &c) { return c->closed; }),
                             20000);
    const auto served = std::count_if(parallel.begin(), parallel.end(), [&jpg](const auto &c) { return c->received == jpg; });
    QVERIFY(served >= 32);
    QVERIFY(std::all_of(parallel.begin(), parallel.end(),
                        [&jpg](const auto &c) { return c->received.isEmpty() || c->received == jpg; }));
    parallel.clear();

    for (int i = 0; i < 2000; ++i)
        QCOMPARE(s.fetch("GET / HTTP/1.1\r\n\r\n"), jpg);
    QTRY_COMPARE(s.server.connectionCount(), 0);
    QTRY_COMPARE(openDescriptors(), before);
}

void TestSnapshotServer::stopClosesOpenConnections()
{
    Server s;
    QVERIFY(s.listening);
    LoopbackClient c(s.server.serverPort());
    QTRY_COMPARE(s.server.connectionCount(), 1);
    s.server.WSCam(0);
    QTRY_VERIFY(c.closed);
    QCOMPARE(s.server.connectionCount(), 0);
    QVERIFY(!s.server.isListening());
    QVERIFY(s.server.WSCam(1));
}

QTEST_GUILESS_MAIN(TestSnapshotServer)
#include "tst_snapshotserver.moc"
