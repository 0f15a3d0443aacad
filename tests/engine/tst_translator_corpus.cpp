// Every frame captured on real installations goes through the translator: received frames
// as received, sent frames as echoes. None may crash, and a frame of a known family yields a
// sentence unless it is one of the kinds that cannot be read (named below).
#include "Frame.h"
#include "LanguageLoader.h"
#include "ProgramSettings.h"
#include "TestFolder.h"
#include "TranslatorFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

struct CorpusFrame
{
    bool received;
    QString frame;
};

QList<CorpusFrame> readCorpus()
{
    QList<CorpusFrame> frames;
    QFile file(QStringLiteral(OMBRIX_SOURCE_DIR "/tests/data/bus-traces.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return frames;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (line.size() < 4 || line.startsWith(QLatin1Char('#')))
            continue;
        frames.append({line.startsWith(QLatin1String("rx")), line.mid(3)});
    }
    return frames;
}

// Frames whose translation fails by design: a field that must be a number is not, or a
// number lies beyond its table or array.
const QList<QPair<QRegularExpression, QString>> &unreadable()
{
    static const QList<QPair<QRegularExpression, QString>> kinds = {
        {QRegularExpression(QStringLiteral(R"(^\*#1\*[^*]*\*[^*]*\*[^*]*##$)")), QStringLiteral("dimension reply without a speed field")},
        {QRegularExpression(QStringLiteral(R"(^\*1\*[^*]*\*[1-9]\d{3,}##$)")), QStringLiteral("point address beyond 999")},
        {QRegularExpression(QStringLiteral(R"(^\*1\*(3[3-9]|[4-9]\d|\d{3,})\*)")), QStringLiteral("WHAT beyond the lighting table")},
        {QRegularExpression(QStringLiteral(R"(^\*2\*[^*]*#)")), QStringLiteral("automation WHAT with a parameter")},
        {QRegularExpression(QStringLiteral(R"(^\*4\*[^*]*#)")), QStringLiteral("thermoregulation WHAT with a parameter")},
        {QRegularExpression(QStringLiteral(R"(^\*4\*(10[2-9]|1[1-9]\d|2\d\d|30\d|31[0-5])\*#)")), QStringLiteral("operating mode for a zone written with #")},
        {QRegularExpression(QStringLiteral(R"(^\*4\*(31[6-9]|3[2-9]\d|[4-9]\d\d|\d{4,})\*)")), QStringLiteral("WHAT beyond the thermoregulation table")},
        {QRegularExpression(QStringLiteral(R"(^\*#13\*\*15\*(2[89]|[3-9]\d|\d{3,})##$)")), QStringLiteral("model beyond the model table")},
        {QRegularExpression(QStringLiteral(R"(^\*16\*(10[1-9]|1[1-9]\d|[2-9]\d\d|\d{4,})\*)")), QStringLiteral("WHAT beyond the sound table")},
    };
    return kinds;
}

QString unreadableKind(const QString &frame)
{
    for (const auto &k : unreadable()) {
        if (k.first.match(frame).hasMatch())
            return k.second;
    }
    return {};
}

} // namespace

class TestTranslatorCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        corpus = readCorpus();
        QVERIFY2(corpus.size() > 4000, "the corpus is missing");
    }

    void everyFrameWithFixtureLanguage();
    void everyFrameWithShippedLanguage_data();
    void everyFrameWithShippedLanguage();

private:
    // Returns how many lines carried a sentence; records every frame that broke a rule.
    int translateAll(TranslatorFixture &f, QStringList &failures) const;

    QList<CorpusFrame> corpus;
};

void TestTranslatorCorpus::everyFrameWithFixtureLanguage()
{
    TranslatorFixture f;
    QStringList failures;
    const int sentences = translateAll(f, failures);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(sentences > 2000);
}

void TestTranslatorCorpus::everyFrameWithShippedLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("italian") << "italian";
    QTest::newRow("english") << "english";
}

void TestTranslatorCorpus::everyFrameWithShippedLanguage()
{
    QFETCH(QString, language);
    TestFolder folder;
    QVERIFY(folder.copyShipped(language + QStringLiteral(".lng")));
    ProgramSettings settings(folder.settingsFile());
    TranslatorFixture f;
    f.state.lang = LanguageTexts{};
    LanguageLoader(f.state.lang, settings, f.messages, folder.path()).CaricaLingua(language);
    QVERIFY(f.messages.shown.isEmpty()); // the shipped file is of the current version
    QVERIFY(!f.state.lang.t(QStringLiteral("ErrTrad")).isEmpty());

    QStringList failures;
    const int sentences = translateAll(f, failures);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(sentences > 2000);
}

int TestTranslatorCorpus::translateAll(TranslatorFixture &f, QStringList &failures) const
{
    const QString errTrad = f.state.lang.t(QStringLiteral("ErrTrad"));
    f.state.filters.Who.fill(1);
    f.state.filters.WhoA.fill(1);
    f.display.connected = true;
    int sentences = 0;
    for (const CorpusFrame &c : corpus) {
        RecordingLogPane &pane = c.received ? f.Tlog : f.TlogC;
        pane.clear();
        if (c.received) {
            QString frames = c.frame;
            f.translator.Traduci(frames, pane);
            if (!frames.isEmpty())
                failures << QStringLiteral("not emptied: ") + c.frame;
        } else {
            f.translator.TraduciEco(c.frame, pane);
        }
        const QStringList lines = pane.lines();
        if (lines.size() != 1) {
            failures << QStringLiteral("%1 lines: %2").arg(lines.size()).arg(c.frame);
            continue;
        }
        const bool error = lines[0] == TranslatorFixture::line(errTrad, c.frame);
        if (error && unreadableKind(c.frame).isEmpty())
            failures << QStringLiteral("ErrTrad: ") + c.frame;
        if (!error && !unreadableKind(c.frame).isEmpty() && c.received)
            failures << QStringLiteral("expected unreadable (%1): %2").arg(unreadableKind(c.frame), c.frame);
        if (lines[0].endsWith(QLatin1Char(')')))
            ++sentences;
    }
    if (!f.messages.shown.isEmpty())
        failures << QStringLiteral("output error: ") + f.messages.texts().join(QStringLiteral(", "));
    failures.removeDuplicates();
    return sentences;
}

QTEST_GUILESS_MAIN(TestTranslatorCorpus)
#include "tst_translator_corpus.moc"
