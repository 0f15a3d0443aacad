#include "engine/config/IniDocument.h"
#include "support/TestFolder.h"
#include "engine/protocol/Windows1252.h"

#include <QStandardPaths>
#include <QtTest>

class TestIniReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void rules_data();
    void rules();
    void windows1252Text();
    void missingFile();
    void codePageRoundTrip();
};

namespace {
const char *const Fixture =
    "; a comment line without an equals sign is ignored\r\n"
    "orphan=before any section\r\n"
    "[Text]\r\n"
    "NoAck = Nessuna risposta  \r\n"
    "noack=second occurrence\r\n"
    "Quoted=\"  kept blanks  \"\r\n"
    "Single='x'\r\n"
    "Unbalanced=\"x'\r\n"
    "Equals=a=b=c\r\n"
    "Empty=\r\n"
    "  Spaced Key  =  v  \r\n"
    "Long=0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890\r\n"
    "# OPEN WEBNET #\r\n"
    "[ light ]\r\n"
    "0#=spento\n"
    "[text]\r\n"
    "Late=the second [text] section is not read\r\n";
} // namespace

void TestIniReader::rules_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed") << "text" << "NoAck" << "Nessuna risposta";
    QTest::newRow("names ignore case, first key counts") << "TEXT" << "NOACK" << "Nessuna risposta";
    QTest::newRow("double quotes stripped") << "text" << "Quoted" << "  kept blanks  ";
    QTest::newRow("single quotes stripped") << "text" << "Single" << "x";
    QTest::newRow("unbalanced quotes kept") << "text" << "Unbalanced" << "\"x'";
    QTest::newRow("value after first equals") << "text" << "Equals" << "a=b=c";
    QTest::newRow("empty value") << "text" << "Empty" << "";
    QTest::newRow("key with inner blank") << "text" << "Spaced Key" << "v";
    QTest::newRow("79 characters") << "text" << "Long"
                                   << "0123456789012345678901234567890123456789012345678901234567890123456789012345678";
    QTest::newRow("section name trimmed, LF ending") << "Light" << "0#" << "spento";
    QTest::newRow("first section counts") << "text" << "Late" << "";
    QTest::newRow("key before any section") << "" << "orphan" << "";
    QTest::newRow("missing key") << "text" << "nothing" << "";
    QTest::newRow("missing section") << "menu" << "File" << "";
}

void TestIniReader::rules()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TestFolder dir;
    QVERIFY(dir.write(QStringLiteral("t.lng"), QByteArray(Fixture)));
    QCOMPARE(LeggiIni(section, key, dir.filePath(QStringLiteral("t.lng"))), expected);
    QCOMPARE(IniDocument::fromBytes(QByteArray(Fixture)).value(section, key), expected);
}

void TestIniReader::windows1252Text()
{
    TestFolder dir;
    // "°" is 0xB0, "è" 0xE8, "€" 0x80 in Windows-1252; the file is not UTF-8.
    QVERIFY(dir.write(QStringLiteral("t.lng"), QByteArray("[thermo]\r\n1=Temperatura \xB0" "C \xE8 \x80\r\n")));
    QCOMPARE(LeggiIni(QStringLiteral("thermo"), QStringLiteral("1"), dir.filePath(QStringLiteral("t.lng"))),
             QString::fromUtf8("Temperatura °C è €"));

    // Saved as UTF-8 by an editor that marks it: the first section is still found.
    QVERIFY(dir.write(QStringLiteral("bom.lng"), QByteArray("\xEF\xBB\xBF[menu]\r\nFile=Citt\xC3\xA0 \xC2\xB0\r\n")));
    QCOMPARE(LeggiIni(QStringLiteral("menu"), QStringLiteral("File"), dir.filePath(QStringLiteral("bom.lng"))),
             QString::fromUtf8("Città °"));
}

void TestIniReader::missingFile()
{
    TestFolder dir;
    QCOMPARE(LeggiIni(QStringLiteral("text"), QStringLiteral("NoAck"), dir.filePath(QStringLiteral("none.lng"))), QString());
    QVERIFY(!IniDocument(dir.filePath(QStringLiteral("none.lng"))).exists());
}

void TestIniReader::codePageRoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QCOMPARE(Windows1252::encode(Windows1252::decode(all)), all);
    QCOMPARE(Windows1252::encode(QString::fromUtf8("Ω")), QByteArray("?"));

    // A buffer used again holds the new text alone, not the tail of a longer one before it.
    QByteArray reused;
    Windows1252::encode(QString::fromUtf8("Luce 11: accensione per 15 minuti"), reused);
    const char *storage = reused.constData();
    Windows1252::encode(QString::fromUtf8("Luce 2: è"), reused);
    QCOMPARE(reused, QByteArray("Luce 2: \xe8"));
    QCOMPARE(reused.constData(), storage);
}

QTEST_GUILESS_MAIN(TestIniReader)
#include "tst_inireader.moc"
