#include "engine/http/HttpGet.h"
#include "engine/http/HttpReplyParser.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

using Fault = HttpReplyParser::Fault;
using State = HttpReplyParser::State;

constexpr qint64 MaxBody = 1000;

// A web server on 127.0.0.1 that answers each request with the next of its scripted replies
// and, where told, closes the connection after it.
class ScriptedServer
{
public:
    struct Answer
    {
        QByteArray bytes;
        bool close = false;
    };

    ScriptedServer()
    {
        if (!m_server.listen(QHostAddress::LocalHost))
            qFatal("scripted server: %s", qPrintable(m_server.errorString()));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    QByteArray pending = s->property("pending").toByteArray() + s->readAll();
                    qsizetype end;
                    while ((end = pending.indexOf("\r\n\r\n")) >= 0) {
                        const QByteArray head = pending.left(end);
                        pending.remove(0, end + 4);
                        requests << QString::fromLatin1(head.left(head.indexOf("\r\n")));
                        if (answers.isEmpty())
                            continue;
                        const Answer a = answers.takeFirst();
                        s->write(a.bytes);
                        if (a.close)
                            s->disconnectFromHost();
                    }
                    s->setProperty("pending", pending);
                });
            }
        });
    }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    QList<Answer> answers;
    QStringList requests;
    int connections = 0;

private:
    QTcpServer m_server;
};

QByteArray ok(const QByteArray &body) { return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body; }

HttpGet::Result getOnce(HttpGet &get, const QUrl &url)
{
    QSignalSpy done(&get, &HttpGet::finished);
    get.get(url);
    if (!done.wait(5000))
        return {};
    return done.first().first().value<HttpGet::Result>();
}

} // namespace

Q_DECLARE_METATYPE(HttpGet::Result)

class TestHttpGet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qRegisterMetaType<HttpGet::Result>();
    }
    void replies_data();
    void replies();
    void keptAliveConnectionCarriesTheNext();
    void connectionTheServerClosedWhileIdleIsOpenedAgain();
    void redirectsAreFollowedUpToALimit();
};

