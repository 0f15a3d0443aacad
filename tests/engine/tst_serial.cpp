#include "support/LinkFixture.h"
#include "support/PtyPair.h"
#include "engine/links/SerialPortName.h"
#include "engine/config/SettingKeys.h"

#include <QSerialPort>
#include <QStandardPaths>
#include <QtTest>

// The serial gateway through a socat pseudo-terminal pair: the link opens one end, the
// test answers on the other.
class TestSerial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probeAnsweredInPieces();
    void noAnswerOrNoPort_data();
    void noAnswerOrNoPort();
    void receivedPieces_data();
    void receivedPieces();
    void busyBusLosesNoFrame();
    void portReadNoFurtherPastTheBound();
    void detectionOnlyMarksTheGateway();
    void receiveTextBoundedAndClearedOnOpen();
    void sendUsb();
    void portLostStopsTheLink();
    void portNames_data();
    void portNames();
    void textWithPort_data();
    void textWithPort();

private:
    // An opened serial link with its gateway end.
    struct Bench
    {
        LinkFixture f;
        PtyPair pty;
        QSerialPort peer;
        QByteArray probeSeen;
    };
    bool openBench(Bench &b, const QList<QByteArray> &answerPieces);
    // Writes one piece and returns once the link has read from its port, so that the next
    // piece cannot arrive in the same read.
    static bool writeAndAwaitRead(Bench &b, const QByteArray &piece);
};

void TestSerial::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    if (!PtyPair::socatAvailable())
        QSKIP("socat is not installed");
}

bool TestSerial::openBench(Bench &b, const QList<QByteArray> &answerPieces)
{
    if (!b.pty.start())
        return false;
    b.f.settings.save(SettingKeys::Gateway, QStringLiteral("1"));
    b.f.settings.save(SettingKeys::Com, b.pty.portPath());
    b.peer.setPortName(b.pty.peerPath());
    if (!b.peer.open(QIODevice::ReadWrite))
        return false;
    // The gateway answers the probe, piece by piece, while the link waits.
    connect(&b.peer, &QSerialPort::readyRead, &b.peer, [&b, answerPieces] {
        b.probeSeen += b.peer.readAll();
        if (!b.probeSeen.endsWith("##"))
            return;
        int delay = 0;
        for (const QByteArray &piece : answerPieces) {
            QTimer::singleShot(delay, &b.peer, [&b, piece] {
                b.peer.write(piece);
                b.peer.flush();
            });
            delay += 30;
        }
    });
    return true;
}

bool TestSerial::writeAndAwaitRead(Bench &b, const QByteArray &piece)
{
    // The link connected to readyRead before this spy did, so a counted signal is one the
    // link has already handled.
    QSerialPort &port = b.f.commands.Comm();
    QSignalSpy reads(&port, &QSerialPort::readyRead);
    b.peer.write(piece);
    if (!b.peer.waitForBytesWritten(1000))
        return false;
    return QTest::qWaitFor([&] { return !reads.isEmpty() && port.bytesAvailable() == 0; }, 2000);
}

void TestSerial::probeAnsweredInPieces()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**1", "5*", "2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    QCOMPARE(b.probeSeen, QByteArray("*#13**15##"));
    QVERIFY(b.f.state.link.ModoUsb);
    // Joined into one piece for the translator.
    QCOMPARE(b.f.sink.received, QStringList{QStringLiteral("*#13**15*2##")});
    QCOMPARE(b.f.sink.panes, QStringList{QStringLiteral("Tlog")});
    const QStringList log = b.f.Tlog.untimedLines();
    QCOMPARE(log.first(), LinkFixture::txt("LogStart") + " @ USB: " + b.pty.portPath());
    QCOMPARE(log.at(1), QStringLiteral("---"));
    QCOMPARE(b.f.TlogC.untimedLines(), QStringList{QStringLiteral("-> *#13**15##")});
    QCOMPARE(b.f.status.statusText(), LinkFixture::txt("StatCon"));
    QCOMPARE(b.f.window.trayPictures, QList<int>{0});
}

void TestSerial::noAnswerOrNoPort_data()
{
    QTest::addColumn<bool>("portExists");
    QTest::addColumn<QList<QByteArray>>("answer");
    QTest::addColumn<QString>("text");
    QTest::newRow("silent") << true << QList<QByteArray>{} << LinkFixture::txt("NoUsb");
    QTest::newRow("no frame end") << true << QList<QByteArray>{"*#13**15*2"} << LinkFixture::txt("NoUsb");
    QTest::newRow("too short") << true << QList<QByteArray>{"##"} << LinkFixture::txt("NoUsb");
    QTest::newRow("port missing") << false << QList<QByteArray>{} << LinkFixture::txt("NoComm");
}

