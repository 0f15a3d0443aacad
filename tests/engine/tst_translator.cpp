// The translator's dispatch and output stage: chunks, filters, notices, speech, log lines,
// error policies, echoes, Dove and FormAperto.
#include "engine/config/ProgramIdentity.h"
#include "engine/translator/TranslationTables.h"
#include "support/TranslatorFixture.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>
#include <stdexcept>

using F = TranslatorFixture;

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        f = std::make_unique<TranslatorFixture>();
        f->state.model.Dispositivi[11] = {QStringLiteral("Kitchen"), false, 0, QStringLiteral("light"), 0, 0};
    }

    void chunks_data();
    void chunks();
    void framesEmptied_data();
    void framesEmptied();
    void notices_data();
    void notices();
    void oneNoticePerFilteredChunk();
    void speechText_data();
    void speechText();
    void readPlaysOncePerBurst();
    void logFilterKeepsState();
    void caretFollowsUnlessFindPanelOpen();
    void translationErrorDoesNotStopChunk_data();
    void translationErrorDoesNotStopChunk();
    void familyPushFailureIsTranslationError_data();
    void familyPushFailureIsTranslationError();
    void outputErrorEndsCall_data();
    void outputErrorEndsCall();
    void echoes_data();
    void echoes();
    void echoChangesNothing();
    void dove_data();
    void dove();
    void doveOutOfRange_data();
    void doveOutOfRange();
    void formAperto_data();
    void formAperto();
    void probeOpen_data();
    void probeOpen();
    void placeholders_data();
    void placeholders();
    void keptTextsOutliveLaterFrames();

private:
    std::unique_ptr<TranslatorFixture> f;
};

void TestTranslator::chunks_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<int>("lightingLog");
    QTest::addColumn<QStringList>("lines");
    const QString on = F::line(QStringLiteral("L1[Kitchen|cat0|\\v]"), QStringLiteral("*1*1*11##"));
    const QString off = F::line(QStringLiteral("L0[Kitchen|cat0|\\v]"), QStringLiteral("*1*0*11##"));
    QTest::newRow("two frames in order") << "*1*1*11##*1*0*11##" << 1 << QStringList{on, off};
    QTest::newRow("unterminated rest dropped") << "*1*1*11##*1*0" << 1 << QStringList{on};
    QTest::newRow("no terminator: nothing") << "*1*1*11" << 1 << QStringList{};
    QTest::newRow("empty chunk") << "" << 1 << QStringList{};
    QTest::newRow("ack piece raw") << "*1*1*11##*#*1##" << 1 << QStringList{on, F::raw(QStringLiteral("*#*1##"))};
    QTest::newRow("ack piece ignores filters") << "*1*1*11##*#*0##" << 0 << QStringList{F::raw(QStringLiteral("*#*0##"))};
    QTest::newRow("no family: raw, unfiltered") << "*6*0*4000##*1001*9#18236904*0##" << 0
                                                << QStringList{F::raw(QStringLiteral("*6*0*4000##")),
                                                               F::raw(QStringLiteral("*1001*9#18236904*0##"))};
    QTest::newRow("status form of a group: raw") << "*#9##*#5##" << 1
                                                 << QStringList{F::raw(QStringLiteral("*#9##")), F::raw(QStringLiteral("*#5##"))};
    QTest::newRow("empty pieces: raw") << "####" << 1 << QStringList{F::raw(QStringLiteral("##")), F::raw(QStringLiteral("##"))};
    // The log filter's group is the WHO with every "#" dropped.
    QTest::newRow("dimension form filtered with its group") << "*#1*11*1*150##" << 0 << QStringList{};
    QTest::newRow("# inside the WHO dropped") << "*1#*1*11##" << 0 << QStringList{};
    QTest::newRow("11 is no group") << "*#1#1*1##" << 0 << QStringList{F::raw(QStringLiteral("*#1#1*1##"))};
    QTest::newRow("three digits are no group") << "*1#13*1##" << 0 << QStringList{F::raw(QStringLiteral("*1#13*1##"))};
    const QString nulWho = QStringLiteral("*") + QChar(0) + QStringLiteral("1*1*11##");
    QTest::newRow("a NUL before the WHO makes no WHO") << nulWho << 0 << QStringList{F::raw(nulWho)};
    QTest::newRow("13 without # is no WHO, but a group") << "*13*0*0##" << 1 << QStringList{F::raw(QStringLiteral("*13*0*0##"))};
    QTest::newRow("third # starts the next piece") << "*6*0*4000###*6*1*4000##" << 1
                                                   << QStringList{F::raw(QStringLiteral("*6*0*4000##")),
                                                                  F::raw(QStringLiteral("#*6*1*4000##"))};
}

