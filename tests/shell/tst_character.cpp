#include "shell/character/CharacterFile.h"
#include "shell/character/CharacterWindow.h"
#include "engine/model/EngineState.h"
#include "support/FakeSpeechEngine.h"
#include "support/FakeVoices.h"
#include "engine/translator/FrameTranslator.h"
#include "support/LinkRecorders.h"
#include "engine/translator/OutputError.h"
#include "shell/character/QtSpeechEngine.h"
#include "support/RecordingDisplayClient.h"
#include "support/RecordingLogPane.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingNotice.h"
#include "support/RecordingWindowRegistry.h"
#include "shell/main/ShellOptions.h"
#include "shell/character/SpeakingCharacter.h"
#include "support/TestFolder.h"
#include "support/TranslatorFixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include "shell/notice/NoticeCorner.h"

#include <QtTest>

namespace {

// The shipped character with a fake voice, "hlet" as given.
struct Character
{
    explicit Character(const QString &hlet = QStringLiteral("0"))
    {
        options.DirWindows = TestFolder::shippedDataPath(QStringLiteral("characters"));
        options.OpzHlet = hlet;
        character.attach(options, QStringLiteral("italian"));
        character.setRequestCompleteHandler([this](int id) { completed << id; });
    }
    bool load() { return character.load(QStringLiteral("Civetta")); }
    FakeSpeechEngine &voice() { return *voices.last; }
    // The hide animation has run to its end and the window has left the screen.
    bool goneFromScreen() const { return !character.window()->isVisible(); }

    ShellOptions options;
    FakeVoices voices;
    SpeakingCharacter character{voices.factory()};
    QList<int> completed;
};

QByteArray manifest(const char *animations)
{
    return QByteArray(R"({"size": [40, 50], "pictures": "pics", "animations": {)") + animations + "}}";
}

} // namespace

class TestCharacter : public QObject
{
    Q_OBJECT

private slots:
    void shippedCharacterLoadsAtLowerRight();
    void loadFails_data();
    void loadFails();
    void hidesOnlyAfterLastSentence_data();
    void hidesOnlyAfterLastSentence();
    void translatorBurstPlaysReadOnce();
    void releasedTwoAndAHalfSecondsAfterLastSentence();
    void completionAfterReleaseDoesNothing();
    void stopDropsEveryRequest();
    void backlogKeepsTheNewest_data();
    void backlogKeepsTheNewest();
    void desktopVoiceNeverHoldsTheQueue();
};

void TestCharacter::shippedCharacterLoadsAtLowerRight()
{
    Character c;
    QVERIFY(c.load());
    QVERIFY(c.character.AgentCaricato());
    QCOMPARE(c.voices.languages, QStringList{QStringLiteral("italian")});
    QCOMPARE(CharacterFile::names(c.options.DirWindows), QStringList{QStringLiteral("Civetta")});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(c.character.Left() + c.character.Width(), screen.right() + 1);
    // Above the notice's place in that corner (itself above the task bar), so neither hides
    // the other.
    const QRect notice = NoticeCorner::defaultRect();
    QCOMPARE(c.character.Top() + c.character.Height(), std::min(screen.bottom() + 1 - 30, notice.top()));
    QVERIFY(!c.character.window()->geometry().intersects(notice));
    // Loaded is not shown: start-up decides by "hlet".
    QVERIFY(!c.character.window()->isVisible());
    c.character.Show();
    QVERIFY(c.character.window()->isVisible());
    QVERIFY(c.character.window()->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(c.character.window()->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    QCOMPARE(c.character.window()->animation(), QStringLiteral("Show"));
    QTRY_COMPARE(c.character.window()->animation(), QStringLiteral("Idle"));
}

void TestCharacter::loadFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("manifest");
    QTest::addColumn<bool>("voice");
    const QByteArray complete = manifest(R"("Idle": {"frames": ["a.svg"]}, "Show": {"frames": ["a.svg"]},
                                            "Hide": {"frames": ["a.svg"]}, "Read": {"frames": ["a.svg"]})");
    QTest::newRow("empty setting") << QString() << complete << true;
    QTest::newRow("no such file") << QStringLiteral("Nobody") << complete << true;
    QTest::newRow("name leaves the folder") << QStringLiteral("../Test") << complete << true;
    QTest::newRow("no voice on this desktop") << QStringLiteral("Test") << complete << false;
    QTest::newRow("not a manifest") << QStringLiteral("Test") << QByteArray("[1, 2") << true;
    QTest::newRow("without Read") << QStringLiteral("Test")
                                  << manifest(R"("Idle": {"frames": ["a.svg"]}, "Show": {"frames": ["a.svg"]},
                                                 "Hide": {"frames": ["a.svg"]})")
                                  << true;
    QTest::newRow("frame picture missing")
        << QStringLiteral("Test")
        << manifest(R"("Idle": {"frames": ["a.svg"]}, "Show": {"frames": ["gone.svg"]},
                       "Hide": {"frames": ["a.svg"]}, "Read": {"frames": ["a.svg"]})")
        << true;
}

void TestCharacter::loadFails()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, manifest);
    QFETCH(bool, voice);
    TestFolder dir;
    QDir(dir.path()).mkpath(QStringLiteral("chars/pics"));
    dir.write(QStringLiteral("chars/pics/a.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'/>");
    dir.write(QStringLiteral("chars/Test.chr"), manifest);
    dir.write(QStringLiteral("Test.chr"), manifest);
    Character c;
    c.options.DirWindows = dir.filePath(QStringLiteral("chars"));
    c.voices.available = voice;

    QVERIFY(!c.character.load(name));
    QVERIFY(!c.character.isLoaded());
    QVERIFY(!c.character.AgentCaricato());
    QVERIFY_THROWS_EXCEPTION(OutputError, c.character.Speak(QStringLiteral("luce accesa")));
}