void TestSerial::noAnswerOrNoPort()
{
    QFETCH(bool, portExists);
    QFETCH(QList<QByteArray>, answer);
    QFETCH(QString, text);
    Bench b;
    QVERIFY(openBench(b, answer));
    if (!portExists)
        b.f.settings.save(SettingKeys::Com, b.pty.portPath() + QStringLiteral("-gone"));
    const QString port = b.f.settings.read(SettingKeys::Com);

    QVERIFY(!b.f.monitor.ApriGateway());
    QVERIFY(!b.f.state.link.ModoUsb);
    QCOMPARE(b.f.Tlog.untimedLines().last(), text + " (" + port + ") ");
    QCOMPARE(b.f.status.statusText(), LinkFixture::txt("Stop"));
    QCOMPARE(b.f.window.buttonImage, 1);
    QCOMPARE(b.f.window.trayPictures, QList<int>{2});
    // A late answer finds the port closed: no frames while the monitor shows off.
    QVERIFY(!b.f.commands.Comm().isOpen());
}

void TestSerial::receivedPieces_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QStringList>("translated");
    QTest::addColumn<QString>("logged");
    QTest::newRow("split frame joined") << QList<QByteArray>{"*1*1", "*11#", "#"} << QStringList{"*1*1*11##"} << QString();
    QTest::newRow("two frames together") << QList<QByteArray>{"*1*1*11##*1*0*12##"}
                                         << QStringList{"*1*1*11##*1*0*12##"} << QString();
    // What is whole goes on at once; the rest waits for its end.
    QTest::newRow("inside a frame") << QList<QByteArray>{"*1*1*1", "1##*#4*1*0*02", "15##"}
                                    << QStringList{"*1*1*11##", "*#4*1*0*0215##"} << QString();
    QTest::newRow("acknowledgement logged") << QList<QByteArray>{"*#*1##"} << QStringList{} << "*#*1##";
    QTest::newRow("inside an acknowledgement") << QList<QByteArray>{"*#*", "1##"} << QStringList{} << "*#*1##";
    QTest::newRow("refusal logged") << QList<QByteArray>{"*#*0", "##"} << QStringList{} << "*#*0##";
    QList<QByteArray> bytes;
    for (char c : QByteArray("*#4*1*0*0215##"))
        bytes << QByteArray(1, c);
    QTest::newRow("one byte at a time") << bytes << QStringList{"*#4*1*0*0215##"} << QString();
}

void TestSerial::receivedPieces()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QStringList, translated);
    QFETCH(QString, logged);
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    b.f.sink.received.clear();
    const int linesBefore = b.f.Tlog.untimedLines().size();

    for (const QByteArray &p : pieces)
        QVERIFY(writeAndAwaitRead(b, p));
    if (translated.isEmpty())
        QTRY_COMPARE(b.f.Tlog.untimedLines().size(), linesBefore + 1);
    else
        QTRY_COMPARE(b.f.sink.received, translated);
    QTest::qWait(50);
    QCOMPARE(b.f.sink.received, translated);
    if (!logged.isEmpty())
        QCOMPARE(b.f.Tlog.untimedLines().last(), logged);
}

void TestSerial::busyBusLosesNoFrame()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    b.f.sink.received.clear();
    // No read ends a frame, and together they hold more than any tail may.
    const QByteArray busy = QByteArray("*1*1*11##").repeated(600);
    for (int at = 0; at < busy.size(); at += 601)
        QVERIFY(writeAndAwaitRead(b, busy.mid(at, 601)));
    QTRY_COMPARE(b.f.sink.received.join(QString()), QString::fromLatin1(busy));
    for (const QString &text : std::as_const(b.f.sink.received))
        QVERIFY(text.endsWith(QStringLiteral("##")));
}

// As on the monitor socket: a burst past the slicer's bound while the translation is held up
// stays in the port, and comes through whole once it goes on.
void TestSerial::portReadNoFurtherPastTheBound()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    b.f.sink.received.clear();
    QByteArray burst;
    for (int i = 0; burst.size() < FrameSlicer::MaxWaitingChars + 4 * FrameSlicer::ReadBufferBytes; ++i)
        burst += "*1*" + QByteArray::number(i % 2) + '*' + QByteArray::number(i) + "##";
    bool held = false;
    b.f.sink.onReceived = [&] {
        // A slice of a later turn: the first is translated inside the read itself.
        if (b.f.sink.received.size() != 2)
            return;
        QSerialPort &port = b.f.commands.Comm();
        held = QTest::qWaitFor([&] { return port.bytesAvailable() >= FrameSlicer::ReadBufferBytes; }, 20000);
        QTest::qWait(50);
        held = held && port.bytesAvailable() == FrameSlicer::ReadBufferBytes;
    };
    b.peer.write(burst);
    QTRY_VERIFY_WITH_TIMEOUT(b.f.sink.received.size() >= 2, 10000);
    QVERIFY(held);
    QTRY_COMPARE_WITH_TIMEOUT(b.f.sink.received.join(QString()).size(), burst.size(), 30000);
    QCOMPARE(b.f.sink.received.join(QString()), QString::fromLatin1(burst));
}

void TestSerial::detectionOnlyMarksTheGateway()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    b.f.sink.received.clear();
    b.f.state.link.ModoUsb = false;
    b.f.state.link.RilevamentoCom = true;
    const QString log = b.f.Tlog.text();
    b.peer.write("*#*1##");
    QTRY_VERIFY(b.f.state.link.ModoUsb);
    QVERIFY(b.f.sink.received.isEmpty());
    QCOMPARE(b.f.Tlog.text(), log);
}