void TestHttpGet::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("closed");  // the stream ends after the bytes
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("keepAlive");
    const int done = int(State::Done);
    const int failed = int(State::Failed);
    const int none = int(Fault::None);
    const QByteArray longLine(HttpReplyParser::MaxHeadBytes + 1, 'a');

    QTest::newRow("length") << ok("hello") << false << done << none << 200 << QByteArray("hello") << true;
    QTest::newRow("bare LF line ends, no reason")
        << QByteArray("HTTP/1.1 404\nContent-Length: 2\n\nno") << false << done << none << 404 << QByteArray("no") << true;
    QTest::newRow("chunked, extension and trailer")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\n6\r\n world\r\n0\r\nT: v\r\n\r\n")
        << false << done << none << 200 << QByteArray("hello world") << true;
    QTest::newRow("to the end of the stream")
        << QByteArray("HTTP/1.0 200 OK\r\n\r\nall of it") << true << done << none << 200 << QByteArray("all of it") << false;
    QTest::newRow("HTTP/1.0 kept alive")
        << QByteArray("HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 1\r\n\r\nx") << false << done << none
        << 200 << QByteArray("x") << true;
    QTest::newRow("Connection: close") << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n")
                                       << false << done << none << 200 << QByteArray() << false;
    QTest::newRow("no body for 204") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false << done << none << 204
                                     << QByteArray() << true;
    QTest::newRow("interim reply first") << QByteArray("HTTP/1.1 100 Continue\r\n\r\n") + ok("x") << false << done << none
                                         << 200 << QByteArray("x") << true;
    QTest::newRow("bytes after the reply") << ok("x") + "more" << false << done << none << 200 << QByteArray("x") << false;

    QTest::newRow("one header line past the bound") << "HTTP/1.1 200 OK\r\nX: " + longLine << false << failed
                                                    << int(Fault::HeadTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("header lines past the bound") << "HTTP/1.1 200 OK\r\n" + QByteArray("X: a\r\n").repeated(2000) << false
                                                 << failed << int(Fault::HeadTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("status line past the bound")
        << longLine << false << failed << int(Fault::HeadTooLarge) << 0 << QByteArray() << false;
    QTest::newRow("interim replies past the bound") << QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(400) << false
                                                    << failed << int(Fault::HeadTooLarge) << 100 << QByteArray() << false;
    QTest::newRow("trailers past the bound")
        << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n" + QByteArray("T: v\r\n").repeated(2000) << false
        << failed << int(Fault::HeadTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("announced body past the bound") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n") << false
                                                   << failed << int(Fault::BodyTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("endless body") << "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(1001, 'x') << false << failed
                                  << int(Fault::BodyTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("chunk past the bound") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3e9\r\n")
                                          << false << failed << int(Fault::BodyTooLarge) << 200 << QByteArray() << false;
    QTest::newRow("endless chunk-size line")
        << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray(300, '0') << false << failed
        << int(Fault::Malformed) << 200 << QByteArray() << false;
    QTest::newRow("not HTTP") << QByteArray("<html>\r\n") << false << failed << int(Fault::Malformed) << 0 << QByteArray()
                              << false;
    QTest::newRow("header without a name") << QByteArray("HTTP/1.1 200 OK\r\n: x\r\n\r\n") << false << failed
                                           << int(Fault::Malformed) << 200 << QByteArray() << false;
    QTest::newRow("two lengths") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n") << false
                                 << failed << int(Fault::Malformed) << 200 << QByteArray() << false;
    QTest::newRow("signed length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n") << false << failed
                                   << int(Fault::Malformed) << 200 << QByteArray() << false;
    QTest::newRow("chunk longer than its size")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n") << false << failed
        << int(Fault::Malformed) << 200 << QByteArray() << false;
    QTest::newRow("shorter than its length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc") << true
                                             << failed << int(Fault::CutShort) << 200 << QByteArray() << false;
    QTest::newRow("closed in the headers") << QByteArray("HTTP/1.1 200 OK\r\nX: a") << true << failed
                                           << int(Fault::CutShort) << 200 << QByteArray() << false;
    QTest::newRow("closed in a chunked body")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab") << true << failed
        << int(Fault::CutShort) << 200 << QByteArray() << false;
}

void TestHttpGet::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, closed);
    QFETCH(int, state);
    QFETCH(int, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, keepAlive);
    // The same, whether the bytes come at once or one by one.
    for (const bool byByte : {false, true}) {
        HttpReplyParser p(MaxBody);
        if (byByte) {
            for (const char c : std::as_const(reply))
                p.feed(QByteArrayView(&c, 1));
        } else {
            p.feed(reply);
        }
        if (closed)
            p.endOfStream();
        QCOMPARE(int(p.state()), state);
        QCOMPARE(int(p.fault()), fault);
        QCOMPARE(p.status(), status);
        QCOMPARE(p.body(), body);
        QCOMPARE(p.keepAlive(), keepAlive);
    }
}

void TestHttpGet::keptAliveConnectionCarriesTheNext()
{
    ScriptedServer server;
    server.answers = {{ok("one")}, {ok("two")}};
    HttpGet get(MaxBody);
    QCOMPARE(getOnce(get, server.url(QStringLiteral("/a"))).body, QByteArray("one"));
    const HttpGet::Result second = getOnce(get, server.url(QStringLiteral("/b?x=1")));
    QVERIFY2(second.ok(), qPrintable(second.errorString));
    QCOMPARE(second.body, QByteArray("two"));
    QCOMPARE(server.connections, 1);
    QCOMPARE(server.requests, (QStringList{QStringLiteral("GET /a HTTP/1.1"), QStringLiteral("GET /b?x=1 HTTP/1.1")}));
}

void TestHttpGet::connectionTheServerClosedWhileIdleIsOpenedAgain()
{
    ScriptedServer server;
    // The first reply says the connection stays, then the server closes it anyway.
    server.answers = {{ok("one"), true}, {ok("two")}};
    HttpGet get(MaxBody);
    QCOMPARE(getOnce(get, server.url(QStringLiteral("/"))).body, QByteArray("one"));
    const HttpGet::Result second = getOnce(get, server.url(QStringLiteral("/")));
    QVERIFY2(second.ok(), qPrintable(second.errorString));
    QCOMPARE(second.body, QByteArray("two"));
    QCOMPARE(server.connections, 2);
}

void TestHttpGet::redirectsAreFollowedUpToALimit()
{
    ScriptedServer server;
    const QByteArray moved = "HTTP/1.1 302 Found\r\nLocation: /there\r\nContent-Length: 0\r\n\r\n";
    server.answers = {{moved}, {ok("here")}};
    HttpGet get(MaxBody);
    const HttpGet::Result r = getOnce(get, server.url(QStringLiteral("/version.txt")));
    QVERIFY2(r.ok(), qPrintable(r.errorString));
    QCOMPARE(r.body, QByteArray("here"));
    QCOMPARE(server.requests.last(), QStringLiteral("GET /there HTTP/1.1"));

    for (int i = 0; i <= HttpGet::MaxRedirects; ++i)
        server.answers.append({moved});
    const HttpGet::Result loop = getOnce(get, server.url(QStringLiteral("/version.txt")));
    QCOMPARE(loop.error, QNetworkReply::InsecureRedirectError);
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "tst_httpget.moc"