void TestTranslator::chunks()
{
    QFETCH(QString, chunk);
    QFETCH(int, lightingLog);
    QFETCH(QStringList, lines);
    f->state.filters.WhoL[0] = lightingLog;
    QCOMPARE(f->monitor(chunk), lines);
    if (chunk.startsWith(QLatin1String("*1*1*11##*1*0*11")))
        QCOMPARE(f->state.model.Dispositivi[11].state, quint8(0));
}

void TestTranslator::framesEmptied_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<bool>("statusRequest");
    QTest::addColumn<QString>("left");
    QTest::newRow("translated") << "*1*1*11##" << false << "";
    QTest::newRow("raw line") << "*6*0*4000##" << false << "";
    QTest::newRow("no frame") << "*1*1*11" << false << "*1*1*11";
    QTest::newRow("held back") << "*9*1*3##" << true << "*9*1*3##";
    QTest::newRow("held back then logged") << "*9*1*3##*1*1*11##" << true << "";
}

void TestTranslator::framesEmptied()
{
    QFETCH(QString, chunk);
    QFETCH(bool, statusRequest);
    QFETCH(QString, left);
    f->state.live.RichiestaStato = statusRequest;
    QString frames = chunk;
    f->translator.Traduci(frames, f->Tlog);
    QCOMPARE(frames, left);
}

void TestTranslator::notices_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<int>("who");
    QTest::addColumn<int>("whoA");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("notices");
    QTest::addColumn<QStringList>("character");
    const QStringList speaks{QStringLiteral("Show"), QStringLiteral("Play Read"), QStringLiteral("Speak l1[kitchen|cat0|\\v]")};
    QTest::newRow("monitor, notice and speech") << "Tlog" << 1 << 1 << true << 1 << speaks;
    QTest::newRow("command pane: line only") << "TlogC" << 1 << 1 << true << 0 << QStringList{};
    QTest::newRow("speech without notice: neither") << "Tlog" << 0 << 1 << true << 0 << QStringList{};
    QTest::newRow("notice without speech") << "Tlog" << 1 << 0 << true << 1 << QStringList{};
    QTest::newRow("no character loaded") << "Tlog" << 1 << 1 << false << 1 << QStringList{};
}

void TestTranslator::notices()
{
    QFETCH(QString, pane);
    QFETCH(int, who);
    QFETCH(int, whoA);
    QFETCH(bool, loaded);
    QFETCH(int, notices);
    QFETCH(QStringList, character);
    f->state.filters.Who[0] = who;
    f->state.filters.WhoA[0] = whoA;
    f->character.loaded = loaded;
    const QStringList lines = pane == QLatin1String("Tlog") ? f->monitor(QStringLiteral("*1*1*11##"))
                                                            : f->command(QStringLiteral("*1*1*11##"));
    QCOMPARE(lines, QStringList{F::line(QStringLiteral("L1[Kitchen|cat0|\\v]"), QStringLiteral("*1*1*11##"))});
    QCOMPARE(f->notice.shown.size(), notices);
    if (notices) {
        const auto &n = f->notice.shown.first();
        QCOMPARE(n.text, QStringLiteral("L1[Kitchen|cat0|\\v]"));
        QCOMPARE(n.detail, QStringLiteral("*1*1*11##"));
        QCOMPARE(n.durationMs, 5000);
        QCOMPARE(n.icon, 2);
    }
    QCOMPARE(f->character.calls, character);
    if (!character.isEmpty())
        QCOMPARE(f->translator.UltimaRichiesta(), f->character.lastRequest);
}

