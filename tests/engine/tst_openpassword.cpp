#include "engine/protocol/OpenPassword.h"

#include <QStandardPaths>
#include <QtTest>

// Vectors worked out from the published algorithm by hand for single digits (0x01020304
// makes byte moves readable) and with an independent step-by-step copy of it for the rest.
class TestOpenPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void answer_data();
    void answer();
    void bufferRewrittenAndStable();
    void modDouble_data();
    void modDouble();
};

void TestOpenPassword::answer_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("nonce");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1 rotates right by 7") << "1" << "*#1##" << "*#33554432##";
    QTest::newRow("2 rotates right by 4") << "1" << "*#2##" << "*#268435456##";
    QTest::newRow("3 rotates right by 3") << "1" << "*#3##" << "*#536870912##";
    QTest::newRow("4 rotates left by 1") << "1" << "*#4##" << "*#2##";
    QTest::newRow("4 carries the top bit round") << "2147483648" << "*#4##" << "*#1##";
    QTest::newRow("5 rotates left by 5") << "1" << "*#5##" << "*#32##";
    QTest::newRow("6 rotates left by 12") << "1" << "*#6##" << "*#4096##";
    QTest::newRow("7 moves bytes") << "16909060" << "*#7##" << "*#67175170##";   // 04 01 03 02
    QTest::newRow("8 moves bytes") << "16909060" << "*#8##" << "*#50594305##";   // 03 04 02 01
    QTest::newRow("rotation then move") << "16909060" << "*#17##" << "*#101188610##";
    QTest::newRow("move then rotation") << "16909060" << "*#71##" << "*#67633670##";
    QTest::newRow("two moves") << "16909060" << "*#78##" << "*#50462980##";
    QTest::newRow("moves the other way") << "16909060" << "*#87##" << "*#16974340##";   // 01 03 02 04
    QTest::newRow("three 7s undo each other") << "16909060" << "*#777##" << "*#16909060##";
    QTest::newRow("9 complements") << "12345" << "*#9##" << "*#4294954950##";
    QTest::newRow("two 9s cancel") << "12345" << "*#99##" << "*#12345##";
    QTest::newRow("leading zeros") << "16909060" << "*#0001##" << "*#134349830##";
    QTest::newRow("only zeros") << "16909060" << "*#00000##" << "*#0##";
    QTest::newRow("all bits set") << "4294967295" << "*#78##" << "*#4294967295##";
    QTest::newRow("gateway nonce 1") << "12345" << "*#603356072##" << "*#25280520##";
    QTest::newRow("gateway nonce 2") << "12345" << "*#410501656##" << "*#119537670##";
    QTest::newRow("gateway nonce 3") << "12345" << "*#630292165##" << "*#4269684735##";
    QTest::newRow("gateway nonce 4") << "12345" << "*#523781130##" << "*#537331200##";
    QTest::newRow("every digit") << "305419896" << "*#9876543210##" << "*#3667703934##";
    QTest::newRow("six-digit nonce") << "987654321" << "*#123456##" << "*#2917567251##";
}

void TestOpenPassword::answer()
{
    QFETCH(QString, password);
    QFETCH(QString, nonce);
    QFETCH(QString, expected);
    QCOMPARE(OpenPassword::CalcolaPassword(nonce, password), expected);
}

void TestOpenPassword::bufferRewrittenAndStable()
{
    // The receive buffer itself is handed in; it keeps the digits for the next search.
    QString buffer = QStringLiteral("*#603356072##");
    const QString first = OpenPassword::CalcolaPassword(buffer, QStringLiteral("12345"));
    QCOMPARE(buffer, QStringLiteral("603356072"));
    QCOMPARE(OpenPassword::CalcolaPassword(buffer, QStringLiteral("12345")), first);
    QCOMPARE(buffer, QStringLiteral("603356072"));
}

void TestOpenPassword::modDouble_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << 17.0 << 5.0 << 2.0;
    QTest::newRow("fractions dropped") << 17.9 << 5.7 << 2.0;
    QTest::newRow("beyond 32 bits") << 8589934593.0 << 4294967296.0 << 1.0;
    QTest::newRow("negative toward zero") << -17.0 << 5.0 << -2.0;
}

void TestOpenPassword::modDouble()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, expected);
    QCOMPARE(OpenPassword::ModDouble(a, b), expected);
}

QTEST_MAIN(TestOpenPassword)
#include "tst_openpassword.moc"
