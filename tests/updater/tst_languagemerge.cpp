#include "engine/config/IniDocument.h"
#include "updater/LanguageMerge.h"
#include "support/NearlyFullFolder.h"
#include "support/TestFolder.h"
#include "updater/UpdateLog.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

class TestLanguageMerge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void mergedFileExactly();
    void englishEntriesAndLog();
    void textsTheNewFileLacksAreAdded();
    void installedTablesLongerThanNewFile();
    void currentFileOnlyDropsNew();
    void failureKeepsEveryFile_data();
    void failureKeepsEveryFile();
    void earlierBackupsKept_data();
    void earlierBackupsKept();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
};

namespace {

// An installed file of the previous format: its own interface texts and the user's tables.
const QByteArray Installed103 =
    "[menu]\r\nFile=Archivio\r\n[text]\r\nNoAck=Nessuna risposta\r\n[Version]\r\nini=1.0.3\r\n"
    "# OPEN WEBNET #\r\n[light]\r\n0=\\n spenta\r\n1=\\n accesa\r\n"
    "[whothermo]\r\n0=centrale\r\n1=zona\r\n\r\n[dimthermo]\r\n13=misurata \\t\xB0" "c\r\n";

// What a release drops beside it, written with LF line ends as an editor might leave them.
const QByteArray New104 =
    "[menu]\nFile=File\nFind=Cerca\n[text]\nNoAck=Il gateway non risponde\n[Version]\nini=1.0.4\n"
    "# OPEN WEBNET #\n[light]\n0=spento\n";

QString read1252(const TestFolder &folder, const QString &name)
{
    return Windows1252::decode(folder.read(name));
}

} // namespace

void TestLanguageMerge::mergedFileExactly()
{
    TestFolder folder;
    UpdateLog log;
    QVERIFY(folder.write(QStringLiteral("italian.lng"), Installed103));
    QVERIFY(folder.write(QStringLiteral("italian.new"), New104));

    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Merged);

    // The texts the new file lacks follow its own: at the end of [text], and in a [tooltip] of their own.
    QByteArray text, tooltip;
    for (const LanguageLayout::Text &added : LanguageLayout::italian().addedTexts)
        (added.section == QLatin1String("text") ? text : tooltip) += Windows1252::encode(added.key + '=' + added.value + "\r\n");
    QCOMPARE(folder.read(QStringLiteral("italian.lng")),
             QByteArray("[menu]\r\nFile=File\r\nFind=Cerca\r\n[text]\r\nNoAck=Il gateway non risponde\r\n") + text
                 + "[Version]\r\nini=1.0.4\r\n[tooltip]\r\n" + tooltip
                 + QByteArray("# OPEN WEBNET #\r\n[light]\r\n0=\\n spenta\r\n1=\\n accesa\r\n"
                        "[whothermo]\r\n0=centrale \\m\r\n1=zona \\z\r\n\r\n[dimthermo]\r\n13=misurata \\t\xB0" "c\r\n"
                        "14=prevista \\t\xB0" "c in zona \\z modo \\m\r\n\r\n"));
    QCOMPARE(folder.read(QStringLiteral("italian.old")), Installed103);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("italian.new"))));
    QCOMPARE(log.text(), QStringLiteral("Versione attuale lingua ita: 1.0.3\r\n"
                                        "Apertura lingua italiano 1.0.4 ... OK\r\n"
                                        "Apertura lingua italiano 1.0.3 ... OK\r\n"
                                        "Scrittura nuova lingua italiano ... OK\r\n"));
}