void TestCharacter::hidesOnlyAfterLastSentence_data()
{
    QTest::addColumn<QString>("hlet");
    QTest::addColumn<bool>("hides");
    QTest::newRow("hlet 1") << QStringLiteral("1") << true;
    QTest::newRow("hlet 0") << QStringLiteral("0") << false;
    QTest::newRow("hlet empty") << QString() << false;
}

void TestCharacter::hidesOnlyAfterLastSentence()
{
    QFETCH(QString, hlet);
    QFETCH(bool, hides);
    Character c(hlet);
    QVERIFY(c.load());
    c.character.Show();
    const int first = c.character.Speak(QStringLiteral("luce cucina accesa"));
    const int second = c.character.Speak(QStringLiteral("luce cucina spenta"));
    QVERIFY(first != second);
    QCOMPARE(c.character.UltimaRichiesta(), second);
    // One sentence at a time, in order, each shown in the balloon while it is spoken.
    QCOMPARE(c.voice().said, QStringList{QStringLiteral("luce cucina accesa")});
    QCOMPARE(c.character.window()->balloon(), QStringLiteral("luce cucina accesa"));

    c.voice().finishSentence();
    QCOMPARE(c.completed, QList<int>{first});
    QVERIFY(c.character.isShown());
    QCOMPARE(c.voice().said.last(), QStringLiteral("luce cucina spenta"));

    c.voice().finishSentence();
    QCOMPARE(c.completed, (QList<int>{first, second}));
    QCOMPARE(c.character.isShown(), !hides);
    // The sentence stays readable a moment longer than the voice took.
    QCOMPARE(c.character.window()->balloon(), QStringLiteral("luce cucina spenta"));
    QTRY_VERIFY(c.character.window()->balloon().isEmpty());
    if (hides)
        QTRY_VERIFY(c.goneFromScreen());
    else
        QVERIFY(c.character.window()->isVisible());
    // Hidden or not, the character stays loaded.
    QVERIFY(c.character.AgentCaricato());
    QVERIFY(!c.character.Tagoff().isActive());
}

void TestCharacter::translatorBurstPlaysReadOnce()
{
    EngineState state;
    fillLanguageFixture(state.lang);
    state.filters.Who[0] = 1;
    state.filters.WhoA[0] = 1;
    RecordingNotice notice;
    RecordingWindowRegistry windows;
    RecordingDisplayClient display;
    RecordingStatusBar status;
    RecordingMessageBox messages;
    RecordingLogPane tlog(QStringLiteral("Tlog"));
    Character c(QStringLiteral("1"));
    QVERIFY(c.load());
    FrameTranslator translator(state, {notice, c.character, windows, display, status, messages});
    QSignalSpy started(c.character.window(), &CharacterWindow::animationStarted);

    QString frames = QStringLiteral("*1*1*11##*1*0*11##");
    translator.Traduci(frames, tlog);
    QCOMPARE(messages.shown.size(), 0);
    QCOMPARE(c.voice().said.size(), 1);
    QVERIFY(c.character.window()->isVisible());
    int reads = 0;
    for (const QList<QVariant> &s : started)
        reads += s.at(0).toString() == QLatin1String("Read");
    QCOMPARE(reads, 1);

    c.voice().finishSentence();
    QVERIFY(c.character.isShown());
    c.voice().finishSentence();
    QCOMPARE(c.voice().said.size(), 2);
    QVERIFY(!c.character.isShown());
}