void TestTranslator::oneNoticePerFilteredChunk()
{
    f->state.filters.Who[0] = 1;
    f->state.filters.Who[1] = 0;
    const QStringList lines = f->monitor(QStringLiteral("*1*1*11##*2*1*21##"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(f->notice.shown.size(), 1);
}

void TestTranslator::speechText_data()
{
    QTest::addColumn<QString>("word"); // the [text] "Degrees" text
    QTest::addColumn<QString>("sentence"); // [dimthermo] 0
    QTest::addColumn<QString>("spoken");
    const QString latin1 = QStringLiteral(u"Zona \\z: \\t\u00b0C, \u00c8 Letta \\t\u00b0c");
    QTest::newRow("word of the language file")
        << "degrees" << latin1 << QStringLiteral(u"zona 5: 21.5 degrees, \u00e8 letta 21.5 degrees");
    QTest::newRow("older file without it")
        << "" << latin1 << QStringLiteral(u"zona 5: 21.5 gradi, \u00e8 letta 21.5 gradi");
    QTest::newRow("Latin-1 capitals, and signs that are none")
        << "" << QStringLiteral(u"\\z: AZ\u00c0\u00de \u00d7\u00df@[ \\t\u00b0C")
        << QStringLiteral(u"5: az\u00e0\u00fe \u00d7\u00df@[ 21.5 gradi");
    QTest::newRow("beyond Latin-1")
        << "stopni" << QStringLiteral(u"Strefa \\z: \u0141AZIENKA \\t\u00b0C \u00d7 \u00de\u00df")
        << QStringLiteral(u"strefa 5: \u0142azienka 21.5 stopni \u00d7 \u00fe\u00df");
}

void TestTranslator::speechText()
{
    QFETCH(QString, word);
    QFETCH(QString, sentence);
    QFETCH(QString, spoken);
    f->state.filters.Who[3] = 1;
    f->state.filters.WhoA[3] = 1;
    f->state.lang.degreesWord = word;
    f->state.lang.dimthermo[0] = sentence;
    f->monitor(QStringLiteral("*#4*5*0*0215##"));
    QCOMPARE(f->character.spoken(), QStringList{spoken});
    // The log keeps the sentence as written.
    QString written = sentence;
    written.replace(QStringLiteral("\\z"), QStringLiteral("5")).replace(QStringLiteral("\\t"), QStringLiteral("21.5"));
    QCOMPARE(f->lastSentence(), written);
}

void TestTranslator::readPlaysOncePerBurst()
{
    f->state.filters.Who[0] = 1;
    f->state.filters.WhoA[0] = 1;
    f->monitor(QStringLiteral("*1*1*11##*1*0*11##"));
    QCOMPARE(f->character.calls,
             (QStringList{QStringLiteral("Show"), QStringLiteral("Play Read"), QStringLiteral("Speak l1[kitchen|cat0|\\v]"),
                          QStringLiteral("Show"), QStringLiteral("Speak l0[kitchen|cat0|\\v]")}));
    QVERIFY(f->translator.InLettura());
    QVERIFY(f->translator.Tread().isActive());
    QCOMPARE(f->translator.Tread().interval(), 3000);

    // A sentence a second later restarts the 3 s, so the pose is kept for the whole burst.
    QTest::qWait(1000);
    f->monitor(QStringLiteral("*1*1*11##"));
    QVERIFY(f->translator.Tread().remainingTime() > 2500);
    QCOMPARE(f->character.calls.count(QStringLiteral("Play Read")), 1);

    QTRY_VERIFY_WITH_TIMEOUT(!f->translator.InLettura(), 5000);
    f->character.calls.clear();
    f->monitor(QStringLiteral("*1*0*11##"));
    QCOMPARE(f->character.calls.count(QStringLiteral("Play Read")), 1);
}

void TestTranslator::logFilterKeepsState()
{
    f->state.filters.WhoL[3] = 0;
    f->state.live.UltimoMessaggio = QStringLiteral("before");
    f->windows.openProbe(5);
    QCOMPARE(f->monitor(QStringLiteral("*#4*5*0*0215##")), QStringList{});
    QCOMPARE(f->state.live.TempSonde[5], QStringLiteral("21.5"));
    QCOMPARE(f->windows.pushes, QStringList{QStringLiteral("Temperatura(5,21.5)")});
    QCOMPARE(f->state.live.UltimoMessaggio, QStringLiteral("before"));

    f->monitor(QStringLiteral("*1*1*11##*6*0*4000##"));
    QCOMPARE(f->state.live.UltimoMessaggio, QStringLiteral("*6*0*4000##"));
    QCOMPARE(f->state.live.OraUltimoMessaggio, QTime(12, 34, 56));
    f->monitor(QStringLiteral("*1*1*11##"));
    QCOMPARE(f->state.live.UltimoMessaggio, QStringLiteral("L1[Kitchen|cat0|\\v]"));
}

void TestTranslator::caretFollowsUnlessFindPanelOpen()
{
    f->monitor(QStringLiteral("*1*1*11##"));
    QCOMPARE(f->Tlog.caret, int(f->Tlog.text().size()));
    const int before = f->Tlog.caret;
    f->Tlog.findPanelOpen = true;
    QString frames = QStringLiteral("*1*0*11##");
    f->translator.Traduci(frames, f->Tlog);
    QCOMPARE(f->Tlog.lines().size(), 2);
    QCOMPARE(f->Tlog.caret, before);
}

void TestTranslator::translationErrorDoesNotStopChunk_data()
{
    QTest::addColumn<QString>("bad");
    QTest::addColumn<int>("icon");
    QTest::newRow("entry beyond [light]") << "*1*40*11##" << 0;
    QTest::newRow("missing field") << "*1*1##" << 0;
    QTest::newRow("point beyond 999") << "*1*1*1000##" << 0;
    QTest::newRow("WHAT not a number") << "*1*x*11##" << 0;
    QTest::newRow("icon set before the error stays") << "*3*1*-1##" << 6;
    QTest::newRow("alarm icon stays") << "*5*40*1##" << 10;
}

void TestTranslator::translationErrorDoesNotStopChunk()
{
    QFETCH(QString, bad);
    QFETCH(int, icon);
    f->state.filters.Who.fill(1);
    const QStringList lines = f->monitor(bad + QStringLiteral("*1*1*11##"));
    QCOMPARE(lines, (QStringList{F::line(QStringLiteral("ERR"), bad),
                                 F::line(QStringLiteral("L1[Kitchen|cat0|\\v]"), QStringLiteral("*1*1*11##"))}));
    QCOMPARE(f->notice.shown.size(), 2);
    QCOMPARE(f->notice.shown.first().text, QStringLiteral("ERR"));
    QCOMPARE(f->notice.shown.first().icon, icon);
    QCOMPARE(f->state.model.Dispositivi[11].state, quint8(1));
}

void TestTranslator::familyPushFailureIsTranslationError_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("window");
    QTest::newRow("display client") << "*1*1*11##" << "";
    QTest::newRow("meter window") << "*#3*10*1*230##" << "FrmVolt";
    QTest::newRow("auxiliary window") << "*9*1*3##" << "FrmAux";
}

void TestTranslator::familyPushFailureIsTranslationError()
{
    QFETCH(QString, frame);
    QFETCH(QString, window);
    f->display.connected = true;
    f->display.fail = true;
    if (!window.isEmpty())
        f->windows.open(window);
    f->windows.failPushes = true;
    const QStringList lines = f->monitor(frame + QStringLiteral("*6*0*4000##"));
    QCOMPARE(lines, (QStringList{F::line(QStringLiteral("ERR"), frame), F::raw(QStringLiteral("*6*0*4000##"))}));
    QVERIFY(f->messages.shown.isEmpty());
}

void TestTranslator::outputErrorEndsCall_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("state");
    // The first frame is a raw line, the second fails its output, the third would turn the point off.
    QTest::newRow("notice") << "notice" << "7 - notice refused" << 1;
    QTest::newRow("character") << "character" << "91 - no character" << 1;
    QTest::newRow("pane") << "pane" << "5 - pane refused" << 0;
}