void TestLanguageMerge::englishEntriesAndLog()
{
    TestFolder folder;
    UpdateLog log;
    log.setText(QStringLiteral("before"));
    // Tables without the thermoregulation sections: the writer adds them.
    QVERIFY(folder.write(QStringLiteral("english.lng"), "[Version]\r\nini=1.0.2\r\n# OPEN WEBNET #\r\n[light]\r\n0=off\r\n"));
    QVERIFY(folder.write(QStringLiteral("english.new"), "[Version]\r\nini=1.0.4\r\n# OPEN WEBNET #\r\n"));
    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::english(), folder.path(), log, &error), MergeOutcome::Merged);

    const IniDocument merged(folder.filePath(QStringLiteral("english.lng")));
    QCOMPARE(merged.value(QStringLiteral("version"), QStringLiteral("ini")), QStringLiteral("1.0.4"));
    QCOMPARE(merged.value(QStringLiteral("whothermo"), QStringLiteral("0")), QStringLiteral("unit \\m"));
    QCOMPARE(merged.value(QStringLiteral("whothermo"), QStringLiteral("1")), QStringLiteral("zone \\z"));
    QCOMPARE(merged.value(QStringLiteral("dimthermo"), QStringLiteral("14")),
             QStringLiteral("expected \\t\u00B0c on zone \\z mode \\m"));
    QCOMPARE(merged.value(QStringLiteral("light"), QStringLiteral("0")), QStringLiteral("off"));
    QCOMPARE(log.text(), QStringLiteral("before\r\n\r\nVersione lingua eng: 1.0.2\r\n"
                                        "Apertura lingua inglese 1.0.4 ... OK\r\n"
                                        "Apertura lingua inglese 1.0.2 ... OK\r\n"
                                        "Scrittura nuova lingua inglese ... OK\r\n"));
}

// A new file from a release before the camera, alarm, command-box and password texts: the
// merge gives the merged file those texts, above the marker, and keeps the file's own.
void TestLanguageMerge::textsTheNewFileLacksAreAdded()
{
    TestFolder folder;
    UpdateLog log;
    QVERIFY(folder.write(QStringLiteral("italian.lng"), Installed103));
    QVERIFY(folder.write(QStringLiteral("italian.new"),
                         "[text]\r\nCmdWho=Senza WHO\r\n[Version]\r\nini=1.0.4\r\n# OPEN WEBNET #\r\n"));
    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Merged);

    const QString merged = read1252(folder, QStringLiteral("italian.lng"));
    const IniDocument ini = IniDocument::fromBytes(Windows1252::encode(merged));
    QCOMPARE(ini.value(QStringLiteral("text"), QStringLiteral("CmdWho")), QStringLiteral("Senza WHO"));
    QCOMPARE(ini.value(QStringLiteral("text"), QStringLiteral("AlMains")), QStringLiteral("Rete"));
    QCOMPARE(ini.value(QStringLiteral("tooltip"), QStringLiteral("cstop")), QStringLiteral("Ferma"));
    const qsizetype marker = merged.indexOf(LanguageMarker);
    for (const LanguageLayout::Text &added : LanguageLayout::italian().addedTexts) {
        const qsizetype at = merged.indexOf(QStringLiteral("\r\n") + added.key + QLatin1Char('='));
        QVERIFY2(at >= 0 && at < marker, qPrintable(added.key));
    }
    QCOMPARE(ini.value(QStringLiteral("light"), QStringLiteral("0")), QStringLiteral("\\n spenta"));
}

void TestLanguageMerge::installedTablesLongerThanNewFile()
{
    TestFolder folder;
    UpdateLog log;
    QString tables = QStringLiteral("# OPEN WEBNET #\r\n[video]\r\n");
    for (int i = 0; i <= 300; ++i)
        tables += QStringLiteral("%1=telecamera %1 accesa \\n\r\n").arg(i);
    QVERIFY(folder.writeText1252(QStringLiteral("italian.lng"), QStringLiteral("[Version]\r\nini=1.0.3\r\n") + tables));
    QVERIFY(folder.write(QStringLiteral("italian.new"), "[Version]\r\nini=1.0.4\r\n# OPEN WEBNET #\r\n[light]\r\n"));
    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Merged);
    const QString merged = read1252(folder, QStringLiteral("italian.lng"));
    QVERIFY(merged.startsWith(QStringLiteral("[Version]\r\nini=1.0.4\r\n")));
    QVERIFY(merged.mid(merged.indexOf(LanguageMarker)).startsWith(tables));
    QCOMPARE(IniDocument(folder.filePath(QStringLiteral("italian.lng"))).value(QStringLiteral("video"), QStringLiteral("300")),
             QStringLiteral("telecamera 300 accesa \\n"));
}

void TestLanguageMerge::currentFileOnlyDropsNew()
{
    TestFolder folder;
    UpdateLog log;
    const QByteArray current = "[Version]\r\nini = 1.0.4   \r\n# OPEN WEBNET #\r\n";
    QVERIFY(folder.write(QStringLiteral("italian.lng"), current));
    QVERIFY(folder.write(QStringLiteral("italian.new"), New104));
    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::AlreadyCurrent);
    QCOMPARE(log.text(), QStringLiteral("Versione attuale lingua ita: 1.0.4\r\nAggiornamento non necessario"));
    QCOMPARE(folder.read(QStringLiteral("italian.lng")), current);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("italian.new"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("italian.old"))));
}

