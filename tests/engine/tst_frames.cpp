#include "engine/protocol/ConversionError.h"
#include "engine/protocol/Frame.h"
#include "engine/protocol/NumberConversions.h"

#include <QStandardPaths>
#include <QtTest>

class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cut_data();
    void cut();
    void fields();
    void sessionReplies_data();
    void sessionReplies();
    void wellFormed_data();
    void wellFormed();
    void value_data();
    void value();
    void numberValue_data();
    void numberValue();
    void wholeNumber_data();
    void wholeNumber();
    void byteRange_data();
    void byteRange();
};

void TestFrames::cut_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("two frames in order") << "*1*1*11##*1*0*11##" << QStringList{"*1*1*11", "*1*0*11"};
    QTest::newRow("unterminated rest dropped") << "*1*1*11##*1*0" << QStringList{"*1*1*11"};
    QTest::newRow("no terminator, nothing") << "*1*1*11" << QStringList{};
    QTest::newRow("empty chunk") << "" << QStringList{};
    QTest::newRow("ack inside a chunk") << "*1*1*11##*#*1##" << QStringList{"*1*1*11", "*#*1"};
    QTest::newRow("first ## ends a frame") << "*1*1*11###" << QStringList{"*1*1*11"};
    QTest::newRow("empty piece between") << "*1*1*11####*2*0*21##" << QStringList{"*1*1*11", "", "*2*0*21"};
}

void TestFrames::cut()
{
    QFETCH(QString, chunk);
    QFETCH(QStringList, pieces);
    QCOMPARE(Frame::cut(chunk), pieces);
}

void TestFrames::fields()
{
    const QStringList f = Frame::fields(QStringLiteral("*#4*5*0*0215"));
    QCOMPARE(f, (QStringList{"", "#4", "5", "0", "0215"}));
    QCOMPARE(Frame::fields(QStringLiteral("*6*9*")), (QStringList{"", "6", "9", ""}));
    QCOMPARE(Frame::withTerminator(QStringLiteral("*1*1*11")), QStringLiteral("*1*1*11##"));
    QCOMPARE(Frame::withTerminator(QStringLiteral("*1*1*11##")), QStringLiteral("*1*1*11##"));
}

void TestFrames::sessionReplies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ack");
    QTest::addColumn<bool>("nack");
    QTest::addColumn<bool>("nonce");
    QTest::addColumn<QString>("digits");
    QTest::newRow("ack") << "*#*1##" << true << false << false << "";
    QTest::newRow("refusal is not a nonce") << "*#*0##" << false << true << false << "";
    QTest::newRow("nine-digit nonce") << "*#603356072##" << false << false << true << "603356072";
    QTest::newRow("six-digit nonce") << "*#123456##" << false << false << true << "123456";
    QTest::newRow("ack inside longer text is not an ack") << "*#*1##*#*1##" << false << false << true << "";
    QTest::newRow("plain command") << "*1*1*11##" << false << false << false << "";
}

void TestFrames::sessionReplies()
{
    QFETCH(QString, text);
    QFETCH(bool, ack);
    QFETCH(bool, nack);
    QFETCH(bool, nonce);
    QFETCH(QString, digits);
    QCOMPARE(Frame::isAck(text), ack);
    QCOMPARE(Frame::isNack(text), nack);
    QCOMPARE(Frame::isNonce(text), nonce);
    if (nonce)
        QCOMPARE(Frame::nonceDigits(text), digits);
}

void TestFrames::wellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("run");  // accepted as the text of one send
    QTest::newRow("command") << "*1*1*11##" << true << true;
    QTest::newRow("status request") << "*#4*1##" << true << true;
    QTest::newRow("parameter and group") << "*1*1#30*#3##" << true << true;
    QTest::newRow("write form") << "*#1*51*#1*50*5##" << true << true;
    QTest::newRow("camera with empty last field") << "*6*0*4000*##" << true << true;
    QTest::newRow("empty middle field") << "*6*9**##" << true << true;
    QTest::newRow("shortest") << "*9##" << true << true;
    // The pre-filled "*##" with a frame typed after it: the gateway drops the session.
    QTest::newRow("pre-filled box plus frame") << "**1*1*11####" << false << false;
    QTest::newRow("pre-filled box alone") << "*##" << false << false;
    QTest::newRow("empty WHO") << "**1*11##" << false << false;
    QTest::newRow("status without WHO") << "*#*1##" << false << false;
    QTest::newRow("non-ASCII") << QString::fromUtf8("*1*1*1\u20ac##") << false << false;
    QTest::newRow("Latin-1 letter") << QString::fromUtf8("*1*1*1\u00e9##") << false << false;
    QTest::newRow("letter") << "*1*1*1a##" << false << false;
    QTest::newRow("blank") << "*1*1* 11##" << false << false;
    QTest::newRow("line end") << "*1*1*11##\r\n" << false << false;
    QTest::newRow("third closing hash") << "*1*1*11###" << false << false;
    QTest::newRow("no leading star") << "1*1*11##" << false << false;
    QTest::newRow("single closing hash") << "*1*1*11#" << false << false;
    QTest::newRow("star alone") << "*" << false << false;
    QTest::newRow("empty") << "" << false << false;
    // The probe batch goes out joined in one send; each frame must stand on its own.
    QTest::newRow("joined requests") << "*#4*1*0##*#4*1*12##" << false << true;
    QTest::newRow("joined, one bad") << "*#4*1*0##**1##" << false << false;
    QTest::newRow("joined, tail") << "*#4*1*0##*1*1" << false << false;
}