void TestTranslator::outputErrorEndsCall()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    QFETCH(int, state);
    f->state.filters.Who[0] = 1;
    f->state.filters.WhoA[0] = 1;
    if (failing == QLatin1String("notice"))
        f->notice.failNumber = 7;
    else if (failing == QLatin1String("character"))
        f->character.failSpeak = true;
    else
        f->Tlog.refuseNumber = 5;

    QString frames = QStringLiteral("*6*0*4000##*1*1*11##*1*0*11##");
    f->translator.Traduci(frames, f->Tlog);
    QCOMPARE(f->messages.texts(), QStringList{message});
    QCOMPARE(f->messages.shown.first().title, ProgramIdentity::Title);
    if (failing != QLatin1String("pane"))
        QCOMPARE(f->Tlog.lines(), QStringList{F::raw(QStringLiteral("*6*0*4000##"))});
    QCOMPARE(f->state.model.Dispositivi[11].state, quint8(state));
    // Emptied only once a frame has been through the output stage.
    QCOMPARE(frames.isEmpty(), failing != QLatin1String("pane"));
}

void TestTranslator::echoes_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("line");
    QTest::newRow("zone temperature request") << "*#4*5*0##" << F::raw(QStringLiteral("*#4*5*0##"));
    QTest::newRow("meter request") << "*#3*10*1##" << F::raw(QStringLiteral("*#3*10*1##"));
    QTest::newRow("gateway model request") << "*#13**15##" << F::raw(QStringLiteral("*#13**15##"));
    QTest::newRow("light status request") << "*#1*11##" << F::raw(QStringLiteral("*#1*11##"));
    QTest::newRow("light command") << "*1*1*11##" << F::line(QStringLiteral("L1[Kitchen|cat0|\\v]"), QStringLiteral("*1*1*11##"));
    QTest::newRow("aux command") << "*9*1*3##" << F::line(QStringLiteral("X1[3]"), QStringLiteral("*9*1*3##"));
    QTest::newRow("set point write") << "*#4*5*#14*0215*3##"
                                     << F::line(QStringLiteral("D14[21.5|mode3|\\n|\\vc|\\vr|5]"), QStringLiteral("*#4*5*#14*0215*3##"));
}

