#include "shell/update/FrmUpd.h"
#include "shell/services/HoverLink.h"
#include "engine/model/LanguageTexts.h"
#include "support/LinkRecorders.h"
#include "support/RecordingLinkOpener.h"
#include "support/LoopbackHttpServer.h"
#include "shell/main/ShellOptions.h"
#include "shell/update/StartupUpdateCheck.h"
#include "shell/update/VersionNumber.h"

#include <QEnterEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

LanguageTexts texts(const QString &language = QStringLiteral("english"))
{
    LanguageTexts l;
    l.Lingua = language;
    l.menu.insert(QStringLiteral("Agg"), QStringLiteral("Check for updates"));
    const std::pair<const char *, const char *> t[] = {
        {"UpdChk", "Checking..."},  {"link", "Project web site"}, {"UpdReady", "New version"},
        {"UpdAct", "Installed"},    {"UpdNew", "new"},            {"UpdDwn", "Download:"},
        {"NoUpd", "No update.\r\nAll is well."}, {"UpdErr", "Could not check."}};
    for (const auto &[k, v] : t)
        l.text.insert(QString::fromLatin1(k), QString::fromLatin1(v));
    return l;
}

// A reply server, the texts, the running version; either road is built on it.
struct Setup
{
    explicit Setup(const QString &running)
    {
        options.VersioneCorrente = running;
    }
    LoopbackHttpServer server;
    LanguageTexts lang = texts();
    ShellOptions options;
    RecordingLinkOpener links;
};

template <typename T>
T &child(QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child named %s", name);
    return *found;
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void versionsCompare_data();
    void versionsCompare();
    void startupRoad_data();
    void startupRoad();
    void startupRoadWithoutServer();
    void versionFileIsBounded_data();
    void versionFileIsBounded();
    void windowRoad_data();
    void windowRoad();
    void downloadLinkOpensOnlyWebPages_data();
    void downloadLinkOpensOnlyWebPages();
    void projectPageByLanguage();
    void linksUnderlineWhileHovered();
};

void TestUpdate::versionsCompare_data()
{
    QTest::addColumn<QString>("newest");
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("newer");
    QTest::newRow("next revision") << "1.0.5" << "1.0.4B5" << true;
    QTest::newRow("same") << "1.0.4" << "1.0.4B5" << false;
    QTest::newRow("major beats minor") << "2.0.0" << "1.9.9B5" << true;
    QTest::newRow("older major") << "1.9.9" << "2.0.0B5" << false;
    QTest::newRow("two-digit revision") << "1.0.9" << "1.0.10B5" << false;
    QTest::newRow("minor beats two-digit revision") << "1.1.0" << "1.0.10B5" << true;
    QTest::newRow("beyond 16 bits") << "40.0.0" << "1.0.4B5" << true;
    QTest::newRow("beyond 64 bits") << "1.0.123456789012345678901234567890" << "1.0.4B5" << true;
    QTest::newRow("leading zeros") << "1.0.05" << "1.0.5B5" << false;
    QTest::newRow("not a number") << "abc" << "1.0.4B5" << false;
}

void TestUpdate::versionsCompare()
{
    QFETCH(QString, newest);
    QFETCH(QString, running);
    QFETCH(bool, newer);
    QCOMPARE(VersionNumber::isNewer(newest, running), newer);
}

void TestUpdate::startupRoad_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("balloon");
    QTest::addColumn<int>("httpStatus");
    QTest::newRow("newer") << "1.0.4B5" << QByteArray("1.0.5,https://dl.example.org/1.0.5\r\n") << "New version  1.0.5"
                           << true << 200;
    QTest::newRow("not newer") << "1.0.4B5" << QByteArray("1.0.4,https://dl.example.org/") << "No update. All is well."
                               << false << 200;
    QTest::newRow("2.0.0B5 against 1.9.9") << "2.0.0B5" << QByteArray("1.9.9,x") << "No update. All is well." << false
                                           << 200;
    QTest::newRow("1.0.10B5 against 1.0.9") << "1.0.10B5" << QByteArray("1.0.9,x") << "No update. All is well."
                                            << false << 200;
    QTest::newRow("no comma still compares") << "1.0.4B5" << QByteArray("1.0.5") << "New version  1.0.5" << true << 200;
    QTest::newRow("html page") << "1.0.4B5" << QByteArray("<html><body>404</body></html>") << "Update Error." << false
                               << 200;
    QTest::newRow("two parts") << "1.0.4B5" << QByteArray("1.1,x") << "Update Error." << false << 200;
    QTest::newRow("empty reply") << "1.0.4B5" << QByteArray() << "Update Time out." << false << 200;
    QTest::newRow("server error") << "1.0.4B5" << QByteArray("1.0.5,x") << "Update Error." << false << 404;
}

