#include "shell/main/ConsolePane.h"
#include "support/LoopbackClient.h"
#include "ProgramFixture.h"
#include "engine/config/SettingKeys.h"
#include "shell/services/VbColor.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

// The program's own wiring of the remote services: the main window's start-up starts them
// when "wschum" is 1, its lamp follows the client, and closing stops them.
namespace {
struct ProgramUnderTest : ProgramFixture
{
    explicit ProgramUnderTest(bool wschum)
    {
        settings.save(SettingKeys::Agent, QStringLiteral("0"));
        settings.save(SettingKeys::WsChum, wschum ? QStringLiteral("1") : QStringLiteral("0"));
    }
    QColor lamp() const
    {
        return window.findChild<QLabel *>(QStringLiteral("Lchum"))->palette().color(QPalette::WindowText);
    }
};
} // namespace

class TestRemoteAccess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void offByDefault();
    void startedByTheSettingAndStoppedAtClosing();
    void portThatCannotOpenStaysInTheStatusBar();
};

void TestRemoteAccess::offByDefault()
{
    ProgramUnderTest p(false);
    p.start();
    QVERIFY(!p.services.remote.isRunning());
    QVERIFY(!p.services.remote.chum().isListening());
    QCOMPARE(p.lamp(), VbColor::toQColor(0xC0C0C0));
}

void TestRemoteAccess::startedByTheSettingAndStoppedAtClosing()
{
    ProgramUnderTest p(true);
    p.start();
    QVERIFY(p.boxes.shown.isEmpty());
    QVERIFY(p.services.remote.chum().isListening());
    QVERIFY(p.services.remote.policy().isListening());
    QVERIFY(p.services.remote.snapshot()->isListening());
    QCOMPARE(p.lamp(), VbColor::toQColor(ClientLamp::Green));

    LoopbackClient c(p.services.remote.chum().serverPort());
    QTRY_VERIFY(p.services.remote.chum().ClienteConnesso());
    c.send(QByteArray("hello\0", 6));
    QTRY_COMPARE(c.received, QByteArray("ok\0", 3));
    QVERIFY(p.window.Tlog().text().contains(QStringLiteral("chum: hello\r\n")));
    c.socket.disconnectFromHost();
    QTRY_COMPARE(p.lamp(), VbColor::toQColor(ClientLamp::Grey));

    LoopbackClient again(p.services.remote.chum().serverPort());
    QTRY_VERIFY(p.services.remote.chum().ClienteConnesso());
    p.window.requestUnload();
    QTRY_VERIFY(again.closed);
    QVERIFY(!p.services.remote.chum().isListening());
    QVERIFY(!p.services.remote.snapshot()->isListening());
}

void TestRemoteAccess::portThatCannotOpenStaysInTheStatusBar()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost));
    ProgramUnderTest p(true);
    p.services.remote.setPorts({QHostAddress::LocalHost, 0, taken.serverPort(), 0});
    p.start();
    const QString text = QStringLiteral("Remote access: port %1 could not be opened").arg(taken.serverPort());
    QTRY_VERIFY(p.window.statusText().startsWith(text));
    // Why, in the platform's words.
    QVERIFY(!p.window.statusText().endsWith(QStringLiteral("()")));
    QVERIFY(p.window.Tlog().text().contains(text));
    QVERIFY(p.boxes.shown.isEmpty());
    QVERIFY(p.services.remote.chum().isListening());
}

QTEST_MAIN(TestRemoteAccess)
#include "tst_remoteaccess.moc"
