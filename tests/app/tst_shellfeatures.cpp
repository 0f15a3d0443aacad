#include "app/ProgramOptionsServices.h"
#include "shell/character/CharacterWindow.h"
#include "shell/notice/FrmMsg.h"
#include "shell/notice/FrmPrev.h"
#include "support/FakeSpeechEngine.h"
#include "shell/update/FrmUpd.h"
#include "support/LoopbackHttpServer.h"
#include "ProgramFixture.h"
#include "engine/config/SettingKeys.h"
#include "shell/update/StartupUpdateCheck.h"
#include "support/TestFolder.h"
#include "engine/model/WindowNames.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QDir>
#include <QStandardPaths>
#include <QtTest>

// The character, the update check, the update window and the about box as the program wires
// them to its main window, on the shipped language files and character.
namespace {
struct ProgramUnderTest : ProgramFixture
{
    ProgramUnderTest() : ProgramFixture(With{true, true})
    {
        const QDir shipped(TestFolder::shippedDataPath(QStringLiteral("characters")));
        QDir(dir.path()).mkpath(QStringLiteral("characters/Civetta"));
        dir.copyShipped(QStringLiteral("characters/Civetta.chr"));
        for (const QString &f : QDir(shipped.filePath(QStringLiteral("Civetta"))).entryList(QDir::Files))
            dir.copyShipped(QStringLiteral("characters/Civetta/") + f);
        settings.save(SettingKeys::Monitor, QStringLiteral("0"));
    }
    LoopbackHttpServer server;
};
} // namespace

class TestShellFeatures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void loadAgents_data();
    void loadAgents();
    void closingReleasesTheCharacter();
    void startupCheckReportsANewerVersion();
    void menuEntriesOpenTheWindows();
    void noticePreviewIsModalOverTheOptions();
};

void TestShellFeatures::loadAgents_data()
{
    QTest::addColumn<QString>("agent");
    QTest::addColumn<QString>("hlet");
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("savedAgent");
    QTest::newRow("shipped character") << "Civetta" << "0" << true << true << true << "Civetta";
    QTest::newRow("hidden until it speaks") << "Civetta" << "1" << true << true << false << "Civetta";
    QTest::newRow("no character wanted") << "0" << "0" << true << false << false << "0";
    QTest::newRow("empty setting") << "" << "0" << true << false << false << "";
    QTest::newRow("missing file") << "Nobody" << "0" << true << false << false << "";
    QTest::newRow("no speech engine") << "Civetta" << "0" << false << false << false << "";
}

void TestShellFeatures::loadAgents()
{
    QFETCH(QString, agent);
    QFETCH(QString, hlet);
    QFETCH(bool, voice);
    QFETCH(bool, loaded);
    QFETCH(bool, shown);
    QFETCH(QString, savedAgent);
    ProgramUnderTest p;
    p.settings.save(SettingKeys::Agent, agent);
    p.settings.save(SettingKeys::Hlet, hlet);
    p.voices.available = voice;
    p.start();

    QCOMPARE(p.window.stage(), QStringLiteral("load voice"));
    QVERIFY(p.boxes.shown.isEmpty());
    QCOMPARE(p.window.AgentCaricato(), loaded);
    QCOMPARE(p.services.character.AgentCaricato(), loaded);
    QCOMPARE(p.settings.read(SettingKeys::Agent), savedAgent);
    const bool noAttempt = agent == QLatin1String("0") || agent.isEmpty() || agent == QLatin1String("Nobody");
    QCOMPARE(p.voices.languages.isEmpty(), noAttempt);
    if (loaded) {
        QCOMPARE(p.voices.languages, QStringList{p.state.lang.Lingua});
        QCOMPARE(p.services.character.window()->isVisible(), shown);
    }
}

void TestShellFeatures::closingReleasesTheCharacter()
{
    ProgramUnderTest p;
    p.settings.save(SettingKeys::Agent, QStringLiteral("Civetta"));
    p.start();
    QVERIFY(p.services.character.isLoaded());
    p.services.character.Speak(QStringLiteral("luce accesa"));
    p.window.requestUnload();
    QVERIFY(p.window.ChiusuraAvviata());
    QVERIFY(!p.services.character.isLoaded());
    QVERIFY(p.voices.last.isNull());
}