void TestUpdate::startupRoad()
{
    QFETCH(QString, running);
    QFETCH(QByteArray, reply);
    QFETCH(QString, status);
    QFETCH(bool, balloon);
    QFETCH(int, httpStatus);
    Setup s(running);
    s.server.reply(reply, httpStatus);
    RecordingStatusBar bar;
    const bool closing = false;
    StartupUpdateCheck check(bar, s.lang, s.options, closing);
    check.fetch().setAddress(s.server.url());
    QSignalSpy balloons(&check, &StartupUpdateCheck::newerVersion);

    s.server.setDelayMs(200);
    check.start();
    QCOMPARE(bar.statusText(), QString());
    QTRY_COMPARE(bar.statusText(), QStringLiteral("Checking..."));
    QTRY_COMPARE(bar.statusText(), status);
    QCOMPARE(balloons.size(), balloon ? 1 : 0);
    if (balloon)
        QCOMPARE(balloons.at(0).at(0).toString(), status);
    QCOMPARE(s.server.requests(), 1);
}

void TestUpdate::startupRoadWithoutServer()
{
    // Refused at once, or never answered within the time-out.
    for (const bool silent : {false, true}) {
        Setup s(QStringLiteral("1.0.4B5"));
        s.server.setSilent(silent);
        RecordingStatusBar bar;
        bool closing = false;
        StartupUpdateCheck check(bar, s.lang, s.options, closing);
        check.fetch().setAddress(silent ? s.server.url() : QUrl(QStringLiteral("http://127.0.0.1:1/version.txt")));
        check.fetch().setTimeoutMs(300);
        check.start();
        QTRY_COMPARE_WITH_TIMEOUT(bar.statusText(), QStringLiteral("Update Time out."), 5000);
    }
}

void TestUpdate::versionFileIsBounded_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("noLength");
    QTest::addColumn<int>("trickleMs");
    QTest::addColumn<bool>("endlessHead");
    QTest::addColumn<QString>("status");
    // A valid version file padded to a size: only the size decides.
    const auto padded = [](qsizetype size) {
        QByteArray b("1.0.5,https://dl.example.org/");
        return b.append(QByteArray(size - b.size(), ' '));
    };
    const QString newer = QStringLiteral("New version  1.0.5");
    const QString error = QStringLiteral("Update Error.");
    QTest::newRow("64 KiB") << padded(64 * 1024) << false << 0 << false << newer;
    QTest::newRow("64 KiB + 1 announced") << padded(64 * 1024 + 1) << false << 0 << false << error;
    QTest::newRow("beyond 64 KiB, no length") << padded(200 * 1024) << true << 0 << false << error;
    // Refused at the headers' bound, long before the deadline.
    QTest::newRow("endless header line") << QByteArray() << false << 0 << true << error;
    // The deadline counts from the request, however steadily the bytes come.
    QTest::newRow("trickled past the deadline") << QByteArray("1.0.5,https://dl.example.org/") << false << 50 << false
                                                << QStringLiteral("Update Time out.");
}

void TestUpdate::versionFileIsBounded()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, noLength);
    QFETCH(int, trickleMs);
    QFETCH(bool, endlessHead);
    QFETCH(QString, status);
    Setup s(QStringLiteral("1.0.4B5"));
    s.server.reply(reply);
    s.server.setNoLength(noLength);
    s.server.setTrickleMs(trickleMs);
    s.server.setEndlessHead(endlessHead);
    RecordingStatusBar bar;
    const bool closing = false;
    StartupUpdateCheck check(bar, s.lang, s.options, closing);
    check.fetch().setAddress(s.server.url());
    check.fetch().setTimeoutMs(600);
    check.start();
    QTRY_VERIFY_WITH_TIMEOUT(bar.statusText() != QLatin1String("Checking...") && !bar.statusText().isEmpty(), 5000);
    QCOMPARE(bar.statusText(), status);
}

void TestUpdate::windowRoad_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("link");
    const QString err = QStringLiteral("Could not check.");
    const QString none = QStringLiteral("No update.\r\nAll is well.");
    QTest::newRow("newer") << "1.0.4B5" << QByteArray("1.0.5,https://dl.example.org/1.0.5\r\n,ignored") << false << 0
                           << "New version : 1.0.5\r\nInstalled 1.0.4B5 --> new 1.0.5"
                           << "Download: https://dl.example.org/1.0.5";
    QTest::newRow("not newer") << "1.0.4B5" << QByteArray("1.0.4,https://dl.example.org/") << false << 0 << none
                               << QString();
    QTest::newRow("2.0.0B5 against 1.9.9") << "2.0.0B5" << QByteArray("1.9.9,x") << false << 0 << none << QString();
    QTest::newRow("1.0.10B5 against 1.0.9") << "1.0.10B5" << QByteArray("1.0.9,x") << false << 0 << none
                                            << QString();
    QTest::newRow("no comma") << "1.0.4B5" << QByteArray("1.0.5") << false << 2 << err << QString();
    QTest::newRow("html page") << "1.0.4B5" << QByteArray("<html>1.0.5,x</html>") << false << 2 << err << QString();
    QTest::newRow("empty reply") << "1.0.4B5" << QByteArray() << false << 2 << err << QString();
    QTest::newRow("never answers") << "1.0.4B5" << QByteArray() << true << 2 << err << QString();
}

