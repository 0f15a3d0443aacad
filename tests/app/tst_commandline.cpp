#include "support/ConsoleRun.h"

#include <QtTest>

// The program's command line answers on a text console: with no display to connect to and no
// platform plugin to load, --help and --version print and exit 0, a mistyped argument says so
// with the usage and exits 2. None of them opens a window.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
};

void TestCommandLine::answersWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The platform plugin asked for; empty: none asked for.
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString none;
    const QString missing = QStringLiteral("no-such-plugin");
    for (const QString &platform : {none, missing}) {
        const QByteArray where = platform.isEmpty() ? ", no platform" : ", missing platform plugin";
        QTest::newRow(QByteArray("--version" + where).constData()) << QStringList{QStringLiteral("--version")} << platform << 0
                                           << QStringLiteral("Ombrix 1.0.4\n") << QString();
        QTest::newRow(QByteArray("--help" + where).constData()) << QStringList{QStringLiteral("--help")} << platform << 0
                                        << QStringLiteral("--program-folder <folder>") << QString();
    }
    // Qt's own options stay for the graphical application, which would take them.
    QTest::newRow("Qt's options around --version")
        << QStringList{QStringLiteral("-reverse"), QStringLiteral("-platform"), missing, QStringLiteral("--version"),
                       QStringLiteral("-qwindowgeometry"), QStringLiteral("10x10")}
        << none << 0 << QStringLiteral("Ombrix 1.0.4\n") << QString();
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << missing << 0 << QStringLiteral("--settings <file>")
                        << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")} << missing << 2 << QString()
                                    << QStringLiteral("Unknown option 'verbose'");
    QTest::newRow("--help-all, which is not ours") << QStringList{QStringLiteral("--help-all")} << missing << 2
                                                   << QString() << QStringLiteral("Unknown option 'help-all'");
    QTest::newRow("option without its value") << QStringList{QStringLiteral("--settings")} << missing << 2 << QString()
                                              << QStringLiteral("Missing value after '--settings'");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("conf.xml")} << missing << 2 << QString()
                                    << QStringLiteral("Unexpected argument: conf.xml");
}

void TestCommandLine::answersWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const ConsoleAnswer answer = runOnConsole(QStringLiteral(OMBRIX_BIN_DIR "/ombrix"), arguments, platform);
    QVERIFY2(answer.finished, "ombrix did not start, or did not answer and exit");
    QCOMPARE(answer.status, QProcess::NormalExit);
    QCOMPARE(answer.code, exitCode);
    if (!out.isEmpty()) {
        QVERIFY2(answer.out.contains(out), qPrintable(answer.out));
        QVERIFY2(answer.err.isEmpty(), qPrintable(answer.err));
    }
    if (!err.isEmpty()) {
        QVERIFY2(answer.err.contains(err), qPrintable(answer.err));
        QVERIFY2(answer.err.contains(QStringLiteral("Usage:")), qPrintable(answer.err));
        QVERIFY(answer.out.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
