#include "support/TestFolder.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The installed program started twice: one program per settings store. Two starts on the same
// store refuse each other (the second closes and says so on its standard error); a start on a
// store of its own, as the demo makes, runs beside the user's program.
namespace {
class Start
{
public:
    Start(const QString &folder, const QString &settings, const QString &runtimeDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(OMBRIX_BIN_DIR "/ombrix"),
                      {QStringLiteral("--program-folder"), folder, QStringLiteral("--settings"), settings});
    }
    ~Start()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

// A program folder with the shipped files and a settings store that keeps the program off any
// gateway but a closed loopback port.
QString preparedStore(const TestFolder &dir, const QString &name, quint16 closedPort)
{
    const QString file = dir.filePath(name);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(QStringLiteral("[Option]\nGateway=0\nServerIP=127.0.0.1\nServerPORT=%1\nMonitor=0\nAgent=0\nStart_chk=0\n")
                .arg(closedPort)
                .toLatin1());
    return file;
}
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void oneProgramPerSettingsStore();
};

void TestSingleInstance::oneProgramPerSettingsStore()
{
    TestFolder dir;
    for (const char *name : {"italian.lng", "english.lng", "conf.xml"})
        QVERIFY(dir.copyShipped(QString::fromLatin1(name)));
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    // A port that was free a moment ago and that nothing listens on.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QString mine = preparedStore(dir, QStringLiteral("mine.ini"), closedPort);
    const QString demo = preparedStore(dir, QStringLiteral("demo.ini"), closedPort);

    Start first(dir.path(), mine, runtime.path());
    QVERIFY(first.process.waitForStarted());
    QTest::qWait(1500);
    QCOMPARE(first.process.state(), QProcess::Running);

    // The same store: the second start closes itself and says why.
    Start second(dir.path(), mine, runtime.path());
    QVERIFY(second.process.waitForFinished(15000));
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(second.process.readAllStandardError().contains("another Ombrix runs on these settings"),
             "the second start did not say why it closed");

    // Another store: both run.
    Start other(dir.path(), demo, runtime.path());
    QVERIFY(other.process.waitForStarted());
    QTest::qWait(2500);
    QCOMPARE(other.process.state(), QProcess::Running);
    QCOMPARE(first.process.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