void TestUpdate::windowRoad()
{
    QFETCH(QString, running);
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    QFETCH(int, picture);
    QFETCH(QString, status);
    QFETCH(QString, link);
    Setup s(running);
    s.server.reply(reply);
    s.server.setSilent(silent);
    s.server.setDelayMs(200);
    FrmUpd w(s.lang, s.options, s.links);
    w.fetch().setAddress(s.server.url());
    w.fetch().setTimeoutMs(300);
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Check for updates"));
    QCOMPARE(child<QLabel>(w, "Lchk").text(), QStringLiteral("Checking..."));
    QCOMPARE(child<HoverLink>(w, "Llink2").text(), QStringLiteral("Project web site"));
    QCOMPARE(w.picture(), 0);
    QTRY_COMPARE(w.picture(), 1);
    QVERIFY(child<QLabel>(w, "Img_agg1").isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(w, "Lchk").text(), status, 5000);
    QCOMPARE(w.picture(), picture);
    QVERIFY(child<QLabel>(w, ("Img_agg" + QByteArray::number(picture)).constData()).isVisible());
    QCOMPARE(child<HoverLink>(w, "Llink").text(), link);
    QCOMPARE(child<HoverLink>(w, "Llink").isEnabled(), !link.isEmpty());
    if (picture == 2)
        QCOMPARE(w.UltimaVersione(), QStringLiteral("ERR"));

    if (QByteArray(QTest::currentDataTag()) != "newer")
        return;
    // Each opening checks again.
    const int asked = s.server.requests();
    w.hide();
    w.show();
    QTRY_COMPARE(s.server.requests(), asked + 1);
}

void TestUpdate::downloadLinkOpensOnlyWebPages_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("opened");
    QTest::newRow("https") << QByteArray("9.0.0,https://dl.example.org/ombrix.deb") << true;
    QTest::newRow("http") << QByteArray("9.0.0,HTTP://dl.example.org/ombrix.deb") << true;
    QTest::newRow("file") << QByteArray("9.0.0,file:///etc/passwd") << false;
    QTest::newRow("program") << QByteArray("9.0.0,/usr/bin/xterm") << false;
    QTest::newRow("other scheme") << QByteArray("9.0.0,javascript:alert(1)") << false;
}

void TestUpdate::downloadLinkOpensOnlyWebPages()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, opened);
    Setup s(QStringLiteral("1.0.4B5"));
    s.server.reply(reply);
    FrmUpd w(s.lang, s.options, s.links);
    w.fetch().setAddress(s.server.url());
    w.show();
    QTRY_VERIFY(child<HoverLink>(w, "Llink").isEnabled());
    // Shown whatever it is, opened only when it is a web page.
    QVERIFY(child<HoverLink>(w, "Llink").text().endsWith(QString::fromLatin1(reply.mid(6))));
    w.Llink_Click();
    QCOMPARE(s.links.opened.size(), opened ? 1 : 0);
}

void TestUpdate::projectPageByLanguage()
{
    QList<QUrl> pages;
    for (const char *language : {"Italian", "english"}) {
        Setup s(QStringLiteral("1.0.4B5"));
        s.lang.Lingua = QString::fromLatin1(language);
        FrmUpd w(s.lang, s.options, s.links);
        w.Llink2_Click();
        QCOMPARE(s.links.opened.size(), 1);
        pages << s.links.opened.first();
    }
    QVERIFY(pages[0].path().contains(QLatin1String("/it")));
    QVERIFY(pages[1].path().contains(QLatin1String("/en")));
}

void TestUpdate::linksUnderlineWhileHovered()
{
    HoverLink link(QStringLiteral("Llink"));
    link.setText(QStringLiteral("Project web site"));
    QCOMPARE(link.accessibleName(), QStringLiteral("Project web site"));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(&link, &enter);
    QVERIFY(link.isUnderlined());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&link, &leave);
    QVERIFY(!link.isUnderlined());
    QSignalSpy clicks(&link, &HoverLink::clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