void TestFrames::wellFormed()
{
    QFETCH(QString, text);
    QFETCH(bool, frame);
    QFETCH(bool, run);
    QCOMPARE(Frame::isWellFormed(text), frame);
    QCOMPARE(Frame::isFrameRun(text), run);
}

void TestFrames::value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "21" << true << 21.0;
    QTest::newRow("blanks around") << "  7 " << true << 7.0;
    QTest::newRow("negative") << "-3" << true << -3.0;
    QTest::newRow("decimal") << "0.5" << true << 0.5;
    QTest::newRow("leading zeros") << "0215" << true << 215.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("hash") << "#3" << false << 0.0;
    QTest::newRow("parameter") << "1#30" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("exponent refused") << "1e3" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("plus sign") << "+4" << true << 4.0;
    QTest::newRow("tabs around") << "\t5\t" << true << 5.0;
    QTest::newRow("nine digits") << "123456789" << true << 123456789.0;
    QTest::newRow("ten digits") << "1234567890" << true << 1234567890.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
}

void TestFrames::value()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    const auto v = NumberConversions::tryValue(text);
    QCOMPARE(v.has_value(), ok);
    if (ok) {
        QCOMPARE(*v, expected);
        QCOMPARE(NumberConversions::value(text), expected);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConversionError, NumberConversions::value(text));
    }
}

void TestFrames::numberValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("digits then hash") << "12#3" << 12.0;
    QTest::newRow("hash first") << "#3" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks skipped") << "  4 2x" << 42.0;
    QTest::newRow("sign and point") << "-1.5.3" << -1.5;
    QTest::newRow("zero parameter") << "0#30" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("sign and eight digits") << "-12345678" << -12345678.0;
    QTest::newRow("ten digits") << "1234567890#1" << 1234567890.0;
    QTest::newRow("blank after the sign") << "- 5" << -5.0;
    QTest::newRow("second sign ends it") << "--5" << 0.0;
    QTest::newRow("point after digits") << "12.5#1" << 12.5;
    QTest::newRow("longer than a short run") << "-123456789012345678901234567890123456.5" << -1.234567890123456789e35;
}

void TestFrames::numberValue()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const QString frame = text + QStringLiteral("7*");
    QCOMPARE(NumberConversions::numberValue(QStringView(frame).first(text.size())), expected);
}

void TestFrames::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("integer") << "12" << true << 12;
    QTest::newRow("half down to even") << "2.5" << true << 2;
    QTest::newRow("half up to even") << "3.5" << true << 4;
    QTest::newRow("negative half to even") << "-2.5" << true << -2;
    QTest::newRow("negative odd half") << "-3.5" << true << -4;
    QTest::newRow("above half") << "2.51" << true << 3;
    QTest::newRow("below half") << "2.49" << true << 2;
    QTest::newRow("zero half") << "0.5" << true << 0;
    QTest::newRow("not a number") << "#1" << false << 0;
    QTest::newRow("zone on a local bus") << "2#1" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("too large") << "99999999999" << false << 0;
    QTest::newRow("largest int") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest int") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("just past int") << "2147483648" << false << 0;
    QTest::newRow("half past int") << "2147483647.5" << false << 0;
}

void TestFrames::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    // Fields are views into the whole frame: what follows the view must not count.
    const QString frame = text + QStringLiteral("7*");
    const QStringView field = QStringView(frame).first(text.size());
    if (ok) {
        QCOMPARE(NumberConversions::wholeNumber(field), expected);
        QCOMPARE(NumberConversions::tryWholeNumber(field), std::optional<int>(expected));
    } else {
        QVERIFY_THROWS_EXCEPTION(ConversionError, NumberConversions::wholeNumber(field));
        QCOMPARE(NumberConversions::tryWholeNumber(field), std::nullopt);
    }
}

void TestFrames::byteRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("top") << "255" << true << 255;
    QTest::newRow("rounds into range") << "254.5" << true << 254;
    QTest::newRow("above") << "256" << false << 0;
    QTest::newRow("rounds out of range") << "255.5" << false << 0;
    QTest::newRow("negative") << "-1" << false << 0;
}

void TestFrames::byteRange()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    if (ok)
        QCOMPARE(int(NumberConversions::toByte(text)), expected);
    else
        QVERIFY_THROWS_EXCEPTION(ConversionError, NumberConversions::toByte(text));
}

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