void TestShellFeatures::startupCheckReportsANewerVersion()
{
    ProgramUnderTest p;
    p.settings.save(SettingKeys::Agent, QStringLiteral("0"));
    p.settings.save(SettingKeys::StartChk, QStringLiteral("1"));
    p.server.reply("99.0.0,https://dl.example.org/\r\n");
    p.services.updateCheck->fetch().setAddress(p.server.url());
    p.start();
    QVERIFY(p.tray.shown);
    const QString expected = p.state.lang.t(QStringLiteral("UpdReady")) + QStringLiteral("  99.0.0");
    QVERIFY(!p.state.lang.t(QStringLiteral("UpdReady")).isEmpty());
    QTRY_COMPARE(p.window.statusText(), expected);
    // The balloon the desktop shows, titled with the program's name whatever the language.
    QCOMPARE(p.tray.balloons.size(), 1);
    QCOMPARE(p.tray.balloons.at(0).title, QStringLiteral("Tervalia"));
    QCOMPARE(p.tray.balloons.at(0).text, expected);
}

void TestShellFeatures::menuEntriesOpenTheWindows()
{
    ProgramUnderTest p;
    p.settings.save(SettingKeys::Agent, QStringLiteral("0"));
    p.start();
    QAction *mAgg = p.window.findChild<QAction *>(QStringLiteral("mAgg"));
    QAction *mAbout = p.window.findChild<QAction *>(QStringLiteral("mAbout"));
    QVERIFY(mAgg->isEnabled());
    QVERIFY(mAbout->isEnabled());

    p.server.setDelayMs(100);
    p.server.reply("1.0.0,https://dl.example.org/");
    mAgg->trigger();
    auto *upd = qobject_cast<FrmUpd *>(p.services.devices.window(WindowNames::FrmUpd));
    QVERIFY(upd);
    // Before its half second is over, the window is pointed at the loopback server.
    upd->fetch().setAddress(p.server.url());
    QVERIFY(upd->isVisible());
    QVERIFY(upd->isModal());
    QCOMPARE(upd->windowTitle(), mAgg->text());
    QTRY_COMPARE(p.server.requests(), 1);
    upd->close();

    mAbout->trigger();
    QWidget *about = p.services.devices.window(WindowNames::FrmAbout);
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->parentWidget(), &p.window);
}

void TestShellFeatures::noticePreviewIsModalOverTheOptions()
{
    ProgramUnderTest p;
    p.settings.save(SettingKeys::Agent, QStringLiteral("0"));
    p.start();
    QVERIFY(p.services.options);
    ProgramOptionsServices &services = *p.services.options;
    // The options dialog as the program shows it: modal, without a nested event loop.
    QDialog options(&p.window);
    options.setWindowModality(Qt::ApplicationModal);
    options.show();

    services.previewNoticePosition(&options);
    QPointer<FrmPrev> preview = options.findChild<FrmPrev *>();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), preview.data());
    services.previewNoticePosition(&options);
    QCOMPARE(options.findChildren<FrmPrev *>().size(), 1);

    // A live notice raised while it is open waits: the preview stays above it and its OK is
    // the preview's.
    p.services.notice.MostraMessaggio(QStringLiteral("live"), QString(), 5000, 0);
    QCoreApplication::processEvents();
    QVERIFY(!p.services.notice.window() || !p.services.notice.window()->isVisible());
    QVERIFY(preview->isVisible());
    auto *ok = preview->findChild<QPushButton *>(QStringLiteral("Cok"));
    QCOMPARE(QApplication::widgetAt(ok->mapToGlobal(ok->rect().center())), ok);

    // Dragged and confirmed with the options still open: the place is stored at once.
    preview->move(40, 30);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(p.settings.read(SettingKeys::MsgPosX), QStringLiteral("600"));
    QCOMPARE(p.settings.read(SettingKeys::MsgPosY), QStringLiteral("450"));
    QCOMPARE(p.window.shellOptions().MsgPosY, 450);
    QVERIFY(options.isVisible());
    QTRY_VERIFY(preview.isNull());
    // Then the notice that waited shows, where the preview left it.
    QTRY_VERIFY(p.services.notice.window() && p.services.notice.window()->isVisible());
    QCOMPARE(p.services.notice.window()->accessibleName(), QStringLiteral("live"));
    services.previewNoticePosition(&options);
    QVERIFY(options.findChild<FrmPrev *>());
}

QTEST_MAIN(TestShellFeatures)
#include "tst_shellfeatures.moc"