void TestTranslator::echoes()
{
    QFETCH(QString, frame);
    QFETCH(QString, line);
    f->translator.TraduciEco(frame, f->TlogC);
    QCOMPARE(f->TlogC.lines(), QStringList{line});
}

void TestTranslator::echoChangesNothing()
{
    f->state.filters.Who.fill(1);
    f->state.filters.WhoA.fill(1);
    f->display.connected = true;
    f->windows.openProbe(5);
    f->windows.open(QStringLiteral("FrmAux"));
    f->windows.open(QStringLiteral("FrmWatt"));
    f->state.live.RichiestaStato = true;
    const QString sent = QStringLiteral("*#4*5*0##*#4*5*0*0215##*9*1*9##*1*1*11##*#3*10*3*100##*5*1*0##*#13**15*3##");
    // Echoes normally go to the command pane; on the monitor pane they still raise nothing.
    f->translator.TraduciEco(sent, f->Tlog);

    QCOMPARE(f->Tlog.lines().size(), 7);
    QCOMPARE(f->state.live.TempSonde[5], QString());
    QVERIFY(!f->state.live.StatoAux[9].has_value());
    QVERIFY(f->state.live.RichiestaStato);
    QVERIFY(!f->state.live.AuxLetti);
    QCOMPARE(f->state.model.Dispositivi[11].state, quint8(0));
    QCOMPARE(f->state.live.WattValue, qint16(0));
    QVERIFY(!f->state.live.StatoAllarme[0].has_value());
    QCOMPARE(f->windows.pushes, QStringList{});
    QVERIFY(f->display.writes.isEmpty());
    QCOMPARE(f->statusBar.statusText(), QString());
    QVERIFY(f->notice.shown.isEmpty());
    QVERIFY(f->character.calls.isEmpty());
}

void TestTranslator::dove_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("name");
    QTest::newRow("named point") << "11" << "Kitchen";
    QTest::newRow("unnamed point, two digits") << "7" << "07";
    QTest::newRow("three digits") << "123" << "123";
    QTest::newRow("leading zero") << "011" << "Kitchen";
    QTest::newRow("zero") << "0" << "00";
    QTest::newRow("suffix ignored") << "12#4#01" << "12";
}

void TestTranslator::dove()
{
    QFETCH(QString, where);
    QFETCH(QString, name);
    QCOMPARE(f->translator.Dove(where), name);
}

void TestTranslator::doveOutOfRange_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("1000") << "1000";
    QTest::newRow("negative") << "-1";
    QTest::newRow("beyond any whole number") << "99999999999";
    QTest::newRow("rounds up to 1000") << "999.5";
}

void TestTranslator::doveOutOfRange()
{
    QFETCH(QString, where);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, f->translator.Dove(where));
}

void TestTranslator::formAperto_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("open");
    QTest::newRow("by name") << "" << "FrmWatt" << true;
    QTest::newRow("name is case-sensitive") << "" << "frmwatt" << false;
    QTest::newRow("name not loaded") << "" << "FrmVolt" << false;
    QTest::newRow("by caption") << "FrmProbe5" << "" << true;
    QTest::newRow("caption is exact") << "FrmProbe" << "" << false;
    QTest::newRow("caption wins over name") << "FrmProbe6" << "FrmWatt" << false;
    QTest::newRow("a name is no caption") << "FrmWatt" << "" << false;
}

void TestTranslator::formAperto()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QFETCH(bool, open);
    f->windows.open(QStringLiteral("FrmWatt"), QStringLiteral("Power"));
    f->windows.openProbe(5);
    QCOMPARE(f->windows.FormAperto(caption, name), open);
}

