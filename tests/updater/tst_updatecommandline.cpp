#include "support/ConsoleRun.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QtTest>

// The update program rewrites the files beside it as soon as its window runs, so every answer
// on the command line must come before that and leave the folder as it was.
class TestUpdateCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutTouchingAFile_data();
    void answersWithoutTouchingAFile();
};

namespace {

QByteArray languageFile(const char *version)
{
    return QByteArray("[menu]\r\nFile=File\r\n[Version]\r\nini=") + version + "\r\n# OPEN WEBNET #\r\n[light]\r\n0=x\r\n";
}

// Name and bytes of every file in the folder.
QMap<QString, QByteArray> snapshot(const QString &path)
{
    QMap<QString, QByteArray> files;
    const QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    return files;
}

} // namespace

void TestUpdateCommandLine::answersWithoutTouchingAFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("agg.log") << QString();
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << 0 << QStringLiteral("Usage:") << QString();
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0 << QStringLiteral("update 1.0.4\n") << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--force")} << 2 << QString()
                                    << QStringLiteral("Unknown option 'force'");
    QTest::newRow("help after an unknown option") << QStringList{QStringLiteral("--frce"), QStringLiteral("--help")} << 2
                                                  << QString() << QStringLiteral("Usage:");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("conf.xml")} << 2 << QString()
                                    << QStringLiteral("unexpected argument: conf.xml");
}

void TestUpdateCommandLine::answersWithoutTouchingAFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    // A copy of the program in a folder whose every file a run would rewrite or remove.
    TestFolder folder;
    const QString program = folder.filePath(QStringLiteral("update"));
    QVERIFY(QFile::copy(QStringLiteral(OMBRIX_BIN_DIR "/update"), program));
    QVERIFY(folder.write(QStringLiteral("italian.lng"), languageFile("1.0.3")));
    QVERIFY(folder.write(QStringLiteral("italian.new"), languageFile("1.0.4")));
    QVERIFY(folder.write(QStringLiteral("english.lng"), languageFile("1.0.3")));
    QVERIFY(folder.write(QStringLiteral("english.new"), languageFile("1.0.4")));
    QVERIFY(folder.write(QStringLiteral("conf.xml"),
                         "<?xml version=\"1.0\"?>\r\n<ACTUATOR>\r\n<version number=\"1.0.1\"></version>\r\n</ACTUATOR>\r\n"));
    QVERIFY(folder.write(QStringLiteral("agg.log"), "the log of an earlier run\r\n"));
    const QMap<QString, QByteArray> before = snapshot(folder.path());

    // No display at all: a terminal answer must not need one.
    const ConsoleAnswer answer = runOnConsole(program, arguments, QString(), folder.path());
    QVERIFY2(answer.finished, "update did not start, or did not answer and exit");
    QCOMPARE(answer.status, QProcess::NormalExit);
    QCOMPARE(answer.code, exitCode);
    if (!out.isEmpty())
        QVERIFY2(answer.out.contains(out), qPrintable(answer.out));
    if (!err.isEmpty()) {
        QVERIFY2(answer.err.contains(err), qPrintable(answer.err));
        QVERIFY2(answer.err.contains(QStringLiteral("Usage:")), qPrintable(answer.err));
        QVERIFY(answer.out.isEmpty());
    }
    QCOMPARE(snapshot(folder.path()), before);
}

QTEST_GUILESS_MAIN(TestUpdateCommandLine)
#include "tst_updatecommandline.moc"
