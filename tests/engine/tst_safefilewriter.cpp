#include "support/NearlyFullFolder.h"
#include "engine/config/SafeFileWriter.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

class TestSafeFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void replacesTheFile();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void unwritablePathIsNamed();
};

void TestSafeFileWriter::replacesTheFile()
{
    TestFolder folder;
    QVERIFY(folder.write(QStringLiteral("log.txt"), QByteArray(5000, 'o')));
    SafeFileWriter writer(folder.filePath(QStringLiteral("log.txt")));
    QVERIFY(writer.write("new\r\n"));
    QCOMPARE(writer.reason(), QString());
    QCOMPARE(folder.read(QStringLiteral("log.txt")), QByteArray("new\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});
}

void TestSafeFileWriter::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<NearlyFullFolder::Kind>("kind");
    QTest::addColumn<int>("size");
    // Under the write buffer the bytes only go out in the final flush, the failure that the
    // commit of the save file overlooks; above it they go out at once.
    for (const auto &[kind, name] : NearlyFullFolder::kinds()) {
        QTest::addRow("%s, buffered", name) << kind << 12000;
        QTest::addRow("%s, unbuffered", name) << kind << 40000;
    }
}

void TestSafeFileWriter::fullDiskKeepsTheOldFile()
{
    QFETCH(NearlyFullFolder::Kind, kind);
    QFETCH(int, size);
    NearlyFullFolder folder(kind);
    if (!folder.isValid())
        QSKIP(qPrintable(folder.whyNot()));
    const QByteArray before(3000, 'o');
    QVERIFY(folder.write(QStringLiteral("log.txt"), before));
    QVERIFY(folder.runOutOfRoom(8192));

    SafeFileWriter writer(folder.filePath(QStringLiteral("log.txt")));
    const bool written = writer.write(QByteArray(size, 'n'));
    folder.makeRoom();
    QVERIFY(!written);
    QCOMPARE(writer.reason(), folder.reason());
    QVERIFY2(writer.errorMessage().contains(QDir::toNativeSeparators(folder.filePath(QStringLiteral("log.txt"))))
                 && writer.errorMessage().endsWith(folder.reason()),
             qPrintable(writer.errorMessage()));
    QCOMPARE(folder.files(), (QMap<QString, QByteArray>{{QStringLiteral("log.txt"), before}}));
}

void TestSafeFileWriter::unwritablePathIsNamed()
{
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("missing/log.txt"));
    SafeFileWriter writer(path);
    QVERIFY(!writer.write("x"));
    QVERIFY(!writer.reason().isEmpty());
    QCOMPARE(writer.errorMessage(), QDir::toNativeSeparators(path) + QStringLiteral(": ") + writer.reason());
}

QTEST_GUILESS_MAIN(TestSafeFileWriter)
#include "tst_safefilewriter.moc"
