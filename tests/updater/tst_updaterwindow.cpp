#include "updater/window/Form1.h"
#include "support/NearlyFullFolder.h"
#include "support/RecordingMessageBox.h"
#include "support/TestFolder.h"
#include "engine/protocol/Windows1252.h"

#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QAccessible>
#include <QtTest>

class TestUpdaterWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void allCurrentRunsClosesAndLogs();
    void completeUpgrade();
    void languageStepFails_data();
    void languageStepFails();
    void confStepFailureStopsTheRun();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
    void barDrains();
};

namespace {

QByteArray languageFile(const char *version, const char *table)
{
    return QByteArray("[menu]\r\nFile=File\r\n[Version]\r\nini=") + version + "\r\n# OPEN WEBNET #\r\n[light]\r\n0="
           + table + "\r\n";
}

QByteArray confFile(const char *version)
{
    return QByteArray("<?xml version=\"1.0\"?>\r\n<ACTUATOR>\r\n<version number=\"") + version
           + "\"></version>\r\n<device point=\"11\" name=\"sala\" type=\"light\" group=\"1\"></device>\r\n</ACTUATOR>\r\n";
}

void writeCurrent(const TestFolder &folder)
{
    QVERIFY(folder.write(QStringLiteral("italian.lng"), languageFile("1.0.4", "spento")));
    QVERIFY(folder.write(QStringLiteral("english.lng"), languageFile("1.0.4", "off")));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), confFile("1.0.4")));
}

void writeOlder(const TestFolder &folder)
{
    QVERIFY(folder.write(QStringLiteral("italian.lng"), languageFile("1.0.3", "spento")));
    QVERIFY(folder.write(QStringLiteral("italian.new"), languageFile("1.0.4", "nuovo")));
    QVERIFY(folder.write(QStringLiteral("english.lng"), languageFile("1.0.3", "off")));
    QVERIFY(folder.write(QStringLiteral("english.new"), languageFile("1.0.4", "new")));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), confFile("1.0.1")));
}

const QString AllCurrentLog = QStringLiteral(
    "Versione attuale lingua ita: 1.0.4\r\nAggiornamento non necessario"
    "\r\n\r\nVersione lingua eng: 1.0.4\r\nAggiornamento non necessario"
    "\r\n\r\nApertura file conf.xml ... \r\n(1.0.4) Aggiornamento non necessario\r\n"
    "\r\nAggiornamento completato.\r\n");

} // namespace

void TestUpdaterWindow::allCurrentRunsClosesAndLogs()
{
    TestFolder folder;
    writeCurrent(folder);
    RecordingMessageBox boxes;
    Form1 form(folder.path(), boxes);
    QCOMPARE(form.windowTitle(), QStringLiteral("Update"));
    QCOMPARE(form.barWidthTwips(), 0);
    QVERIFY(form.tagg().isActive());
    QCOMPARE(form.tagg().interval(), 500);
    form.show();
    // The bar's frame fits the window, centred under the log box.
    const QRect frame = form.findChild<QWidget *>(QStringLiteral("Sh1"))->geometry();
    const QRect logBox = form.findChild<QWidget *>(QStringLiteral("Tlogs"))->geometry();
    QVERIFY(form.rect().contains(frame));
    // The log box takes the focus, so a screen reader must be able to name it.
    QCOMPARE(QAccessible::queryAccessibleInterface(form.findChild<QWidget *>(QStringLiteral("Tlogs")))
                 ->text(QAccessible::Name),
             QStringLiteral("Aggiornamento traduzioni"));
    QVERIFY2(qAbs(frame.center().x() - logBox.center().x()) <= 1, qPrintable(QStringLiteral("bar %1..%2, log %3..%4").arg(frame.left()).arg(frame.right()).arg(logBox.left()).arg(logBox.right())));

    QTRY_VERIFY(form.texit().isActive());
    QVERIFY(!form.tagg().isActive());
    QCOMPARE(form.logText(), AllCurrentLog);
    QCOMPARE(folder.read(QStringLiteral("agg.log")), AllCurrentLog.toLatin1() + "\r\n");
    QCOMPARE(form.texit().interval(), 5000);
    QVERIFY(form.tbar().isActive());
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(form.findChild<QPlainTextEdit *>(QStringLiteral("Tlogs"))->toPlainText().contains(
        QStringLiteral("Aggiornamento non necessario\n\nVersione lingua eng")));

    // How far the bar drained by then depends on the machine's load; barDrains covers the drain.
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 8000);
    QVERIFY(!form.tbar().isActive());
    QVERIFY(!form.texit().isActive());
}