void TestSerial::receiveTextBoundedAndClearedOnOpen()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());

    // Noise that never ends a frame is dropped, with a line saying so; frames still work after.
    b.peer.write(QByteArray(FrameReassembler::MaxTail + 100, '7'));
    QTRY_VERIFY(b.f.Tlog.untimedLines().last().contains(QStringLiteral("without \"##\" dropped")));
    QVERIFY(b.f.monitor.RicezioneSeriale().size() <= FrameReassembler::MaxTail);
    b.f.sink.received.clear();
    b.peer.readAll();
    b.peer.write("*1*1*11##");
    QTRY_COMPARE(b.f.sink.received, QStringList{QStringLiteral("*1*1*11##")});

    // Half a frame left when the port is opened again does not stick to the next answer.
    b.peer.write("*1*0*1");
    QTRY_COMPARE(b.f.monitor.RicezioneSeriale(), QStringLiteral("*1*0*1"));
    b.f.sink.received.clear();
    b.probeSeen.clear();
    QVERIFY(b.f.monitor.ApriGateway());
    QCOMPARE(b.f.sink.received, QStringList{QStringLiteral("*#13**15*2##")});
}

void TestSerial::sendUsb()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    // Closed port: nothing written, nothing logged.
    b.f.commands.SendUsb(QStringLiteral("*1*1*11##"), false);
    QVERIFY(b.f.TlogC.text().isEmpty());

    QVERIFY(b.f.monitor.ApriGateway());
    b.peer.readAll();
    b.probeSeen = "ignore";  // no more probe answers
    b.f.TlogC.clear();
    b.f.commands.SendUsb(QStringLiteral("*1*1*11##"), false);
    b.f.commands.SendUsb(QStringLiteral("*1*0*12##"), true);
    QTRY_COMPARE(b.probeSeen, QByteArray("ignore*1*1*11##*1*0*12##"));
    QCOMPARE(b.f.TlogC.untimedLines(), QStringList{QStringLiteral("-> *1*1*11##")});
}

void TestSerial::portLostStopsTheLink()
{
    Bench b;
    QVERIFY(openBench(b, {"*#13**15*2##"}));
    QVERIFY(b.f.monitor.ApriGateway());
    b.peer.close();
    b.pty.stop();
    QTRY_VERIFY(!b.f.commands.Comm().isOpen());
    QVERIFY(!b.f.state.link.ModoUsb);
    QCOMPARE(b.f.window.buttonImage, 1);
    QCOMPARE(b.f.status.statusText(), LinkFixture::txt("Stop"));
    QCOMPARE(b.f.Tlog.untimedLines().last(), LinkFixture::txt("LogStop"));
    QCOMPARE(b.f.window.trayPictures.last(), 2);
    // Writing afterwards is a no-op, not a crash.
    b.f.commands.SendUsb(QStringLiteral("*1*1*11##"), false);
    QVERIFY(b.f.TlogC.untimedLines().filter(QStringLiteral("*1*1*11##")).isEmpty());
}

void TestSerial::portNames_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("number");
#ifdef Q_OS_WIN
    QTest::newRow("number") << "3" << "COM3" << true;
#else
    QTest::newRow("number") << "3" << "ttyS2" << true;
#endif
    QTest::newRow("system name") << "ttyUSB0" << "ttyUSB0" << false;
    QTest::newRow("path") << "/dev/ttyACM0" << "/dev/ttyACM0" << false;
    QTest::newRow("zero is no port") << "0" << "0" << false;
}

void TestSerial::portNames()
{
    QFETCH(QString, setting);
    QFETCH(QString, name);
    QFETCH(bool, number);
    QCOMPARE(SerialPorts::SerialPortName(setting), name);
    QCOMPARE(SerialPorts::isPortNumber(setting), number);
    // The port list stores what the name maps back from.
    QCOMPARE(SerialPorts::SerialPortName(SerialPorts::SerialPortSetting(name)), name);
}

void TestSerial::textWithPort_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("text");
    const QString words = QStringLiteral("Gateway found on port COM");
    QTest::newRow("number: after COM") << "3" << words + "3";
    QTest::newRow("system name: in place of COM") << "ttyUSB0" << "Gateway found on port ttyUSB0";
    QTest::newRow("path") << "/dev/ttyACM0" << "Gateway found on port /dev/ttyACM0";
    QTest::newRow("padded setting") << " ttyS0 " << "Gateway found on port ttyS0";
}

void TestSerial::textWithPort()
{
    QFETCH(QString, setting);
    QFETCH(QString, text);
    QCOMPARE(SerialPorts::withPort(QStringLiteral("Gateway found on port COM"), setting), text);
    // A text without the Windows prefix keeps its words apart from the port.
    QCOMPARE(SerialPorts::withPort(QStringLiteral("Porta:"), QStringLiteral("ttyS0")), QStringLiteral("Porta: ttyS0"));
}

QTEST_MAIN(TestSerial)
#include "tst_serial.moc"