void TestLanguageMerge::failureKeepsEveryFile_data()
{
    QTest::addColumn<QByteArray>("installed"); // empty: no file
    QTest::addColumn<QByteArray>("fresh");     // empty: no file
    QTest::addColumn<bool>("emptyFiles");       // write the empty ones as empty files instead
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("named"); // the file the error names
    QTest::addColumn<QString>("logTail");

    const QString writing = QStringLiteral("Scrittura nuova lingua italiano ... ");
    const QString lng = QStringLiteral("italian.lng");
    const QString fresh = QStringLiteral("italian.new");
    QTest::newRow("no .new") << Installed103 << QByteArray() << false << 53 << fresh
                             << QStringLiteral("Apertura lingua italiano 1.0.4 ... ");
    QTest::newRow("no .lng") << QByteArray() << New104 << false << 53 << lng
                             << QStringLiteral("Apertura lingua italiano  ... ");
    QTest::newRow("empty .new") << Installed103 << QByteArray() << true << 62 << fresh
                                << QStringLiteral("Apertura lingua italiano 1.0.4 ... ");
    QTest::newRow("no marker in .new") << Installed103 << QByteArray("[Version]\r\nini=1.0.4\r\n[light]\r\n0=spento\r\n")
                                       << false << 5 << fresh << writing;
    QTest::newRow("marker not at the start of a line in .new")
        << Installed103 << QByteArray("[Version]\r\nini=1.0.4\r\n ; # OPEN WEBNET #\r\n") << false << 5 << fresh
        << writing;
    QTest::newRow("nothing above the marker in .new")
        << Installed103 << QByteArray("# OPEN WEBNET #\r\n[light]\r\n") << false << 5 << fresh << writing;
    QTest::newRow("no marker in .lng") << QByteArray("[Version]\r\nini=1.0.3\r\n[light]\r\n0=x\r\n") << New104 << false
                                       << 5 << lng << writing;
}

void TestLanguageMerge::failureKeepsEveryFile()
{
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, fresh);
    QFETCH(bool, emptyFiles);
    QFETCH(int, number);
    QFETCH(QString, named);
    QFETCH(QString, logTail);

    TestFolder folder;
    UpdateLog log;
    if (!installed.isEmpty() || emptyFiles)
        QVERIFY(folder.write(QStringLiteral("italian.lng"), installed));
    if (!fresh.isEmpty() || emptyFiles)
        QVERIFY(folder.write(QStringLiteral("italian.new"), fresh));

    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Failed);
    QCOMPARE(error.number, number);
    QVERIFY2(error.description.contains(named), qPrintable(error.description));
    QVERIFY2(log.text().endsWith(logTail), qPrintable(log.text()));
    // Nothing is lost: the installed file and the new one are as they were.
    QCOMPARE(QFile::exists(folder.filePath(QStringLiteral("italian.lng"))), !installed.isEmpty() || emptyFiles);
    QCOMPARE(folder.read(QStringLiteral("italian.lng")), installed);
    QCOMPARE(QFile::exists(folder.filePath(QStringLiteral("italian.new"))), !fresh.isEmpty() || emptyFiles);
    QCOMPARE(folder.read(QStringLiteral("italian.new")), fresh);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("italian.old"))));
}

void TestLanguageMerge::earlierBackupsKept_data()
{
    QTest::addColumn<QStringList>("earlier"); // backups a former run left
    QTest::addColumn<bool>("sameBytes");      // the last of them holds the installed file already
    QTest::addColumn<QString>("backup");      // where the installed file is kept; empty: no new file

    QTest::newRow("first backup") << QStringList() << false << "italian.old";
    QTest::newRow("an earlier backup stays") << QStringList{QStringLiteral("italian.old")} << false << "italian.2.old";
    QTest::newRow("the next free number")
        << QStringList{QStringLiteral("italian.old"), QStringLiteral("italian.2.old")} << false << "italian.3.old";
    QTest::newRow("already kept") << QStringList{QStringLiteral("italian.old")} << true << QString();
}