void TestCharacter::releasedTwoAndAHalfSecondsAfterLastSentence()
{
    Character c(QStringLiteral("1"));
    QVERIFY(c.load());
    c.character.Show();
    c.character.Speak(QStringLiteral("allarme inserito"));
    // The user has chosen no character while it was still speaking.
    c.character.setAgentCaricato(false);
    QVERIFY(!c.character.AgentCaricato());
    c.voice().finishSentence();
    QVERIFY(!c.character.isShown());
    QVERIFY(c.character.Tagoff().isActive());
    QCOMPARE(c.character.Tagoff().interval(), 2500);
    QVERIFY(c.character.isLoaded());
    QTRY_VERIFY_WITH_TIMEOUT(!c.character.isLoaded(), 4000);
    QVERIFY(!c.character.Tagoff().isActive());
    QVERIFY_THROWS_EXCEPTION(OutputError, c.character.Show());
}

void TestCharacter::completionAfterReleaseDoesNothing()
{
    Character c(QStringLiteral("1"));
    QVERIFY(c.load());
    c.character.Show();
    c.character.Speak(QStringLiteral("porta aperta"));
    c.character.release();
    // The voice went with the character, so its sentence can no longer end; a completion
    // event that was already on its way reaches the handler all the same.
    QVERIFY(c.voices.last.isNull());
    c.character.Agent1_RequestComplete(c.character.UltimaRichiesta());
    QVERIFY(c.completed.isEmpty());
    QVERIFY(!c.character.isLoaded());
    QVERIFY(!c.character.Tagoff().isActive());
}

void TestCharacter::stopDropsEveryRequest()
{
    Character c(QStringLiteral("1"));
    QVERIFY(c.load());
    c.character.Show();
    c.character.Speak(QStringLiteral("uno"));
    c.character.Speak(QStringLiteral("due"));
    c.character.Stop();
    QCOMPARE(c.voice().stops, 1);
    c.voice().finishSentence();
    QVERIFY(c.completed.isEmpty());
    QCOMPARE(c.voice().said, QStringList{QStringLiteral("uno")});
    QVERIFY(c.character.isShown());
}

void TestCharacter::backlogKeepsTheNewest_data()
{
    QTest::addColumn<int>("sentences");
    QTest::addColumn<QStringList>("logged");
    const int bound = SpeakingCharacter::MaxWaiting;
    QTest::newRow("within the bound") << 1 + bound << QStringList{};
    QTest::newRow("one over") << 2 + bound
                              << QStringList{QStringLiteral("character: 1 older sentence not spoken, to keep up with the bus")};
    QTest::newRow("a burst") << 100000
                             << QStringList{QStringLiteral("character: %1 older sentences not spoken, to keep up with the bus")
                                                .arg(100000 - 1 - bound)};
}

// A voice slower than the bus: the sentence under way goes on, then the newest ones are
// spoken, and the log says how many were left out.
void TestCharacter::backlogKeepsTheNewest()
{
    QFETCH(int, sentences);
    QFETCH(QStringList, logged);
    Character c(QStringLiteral("1"));
    QStringList log;
    c.character.setLog([&log](const QString &text) { log << text; });
    QVERIFY(c.load());
    c.character.Show();
    int most = 0;
    for (int i = 1; i <= sentences; ++i) {
        c.character.Speak(QStringLiteral("frase %1").arg(i));
        most = std::max(most, c.character.waiting());
    }
    QCOMPARE(most, std::min(sentences - 1, int(SpeakingCharacter::MaxWaiting)));
    QVERIFY(log.isEmpty());

    QStringList expected{QStringLiteral("frase 1")};
    for (int i = std::max(2, sentences - SpeakingCharacter::MaxWaiting + 1); i <= sentences; ++i)
        expected << QStringLiteral("frase %1").arg(i);
    for (int k = 0; k < expected.size(); ++k)
        c.voice().finishSentence();
    QCOMPARE(c.voice().said, expected);
    QCOMPARE(log, logged);
    // The last sentence is among those kept: the character still hides once it is spoken.
    QCOMPARE(c.completed.size(), expected.size());
    QCOMPARE(c.completed.last(), c.character.UltimaRichiesta());
    QVERIFY(!c.character.isShown());
}

void TestCharacter::desktopVoiceNeverHoldsTheQueue()
{
    // The desktop's own engine: whatever the sound output does, each sentence ends.
    std::unique_ptr<QtSpeechEngine> voice = QtSpeechEngine::create(QStringLiteral("english"));
    if (!voice)
        QSKIP("no text-to-speech engine on this machine");
    QSignalSpy finished(voice.get(), &SpeechEngine::finished);
    voice->say(QStringLiteral("the kitchen light is on"));
    QVERIFY(finished.wait(15000));
    QCOMPARE(finished.size(), 1);
}

QTEST_MAIN(TestCharacter)
#include "tst_character.moc"
