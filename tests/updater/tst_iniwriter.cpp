#include "engine/config/IniDocument.h"
#include "updater/IniWriter.h"
#include "support/RecordingMessageBox.h"
#include "support/TestFolder.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

class TestIniWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void edits_data();
    void edits();
    void readerSeesWhatWasWritten();
    void fileKeepsEveryOtherByte();
    void missingFileIsCreated();
    void failureIsShownAndReported();
};

void TestIniWriter::edits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value replaced, key spelling kept")
        << "[a]\r\nKey = old value\r\nz=1\r\n" << "a" << "key" << "[a]\r\nKey =new\r\nz=1\r\n";
    QTest::newRow("names ignore case") << "[Whothermo]\r\n0=x\r\n" << "WHOTHERMO" << "0" << "[Whothermo]\r\n0=new\r\n";
    QTest::newRow("LF line ending kept") << "[a]\nk=1\nm=2\n" << "a" << "k" << "[a]\nk=new\nm=2\n";
    QTest::newRow("key added after the last line of its section, before the blank line")
        << "[dimthermo]\r\n13=t\r\n\r\n[audio]\r\n0=a\r\n" << "DimThermo" << "14"
        << "[dimthermo]\r\n13=t\r\n14=new\r\n\r\n[audio]\r\n0=a\r\n";
    QTest::newRow("key added to a section at the end without a line break")
        << "[a]\r\nk=1" << "a" << "n" << "[a]\r\nk=1\r\nn=new";
    QTest::newRow("key added to an empty section") << "[a]\r\n[b]\r\n" << "a" << "k" << "[a]\r\nk=new\r\n[b]\r\n";
    QTest::newRow("section appended") << "[a]\r\nk=1\r\n" << "DimThermo" << "14"
                                      << "[a]\r\nk=1\r\n[DimThermo]\r\n14=new\r\n";
    QTest::newRow("section appended after a last line without a break")
        << "[a]\r\nk=1" << "b" << "k" << "[a]\r\nk=1\r\n[b]\r\nk=new\r\n";
    QTest::newRow("empty text") << "" << "b" << "k" << "[b]\r\nk=new\r\n";
    QTest::newRow("first of a repeated section is the one written")
        << "[a]\r\nk=1\r\n[a]\r\nk=2\r\n" << "a" << "k" << "[a]\r\nk=new\r\n[a]\r\nk=2\r\n";
    QTest::newRow("key missing from the first of a repeated section goes there")
        << "[a]\r\nx=1\r\n[a]\r\nk=2\r\n" << "a" << "k" << "[a]\r\nx=1\r\nk=new\r\n[a]\r\nk=2\r\n";
    QTest::newRow("same key in another section untouched")
        << "[b]\r\nk=1\r\n[a]\r\nk=2\r\n" << "a" << "k" << "[b]\r\nk=1\r\n[a]\r\nk=new\r\n";
    QTest::newRow("key before any section is no key of the section")
        << "k=0\r\n[a]\r\nj=1\r\n" << "a" << "k" << "k=0\r\n[a]\r\nj=1\r\nk=new\r\n";
    QTest::newRow("key that only starts like the wanted one")
        << "[a]\r\n14x=1\r\n" << "a" << "14" << "[a]\r\n14x=1\r\n14=new\r\n";
}

void TestIniWriter::edits()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(withIniValue(text, section, key, QStringLiteral("new")), expected);
}

void TestIniWriter::readerSeesWhatWasWritten()
{
    TestFolder folder;
    RecordingMessageBox boxes;
    const QString file = folder.filePath(QStringLiteral("x.lng"));
    QVERIFY(folder.write(QStringLiteral("x.lng"), "[text]\r\nA=1\r\n[text]\r\nB=2\r\n"));
    QVERIFY(ScriviIni(QStringLiteral("TEXT"), QStringLiteral("b"), QStringLiteral("zona \\z"), file, boxes));
    QVERIFY(ScriviIni(QStringLiteral("text"), QStringLiteral("A"), QStringLiteral("uno"), file, boxes));
    QVERIFY(ScriviIni(QStringLiteral("Whothermo"), QStringLiteral("0"), QStringLiteral("centrale \\m"), file, boxes));
    const IniDocument doc(file);
    QCOMPARE(doc.value(QStringLiteral("text"), QStringLiteral("B")), QStringLiteral("zona \\z"));
    QCOMPARE(doc.value(QStringLiteral("text"), QStringLiteral("A")), QStringLiteral("uno"));
    QCOMPARE(doc.value(QStringLiteral("whothermo"), QStringLiteral("0")), QStringLiteral("centrale \\m"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestIniWriter::fileKeepsEveryOtherByte()
{
    TestFolder folder;
    RecordingMessageBox boxes;
    // Accented text, a lone LF, trailing blanks and an undefined code-page byte must survive.
    const QByteArray before = "[text]\r\nTitolo=Citt\xE0 \x81  \nNoAck=vecchio\r\n; nota\r\n[dimthermo]\r\n13=t\r\n";
    QVERIFY(folder.write(QStringLiteral("x.lng"), before));
    QVERIFY(ScriviIni(QStringLiteral("dimthermo"), QStringLiteral("14"),
                      QStringLiteral("prevista \\t\u00B0c in zona \\z modo \\m"), folder.filePath(QStringLiteral("x.lng")),
                      boxes));
    QCOMPARE(folder.read(QStringLiteral("x.lng")),
             before + QByteArray("14=prevista \\t\xB0" "c in zona \\z modo \\m\r\n"));
}

void TestIniWriter::missingFileIsCreated()
{
    TestFolder folder;
    RecordingMessageBox boxes;
    QVERIFY(ScriviIni(QStringLiteral("Version"), QStringLiteral("ini"), QStringLiteral("1.0.4"),
                      folder.filePath(QStringLiteral("new.lng")), boxes));
    QCOMPARE(folder.read(QStringLiteral("new.lng")), QByteArray("[Version]\r\nini=1.0.4\r\n"));
}

void TestIniWriter::failureIsShownAndReported()
{
    TestFolder folder;
    RecordingMessageBox boxes;
    // A folder where the file should be: it can be neither read nor replaced.
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("x.lng/inside")));
    QVERIFY(!ScriviIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"),
                       folder.filePath(QStringLiteral("x.lng")), boxes));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.startsWith(QLatin1String("75 ")), qPrintable(boxes.shown[0].text));
    QVERIFY(boxes.shown[0].text.contains(QLatin1String("x.lng")));
    QCOMPARE(boxes.shown[0].title, QStringLiteral("update"));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("x.lng/inside"))).isDir());
}

QTEST_GUILESS_MAIN(TestIniWriter)
#include "tst_iniwriter.moc"
