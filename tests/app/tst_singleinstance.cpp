#include "app/Program.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>


// The installed program started twice: one program per settings store, however its path is
// written. Two starts on the same store refuse each other (the second closes and says so on its
// standard error); a start on a store of its own, as the demo makes, runs beside the user's
// program.
namespace {
class Start
{
public:
    Start(const QProcessEnvironment &env, const QString &folder, const QString &settings)
    {
        process.setProcessEnvironment(env);
        QStringList arguments{QStringLiteral("--program-folder"), folder};
        // No file named: the user's own store.
        if (!settings.isEmpty())
            arguments << QStringLiteral("--settings") << settings;
        process.start(QStringLiteral(OMBRIX_BIN_DIR "/ombrix"), arguments);
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

// A settings store that keeps the program off any gateway but a closed loopback port.
bool prepareStore(const QString &file, quint16 closedPort)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QStringLiteral("[Option]\nGateway=0\nServerIP=127.0.0.1\nServerPORT=%1\nMonitor=0\nAgent=0\nStart_chk=0\n")
                .arg(closedPort)
                .toLatin1());
    return true;
}

bool touch(const QString &file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    return f.open(QIODevice::WriteOnly);
}

// A folder "real" and a link "link" to it, for paths written as "@/...".
struct LinkedFolders
{
    LinkedFolders()
    {
        QDir(dir.path()).mkpath(QStringLiteral("real"));
        linked = QFile::link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("link")));
    }
    QString path(QString written) const { return written.replace(QLatin1Char('@'), dir.path()); }
    QTemporaryDir dir;
    bool linked = false;
};
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    // The lock names computed here go to a runtime folder of the test's own.
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }
    void oneProgramPerSettingsStore_data();
    void oneProgramPerSettingsStore();
    void lockFollowsTheStoresRealPath_data();
    void lockFollowsTheStoresRealPath();

private:
    QTemporaryDir m_runtime;
};

void TestSingleInstance::oneProgramPerSettingsStore_data()
{
    // "" is the user's own store, "@config" the folder it lives in, "@" the program folder.
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("refused");
    QTest::newRow("the same file") << "@/mine.ini" << "@/mine.ini" << true;
    QTest::newRow("the user's store, then its file by name") << "" << "@config/Ombrix.conf" << true;
    QTest::newRow("the user's store by name, then without a name") << "@config/Ombrix.conf" << "" << true;
    QTest::newRow("the same file, written with . and ..") << "@/mine.ini" << "@/./sub/../mine.ini" << true;
    QTest::newRow("the same file through a linked folder") << "@/link/mine.ini" << "@/mine.ini" << true;
    QTest::newRow("another store") << "@/mine.ini" << "@/demo.ini" << false;
}

void TestSingleInstance::oneProgramPerSettingsStore()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, refused);

    TestFolder dir;
    for (const char *name : {"italian.lng", "english.lng", "conf.xml"})
        QVERIFY(dir.copyShipped(QString::fromLatin1(name)));
    QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("link"))));
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    QTemporaryDir runtime;
    QTemporaryDir home;
    QVERIFY(runtime.isValid() && home.isValid());
    const QString config = home.filePath(QStringLiteral(".config"));
    const auto resolve = [&](QString written) {
        return written.replace(QStringLiteral("@config"), config).replace(QLatin1Char('@'), dir.path());
    };
    // A port that was free a moment ago and that nothing listens on.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    // Every store the rows name exists, so that no start runs on the default gateway address.
    for (const QString &store : {dir.filePath(QStringLiteral("mine.ini")), dir.filePath(QStringLiteral("demo.ini")),
                                 QDir(config).filePath(QStringLiteral("Ombrix.conf"))})
        QVERIFY(prepareStore(store, closedPort));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    const auto locks = [&runtime] { return QDir(runtime.path()).entryList({QStringLiteral("*.lock")}).size(); };

    Start one(env, dir.path(), resolve(first));
    QVERIFY(one.process.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(locks(), 1, 15000);

    Start two(env, dir.path(), resolve(second));
    QVERIFY(two.process.waitForStarted());
    if (refused) {
        QVERIFY(two.process.waitForFinished(15000));
        QCOMPARE(two.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(two.process.exitCode(), 0);
        QVERIFY2(two.process.readAllStandardError().contains("another Ombrix runs on these settings"),
                 "the second start did not say why it closed");
    } else {
        // Holding a lock of its own, it is past the point where a second start closes.
        QTRY_COMPARE_WITH_TIMEOUT(locks(), 2, 15000);
        QCOMPARE(two.process.state(), QProcess::Running);
    }
    QCOMPARE(one.process.state(), QProcess::Running);
}

// A store that does not exist yet gets the lock it will have once its file is there, whichever
// way its path is written. (Checked on the lock's name, not by starting the program: a start on
// a store without a file would run on the default gateway address.)
void TestSingleInstance::lockFollowsTheStoresRealPath_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("direct");
    QTest::addColumn<QString>("appears");
    QTest::newRow("a new file in a linked folder") << "@/link/new.ini" << "@/real/new.ini" << "@/real/new.ini";
    QTest::newRow("a new folder in a linked folder") << "@/link/sub/new.ini" << "@/real/sub/new.ini"
                                                     << "@/real/sub/new.ini";
    QTest::newRow("a link to a file not there yet") << "@/store.ini" << "@/real/target.ini" << "@/real/target.ini";
    QTest::newRow("written with . and ..") << "@/real/./sub/../new.ini" << "@/real/new.ini" << "@/real/new.ini";
}

void TestSingleInstance::lockFollowsTheStoresRealPath()
{
    QFETCH(QString, written);
    QFETCH(QString, direct);
    QFETCH(QString, appears);
    LinkedFolders folders;
    QVERIFY(folders.linked);
    QVERIFY(QFile::link(folders.path(QStringLiteral("@/real/target.ini")), folders.path(QStringLiteral("@/store.ini"))));

    const QString before = Program::lockFileFor(folders.path(written));
    QCOMPARE(Program::lockFileFor(folders.path(direct)), before);
    QVERIFY(touch(folders.path(appears)));
    QCOMPARE(Program::lockFileFor(folders.path(written)), before);
    QCOMPARE(Program::lockFileFor(folders.path(direct)), before);
    QVERIFY(Program::lockFileFor(folders.path(QStringLiteral("@/real/other.ini"))) != before);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
