#include "shell/icons/IconLibrary.h"
#include "shell/icons/ImageList.h"
#include "support/PeResourceWriter.h"
#include "support/TestFolder.h"

#include <QStandardPaths>
#include <QtTest>

class TestIconLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void imageSizes_data();
    void imageSizes();
    void selection();
    void counterRunsAcrossLoads();
    void unreadableFileKeepsList_data();
    void unreadableFileKeepsList();
    void decodesColoursAndMask();
};

void TestIconLibrary::imageSizes_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("bytes");
    QTest::newRow("16 px, 4 bits") << 16 << 4 << 296;
    QTest::newRow("32 px, 24 bits") << 32 << 24 << 3240;
    QTest::newRow("48 px, 32 bits") << 48 << 32 << 9640;
    QTest::newRow("32 px, 8 bits") << 32 << 8 << 2216;
    QTest::newRow("24 px, 24 bits: rows padded") << 24 << 24 << 40 + 24 * (72 + 4);
    QTest::newRow("size outside the table") << 64 << 24 << 0;
    QTest::newRow("depth outside the table") << 32 << 16 << 0;
}

void TestIconLibrary::imageSizes()
{
    QFETCH(int, pixels);
    QFETCH(int, bits);
    QFETCH(int, bytes);
    QCOMPARE(IconLibrary::expectedImageSize(pixels, bits), bytes);
    if (bytes > 0)
        QCOMPARE(PeResourceWriter::iconImage(pixels, bits, qRgb(1, 2, 3)).size(), bytes);
}

// Only numeric type-3 entries of 3240 bytes count, in the library's order, and the key
// carries name, counter, size and dimensions.
void TestIconLibrary::selection()
{
    TestFolder dir;
    PeResourceWriter pe;
    pe.addResource(3, 7, PeResourceWriter::iconImage(32, 24, qRgb(200, 0, 0)));
    pe.addResource(3, 8, PeResourceWriter::iconImage(32, 8, qRgb(0, 200, 0)));   // 8 bits: skipped
    pe.addResource(3, 9, PeResourceWriter::iconImage(16, 24, qRgb(0, 0, 200)));  // 16 px: skipped
    pe.addResource(3, 12, PeResourceWriter::iconImage(32, 24, qRgb(0, 0, 200)));
    pe.addNamedResource(3, QStringLiteral("NAMED"), PeResourceWriter::iconImage(32, 24, qRgb(9, 9, 9)));
    pe.addResource(14, 1, PeResourceWriter::iconImage(32, 24, qRgb(9, 9, 9)));   // a group entry
    pe.addResource(2, 5, PeResourceWriter::iconImage(32, 24, qRgb(9, 9, 9)));    // a bitmap
    QVERIFY(dir.write(QStringLiteral("ico.icl"), pe.build()));

    ImageList list = ImageList::builtIn();
    IconLibrary lib;
    QVERIFY(lib.load(dir.filePath(QStringLiteral("ico.icl")), list));
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.key(1), QStringLiteral("#70 3240 32x32"));
    QCOMPARE(list.key(2), QStringLiteral("#121 3240 32x32"));
    QCOMPARE(list.icon(2).pixmap(32, 32).toImage().pixelColor(5, 5), QColor(0, 0, 200));
    QVERIFY(list.icon(3).isNull());
}

void TestIconLibrary::counterRunsAcrossLoads()
{
    TestFolder dir;
    PeResourceWriter pe;
    pe.addResource(3, 1, PeResourceWriter::iconImage(32, 24, qRgb(1, 1, 1)));
    QVERIFY(dir.write(QStringLiteral("ico.icl"), pe.build()));
    ImageList list;
    IconLibrary lib;
    QVERIFY(lib.load(dir.filePath(QStringLiteral("ico.icl")), list));
    QVERIFY(lib.load(dir.filePath(QStringLiteral("ico.icl")), list));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.key(1), QStringLiteral("#11 3240 32x32"));
}

void TestIconLibrary::unreadableFileKeepsList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("not a module") << QByteArray("plain text, not a library");
    QByteArray truncated = [] {
        PeResourceWriter pe;
        pe.addResource(3, 1, PeResourceWriter::iconImage(32, 24, qRgb(1, 1, 1)));
        return pe.build();
    }();
    truncated.truncate(0x180);
    QTest::newRow("cut before its resources") << truncated;
}

void TestIconLibrary::unreadableFileKeepsList()
{
    QFETCH(QByteArray, bytes);
    TestFolder dir;
    if (!bytes.isEmpty())
        QVERIFY(dir.write(QStringLiteral("ico.icl"), bytes));
    ImageList list = ImageList::builtIn();
    const int before = list.count();
    IconLibrary lib;
    QVERIFY(!lib.load(dir.filePath(QStringLiteral("ico.icl")), list));
    QCOMPARE(list.count(), before);
    QVERIFY(!list.icon(1).isNull());
}

void TestIconLibrary::decodesColoursAndMask()
{
    const QImage img = IconLibrary::decodeIconImage(PeResourceWriter::iconImage(32, 24, qRgb(10, 120, 230)));
    QCOMPARE(img.size(), QSize(32, 32));
    QCOMPARE(img.pixelColor(0, 0).alpha(), 0);          // masked out
    QCOMPARE(img.pixelColor(31, 31), QColor(10, 120, 230));
    QVERIFY(IconLibrary::decodeIconImage(QByteArray(3240, '\0')).isNull());
}

QTEST_MAIN(TestIconLibrary)
#include "tst_iconlibrary.moc"