void TestUpdaterWindow::completeUpgrade()
{
    TestFolder folder;
    writeOlder(folder);
    RecordingMessageBox boxes;
    Form1 form(folder.path(), boxes);
    form.Tagg_Timer();

    const QString expected = QStringLiteral(
        "Versione attuale lingua ita: 1.0.3\r\n"
        "Apertura lingua italiano 1.0.4 ... OK\r\nApertura lingua italiano 1.0.3 ... OK\r\n"
        "Scrittura nuova lingua italiano ... OK\r\n"
        "\r\n\r\nVersione lingua eng: 1.0.3\r\n"
        "Apertura lingua inglese 1.0.4 ... OK\r\nApertura lingua inglese 1.0.3 ... OK\r\n"
        "Scrittura nuova lingua inglese ... OK\r\n"
        "\r\n\r\nApertura file conf.xml ... \r\n(1.0.1) aggiornamento : OK\r\nScrittura nuovo xml 1.0.4 ... OK\r\n"
        "\r\nAggiornamento completato.\r\n");
    QCOMPARE(form.logText(), expected);
    QCOMPARE(folder.read(QStringLiteral("agg.log")), expected.toLatin1() + "\r\n");
    QCOMPARE(form.barWidthTwips(), 5170);
    QVERIFY(!form.tagg().isActive());
    for (const char *name : {"italian.new", "english.new"})
        QVERIFY2(!QFile::exists(folder.filePath(QLatin1String(name))), name);
    for (const char *name : {"italian.old", "english.old", "conf.old"})
        QVERIFY2(QFile::exists(folder.filePath(QLatin1String(name))), name);
    const QByteArray italian = folder.read(QStringLiteral("italian.lng"));
    QVERIFY(italian.contains("ini=1.0.4\r\n"));
    QVERIFY(italian.contains("\r\n# OPEN WEBNET #\r\n[light]\r\n0=spento"));
    QVERIFY(folder.read(QStringLiteral("conf.xml")).contains("<version number=\"1.0.4\">"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestUpdaterWindow::languageStepFails_data()
{
    QTest::addColumn<QString>("failing"); // the language whose .new is missing
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("bar");

    const QString italian = QStringLiteral(
        "Aggiornamento lingua italiana fallito,\r\n53 File not found (italian.new)\r\nContinuare con la lingua inglese ?");
    const QString english = QStringLiteral(
        "Aggiornamento lingua inglese fallito,\r\n53 File not found (english.new)\r\nContinuare con il file xml ?");
    QTest::newRow("Italian, No") << "italian" << false << italian << 0;
    QTest::newRow("Italian, Yes") << "italian" << true << italian << 5170;
    QTest::newRow("English, No") << "english" << false << english << Form1::BarAfterItalian;
    QTest::newRow("English, Yes") << "english" << true << english << 5170;
}

void TestUpdaterWindow::languageStepFails()
{
    QFETCH(QString, failing);
    QFETCH(bool, answerYes);
    QFETCH(QString, question);
    QFETCH(int, bar);

    TestFolder folder;
    writeOlder(folder);
    QVERIFY(QFile::remove(folder.filePath(failing + QStringLiteral(".new"))));
    RecordingMessageBox boxes;
    boxes.answerYes = answerYes;
    Form1 form(folder.path(), boxes);
    form.show();
    form.Tagg_Timer();

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, question);
    QCOMPARE(boxes.shown[0].title, QStringLiteral("update"));
    QCOMPARE(boxes.shown[0].icon, MessageBoxService::Icon::Critical);
    QCOMPARE(form.risposta(), answerYes ? QStringLiteral("6") : QStringLiteral("7"));
    QCOMPARE(form.barWidthTwips(), bar);
    // The failed language keeps its installed file.
    QCOMPARE(folder.read(failing + QStringLiteral(".lng")), languageFile("1.0.3", failing == QLatin1String("italian") ? "spento" : "off"));

    const bool migrated = folder.read(QStringLiteral("conf.xml")).contains("\"1.0.4\"");
    // The log keeps the reason the dialog gave.
    const QString failure = QStringLiteral(" ... \r\nERRORE\r\n") + question.section(QStringLiteral("\r\n"), 1, 1)
                            + QStringLiteral("\r\n");
    if (answerYes) {
        QVERIFY2(form.logText().contains(failure), qPrintable(form.logText()));
        QVERIFY(form.logText().endsWith(QStringLiteral("\r\nAggiornamento completato.\r\n")));
        QCOMPARE(folder.read(QStringLiteral("agg.log")), form.logText().toLatin1() + "\r\n");
        QVERIFY(migrated);
        QVERIFY(form.texit().isActive());
    } else {
        QVERIFY2(form.logText().endsWith(failure), qPrintable(form.logText()));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("agg.log"))));
        QVERIFY(!migrated);
        QVERIFY(!form.texit().isActive());
        QVERIFY(form.isVisible());
        if (failing == QLatin1String("italian")) // No ends the run before English
            QVERIFY(QFile::exists(folder.filePath(QStringLiteral("english.new"))));
    }
}