void TestLanguageMerge::earlierBackupsKept()
{
    QFETCH(QStringList, earlier);
    QFETCH(bool, sameBytes);
    QFETCH(QString, backup);

    TestFolder folder;
    UpdateLog log;
    QVERIFY(folder.write(QStringLiteral("italian.lng"), Installed103));
    QVERIFY(folder.write(QStringLiteral("italian.new"), New104));
    QStringList expectedFiles{QStringLiteral("italian.lng")};
    for (qsizetype i = 0; i < earlier.size(); ++i) {
        const bool same = sameBytes && i == earlier.size() - 1;
        QVERIFY(folder.write(earlier[i], same ? Installed103 : "[Version]\r\nini=" + QByteArray::number(i) + "\r\n"));
        expectedFiles << earlier[i];
    }
    const QMap<QString, QByteArray> before = [&] {
        QMap<QString, QByteArray> m;
        for (const QString &name : earlier)
            m.insert(name, folder.read(name));
        return m;
    }();

    UpdateError error;
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Merged);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(folder.read(it.key()), it.value());
    if (!backup.isEmpty()) {
        QCOMPARE(folder.read(backup), Installed103);
        expectedFiles << backup;
    }
    expectedFiles.sort();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), expectedFiles);
}

void TestLanguageMerge::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<NearlyFullFolder::Kind>("kind");
    QTest::addColumn<bool>("backupFits");
    for (const auto &[kind, name] : NearlyFullFolder::kinds()) {
        QTest::addRow("%s, no room at all", name) << kind << false;
        QTest::addRow("%s, room for the backup only", name) << kind << true;
    }
}

// A full disk once emptied the installed file and its backup and dropped the new one, while the
// log said the update went well.
void TestLanguageMerge::fullDiskKeepsEveryFile()
{
    QFETCH(NearlyFullFolder::Kind, kind);
    QFETCH(bool, backupFits);
    NearlyFullFolder folder(kind);
    if (!folder.isValid())
        QSKIP(qPrintable(folder.whyNot()));

    QByteArray installed = "[Version]\r\nini=1.0.3\r\n# OPEN WEBNET #\r\n[video]\r\n";
    for (int i = 0; i < 200; ++i)
        installed += QByteArray::number(i) + "=telecamera " + QByteArray::number(i) + " accesa\r\n";
    QByteArray fresh = "[menu]\r\n";
    for (int i = 0; i < 400; ++i)
        fresh += "voce" + QByteArray::number(i) + "=Voce di menu " + QByteArray::number(i) + "\r\n";
    fresh += "[Version]\r\nini=1.0.4\r\n# OPEN WEBNET #\r\n";
    const qint64 room = backupFits ? NearlyFullFolder::blocksFor(installed.size()) : 0;
    QVERIFY(fresh.size() > room); // the merged file is longer still
    QVERIFY(folder.write(QStringLiteral("italian.lng"), installed));
    QVERIFY(folder.write(QStringLiteral("italian.new"), fresh));
    const QMap<QString, QByteArray> before = folder.files();

    UpdateLog log;
    UpdateError error;
    QVERIFY(folder.runOutOfRoom(room));
    const MergeOutcome outcome = MergeLingua(LanguageLayout::italian(), folder.path(), log, &error);
    folder.makeRoom();

    QCOMPARE(outcome, MergeOutcome::Failed);
    QCOMPARE(error.number, 75);
    const QString failed = backupFits ? QStringLiteral("italian.lng") : QStringLiteral("italian.old");
    QVERIFY2(error.description.contains(failed + QStringLiteral(": ") + folder.reason()), qPrintable(error.description));
    QVERIFY2(log.text().endsWith(QStringLiteral("Scrittura nuova lingua italiano ... ")), qPrintable(log.text()));
    QMap<QString, QByteArray> expected = before;
    if (backupFits)
        expected.insert(QStringLiteral("italian.old"), installed);
    QCOMPARE(folder.files(), expected);

    // With room again the same run succeeds, and the backup it left is not taken twice.
    QCOMPARE(MergeLingua(LanguageLayout::italian(), folder.path(), log, &error), MergeOutcome::Merged);
    QCOMPARE(folder.files().keys(), (QStringList{QStringLiteral("italian.lng"), QStringLiteral("italian.old")}));
    QCOMPARE(folder.files().value(QStringLiteral("italian.old")), installed);
}

QTEST_GUILESS_MAIN(TestLanguageMerge)
#include "tst_languagemerge.moc"