void TestTranslator::probeOpen_data()
{
    QTest::addColumn<qint64>("zone");
    QTest::addColumn<bool>("open");
    QTest::newRow("open") << qint64(5) << true;
    QTest::newRow("a longer caption, a name alone") << qint64(1) << false;
    QTest::newRow("a shorter caption") << qint64(15) << false;
    QTest::newRow("negative") << qint64(-3) << true;
    QTest::newRow("zero: no leading zero, case-sensitive") << qint64(0) << false;
    QTest::newRow("large") << qint64(999999999) << true;
}

// The same answer as FormAperto with the caption written out.
void TestTranslator::probeOpen()
{
    QFETCH(qint64, zone);
    QFETCH(bool, open);
    for (const char *caption : {"FrmProbe5", "FrmProbe12", "FrmProbe-3", "FrmProbe05", "frmprobe0", "FrmProbe999999999"})
        f->windows.open(QStringLiteral("FrmProbe"), QLatin1String(caption));
    f->windows.open(QStringLiteral("FrmProbe1"));
    const QString caption = QStringLiteral("FrmProbe") + QString::number(zone);
    QCOMPARE(f->windows.FormAperto(caption, QString()), open);
    QCOMPARE(f->windows.probeOpen(zone), open);
}

// Sentences are filled in place; the result must be what QString::replace gives, in the
// order the translator fills them.
void TestTranslator::placeholders_data()
{
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("text"); // replaces \n, then "[c]" replaces \c
    QTest::newRow("none") << "Luce accesa" << "11";
    QTest::newRow("each once") << "Luce \\n: \\c" << "11";
    QTest::newRow("twice, at both ends") << "\\n e \\n" << "Sala";
    QTest::newRow("inserted text is not searched again") << "Luce \\n \\c" << "\\n\\c";
    QTest::newRow("empty text") << "\\n\\n\\c" << "";
    QTest::newRow("longer placeholder holds the shorter") << "\\nn \\cv" << "x";
    QTest::newRow("backslash of no placeholder") << "a\\ b\\\\n \\" << "y";
}

void TestTranslator::placeholders()
{
    QFETCH(QString, sentence);
    QFETCH(QString, text);
    QString expected = sentence;
    expected.replace(TranslationTables::Ph::n, text).replace(TranslationTables::Ph::c, QStringLiteral("[c]"));
    const QString frame = text + QStringLiteral("*9");
    TranslationTables::substitute(sentence, TranslationTables::Ph::n, QStringView(frame).first(text.size()));
    TranslationTables::substitute(sentence, TranslationTables::Ph::c, QStringLiteral("[c]"));
    QCOMPARE(sentence, expected);
}

// The translator writes sentences, spoken texts, the last message and zone temperatures into
// storage it reuses frame after frame. What an output kept of one frame, and the language
// table a sentence was filled from, must not change with the next frame.
void TestTranslator::keptTextsOutliveLaterFrames()
{
    f->state.filters.Who.fill(1);
    f->state.filters.WhoA.fill(1);
    const LanguageTexts tables = f->state.lang;

    f->monitor(QStringLiteral("*1*1*11##"));
    const QString last = f->state.live.UltimoMessaggio;
    f->monitor(QStringLiteral("*#4*5*0*0215##"));
    const QString temperature = f->state.live.TempSonde[5];

    // Texts of the same lengths: storage that is written without being detached shows.
    f->monitor(QStringLiteral("*1*0*11##"));
    f->monitor(QStringLiteral("*#4*5*0*0195##"));

    QCOMPARE(f->notice.shown.size(), 4);
    QCOMPARE(f->notice.shown[0].text, QStringLiteral("L1[Kitchen|cat0|\\v]"));
    QCOMPARE(f->notice.shown[1].text, QStringLiteral("D0[21.5|\\m|\\n|\\vc|\\vr|5]"));
    QCOMPARE(f->character.said.first(), QStringLiteral("l1[kitchen|cat0|\\v]"));
    QCOMPARE(last, QStringLiteral("L1[Kitchen|cat0|\\v]"));
    QCOMPARE(temperature, QStringLiteral("21.5"));
    QCOMPARE(f->state.live.TempSonde[5], QStringLiteral("19.5"));
    QCOMPARE(f->state.lang.light, tables.light);
    QCOMPARE(f->state.lang.dimthermo, tables.dimthermo);
    QCOMPARE(f->state.lang.wholight, tables.wholight);
}

QTEST_GUILESS_MAIN(TestTranslator)
#include "tst_translator.moc"