void TestUpdaterWindow::confStepFailureStopsTheRun()
{
    TestFolder folder;
    writeCurrent(folder);
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("conf.xml"))));
    RecordingMessageBox boxes;
    Form1 form(folder.path(), boxes);
    form.show();
    form.Tagg_Timer();
    QVERIFY2(form.logText().endsWith(QStringLiteral("Apertura file conf.xml ... \r\nERRORE\r\n53 File not found (conf.xml)\r\n")),
             qPrintable(form.logText()));
    QVERIFY(!form.logText().contains(QStringLiteral("completato")));
    QCOMPARE(folder.read(QStringLiteral("agg.log")), form.logText().toLatin1() + "\r\n");
    QVERIFY(!form.texit().isActive());
    QVERIFY(boxes.shown.isEmpty());
}

void TestUpdaterWindow::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<NearlyFullFolder::Kind>("kind");
    for (const auto &[kind, name] : NearlyFullFolder::kinds())
        QTest::newRow(name) << kind;
}

// The whole run on a disk with no room left: every step fails and says why, and not one byte
// of the user's files changes.
void TestUpdaterWindow::fullDiskKeepsEveryFile()
{
    QFETCH(NearlyFullFolder::Kind, kind);
    NearlyFullFolder folder(kind);
    if (!folder.isValid())
        QSKIP(qPrintable(folder.whyNot()));
    QVERIFY(folder.write(QStringLiteral("italian.lng"), languageFile("1.0.3", "spento")));
    QVERIFY(folder.write(QStringLiteral("italian.new"), languageFile("1.0.4", "nuovo")));
    QVERIFY(folder.write(QStringLiteral("english.lng"), languageFile("1.0.3", "off")));
    QVERIFY(folder.write(QStringLiteral("english.new"), languageFile("1.0.4", "new")));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), confFile("1.0.1")));
    const QMap<QString, QByteArray> before = folder.files();

    RecordingMessageBox boxes;
    boxes.answerYes = true;
    Form1 form(folder.path(), boxes);
    QVERIFY(folder.runOutOfRoom(0));
    form.Tagg_Timer();
    folder.makeRoom();

    QCOMPARE(folder.files(), before);
    const QStringList asked = boxes.texts();
    QCOMPARE(asked.size(), 2);
    const QString log = form.logText();
    // The language steps ask whether to go on; the other two only log.
    for (const auto &[name, asks] : {std::pair{"italian.old", true}, std::pair{"english.old", true},
                                     std::pair{"conf.old", false}, std::pair{"agg.log", false}}) {
        const QString failure = QStringLiteral("75 Path/File access error (%1: %2)").arg(QLatin1String(name), folder.reason());
        QVERIFY2(log.contains(QStringLiteral("ERRORE\r\n") + failure + QStringLiteral("\r\n")), qPrintable(log));
        QCOMPARE(asked.filter(failure).size(), asks ? 1 : 0);
    }
    QVERIFY(!log.contains(QStringLiteral("completato")));
    QVERIFY(!form.texit().isActive());
}

void TestUpdaterWindow::barDrains()
{
    TestFolder folder;
    writeCurrent(folder);
    RecordingMessageBox boxes;
    Form1 form(folder.path(), boxes);
    form.Tagg_Timer();
    QCOMPARE(form.barWidthTwips(), 5170);
    form.Tbar_Timer();
    QCOMPARE(form.barWidthTwips(), 5040);
    for (int i = 1; i < 39; ++i)
        form.Tbar_Timer();
    QCOMPARE(form.barWidthTwips(), 100); // not above 150: the next tick empties it
    QVERIFY(form.tbar().isActive());
    form.Tbar_Timer();
    QCOMPARE(form.barWidthTwips(), 0);
    QVERIFY(!form.tbar().isActive());
}

QTEST_MAIN(TestUpdaterWindow)
#include "tst_updaterwindow.moc"
