#include "support/AnsweringPort.h"
#include "support/LinkFixture.h"
#include "engine/links/SerialDetection.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

// The search for a serial gateway over socat pseudo-terminal pairs: the program probes one
// end, a device (or nothing) answers on the other.
class TestSerialDetection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void gatewayOnSecondOfThree();
    void replies_data();
    void replies();
    void emptyListEndsAtOnce();
    void closingEndsTheSearch();
};

namespace {

struct Bench
{
    Bench() : detection(f.state, f.commands, f.monitor) { detection.setTimings({500, 50}); }

    // Starts one device per answer list; the port paths in order.
    QStringList ports(const QList<QList<QByteArray>> &answers, int delayMs = 0)
    {
        QStringList paths;
        for (const auto &answer : answers) {
            devices.push_back(std::make_unique<AnsweringPort>(answer, delayMs));
            if (!devices.back()->start())
                return {};
            paths << devices.back()->portPath();
        }
        return paths;
    }

    LinkFixture f;
    SerialDetection detection;
    std::vector<std::unique_ptr<AnsweringPort>> devices;
};

} // namespace

void TestSerialDetection::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    if (!PtyPair::socatAvailable())
        QSKIP("socat is not installed");
}

void TestSerialDetection::gatewayOnSecondOfThree()
{
    Bench b;
    const QStringList ports = b.ports({{}, {"*#*1##"}, {"*#*1##"}});
    QCOMPARE(ports.size(), 3);
    QCOMPARE(b.detection.cerca(ports), 1);

    QCOMPARE(b.devices[0]->received, QByteArray("*#13**15##"));
    QCOMPARE(b.devices[1]->received, QByteArray("*#13**15##"));
    QVERIFY2(b.devices[2]->received.isEmpty(), "the search ends at the first gateway");
    // The reply is only noted: nothing translated, nothing logged, and the port closed again.
    QVERIFY(b.f.sink.received.isEmpty());
    QVERIFY(b.f.Tlog.text().isEmpty());
    QVERIFY(!b.f.commands.Comm().isOpen());
    QVERIFY(!b.f.state.link.ModoUsb);
    QVERIFY(!b.f.state.link.RilevamentoCom);
}

void TestSerialDetection::replies_data()
{
    QTest::addColumn<QList<QByteArray>>("answer");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("found");
    QTest::newRow("one write") << QList<QByteArray>{"*#*1##"} << 0 << true;
    QTest::newRow("split in two writes") << QList<QByteArray>{"*#13**1", "5*2##"} << 0 << true;
    // The wait never shrinks to nothing: a gateway that takes its time is still heard.
    QTest::newRow("answer after 150 ms") << QList<QByteArray>{"*#*1##"} << 150 << true;
    QTest::newRow("without ##") << QList<QByteArray>{"OK\r\n"} << 0 << false;
    QTest::newRow("fewer than 3 characters") << QList<QByteArray>{"##"} << 0 << false;
    QTest::newRow("silent") << QList<QByteArray>{} << 0 << false;
}

void TestSerialDetection::replies()
{
    QFETCH(QList<QByteArray>, answer);
    QFETCH(int, delayMs);
    QFETCH(bool, found);
    Bench b;
    const QStringList ports = b.ports({answer}, delayMs);
    QCOMPARE(ports.size(), 1);
    QCOMPARE(b.detection.ProvaCom(ports.first()), found);
    QVERIFY(!b.f.commands.Comm().isOpen());
}

void TestSerialDetection::emptyListEndsAtOnce()
{
    Bench b;
    QElapsedTimer t;
    t.start();
    QCOMPARE(b.detection.cerca({}), -1);
    QVERIFY(t.elapsed() < 100);
    QVERIFY(!b.f.state.link.RilevamentoCom);
}

void TestSerialDetection::closingEndsTheSearch()
{
    Bench b;
    // Ports that do not exist answer nothing; with the pauses the search would take 2 s.
    QStringList ports;
    for (int i = 0; i < 40; ++i)
        ports << b.f.folder.filePath(QStringLiteral("no-port-%1").arg(i));
    b.f.closeAfter(100);
    QElapsedTimer t;
    t.start();
    QCOMPARE(b.detection.cerca(ports), -1);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
}

QTEST_GUILESS_MAIN(TestSerialDetection)
#include "tst_serialdetection.moc"
