// Lighting and automation frames: sentences, icons, point state, display-client pushes.
#include "support/TranslatorFixture.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

class TestTranslatorLighting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void sentences_data();
    void sentences();
    void pointState_data();
    void pointState();
    void displayClient_data();
    void displayClient();

private:
    std::unique_ptr<TranslatorFixture> f;
};

void TestTranslatorLighting::init()
{
    f = std::make_unique<TranslatorFixture>();
    auto &d = f->state.model.Dispositivi;
    d[11] = {QStringLiteral("Kitchen"), false, 0, QStringLiteral("light"), 0, 9};
    d[12] = {QStringLiteral(u"Caff\u00e8"), false, 0, QStringLiteral("light"), 0, 9};
    d[21] = {QString(), false, 0, QStringLiteral("shutter"), 0, 9};
    // A name holding placeholders shows the order of the replacements.
    d[13] = {QStringLiteral("N\\c\\v"), false, 0, QStringLiteral("light"), 0, 9};
    d[7].state = 9;
    d[22].state = 9;
    f->state.model.Gruppi[3] = QStringLiteral("Hall");
    f->state.filters.Who.fill(1);
}

void TestTranslatorLighting::sentences_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("sentence"); // empty: a raw line and no notice
    QTest::addColumn<int>("icon");

    QTest::newRow("on, named point") << "*1*1*11##" << "L1[Kitchen|cat0|\\v]" << 2;
    QTest::newRow("off") << "*1*0*11##" << "L0[Kitchen|cat0|\\v]" << 1;
    QTest::newRow("entry from WHAT") << "*1*12*11##" << "L12[Kitchen|cat0|\\v]" << 2;
    QTest::newRow("beyond [light]") << "*1*40*11##" << "ERR" << 0;
    QTest::newRow("33 is beyond, not the text of 31") << "*1*33*11##" << "ERR" << 0;
    QTest::newRow("down one level: its own text, after the ramps") << "*1*31*11##" << "L33[Kitchen|cat0|\\v]" << 2;
    QTest::newRow("32 is no command: raw, not a ramp text") << "*1*32*11##" << "" << 2;
    QTest::newRow("unconfigured point: two digits, no icon") << "*1*1*7##" << "L1[07|cat0|\\v]" << 0;
    QTest::newRow("with parameter, on") << "*1*1#30*11##" << "L32[Kitchen|cat0|30]" << 2;
    QTest::newRow("with parameter, off") << "*1*0#30*11##" << "L31[Kitchen|cat0|30]" << 1;
    QTest::newRow("ramp without speed: plain on") << "*1*1#*11##" << "L1[Kitchen|cat0|\\v]" << 2;
    QTest::newRow("relayed: the command after 1000#") << "*1*1000#1*16##" << "L1[16|cat0|\\v]" << 0;
    QTest::newRow("relayed off, configured point") << "*1*1000#0*11##" << "L0[Kitchen|cat0|\\v]" << 1;
    QTest::newRow("relayed down one level") << "*1*1000#31*11##" << "L33[Kitchen|cat0|\\v]" << 2;
    QTest::newRow("relayed with a parameter") << "*1*1000#0#30*11##" << "L31[Kitchen|cat0|30]" << 1;
    QTest::newRow("named group: category removed") << "*1*1*#3##" << "L1[Hall||\\v]" << 2;
    QTest::newRow("unnamed group: number and category") << "*1*0*#4##" << "L0[4|cat1|\\v]" << 1;
    QTest::newRow("group beyond the named ones") << "*1*1*#12##" << "L1[12|cat1|\\v]" << 2;
    QTest::newRow("group with parameter") << "*1*1#30*#3##" << "L32[Hall||30]" << 2;
    QTest::newRow("group on a local bus") << "*1*1*#3#4#01##" << "L1[Hall||\\v]" << 2;
    QTest::newRow("group not a number") << "*1*1*#x##" << "ERR" << 0;
    QTest::newRow("point on a local bus: no group") << "*1*0*21#4#02##" << "L0[21#4#02|cat0|\\v]" << 0;
    QTest::newRow("local bus point with parameter") << "*1*1#30*11#4#02##" << "L32[11#4#02|cat0|30]" << 0;
    QTest::newRow("local bus point, WHAT beyond [light]") << "*1*40*11#4#02##" << "ERR" << 0;

    QTest::newRow("order: name, then category") << "*1*1*13##" << "L1[Ncat0\\v|cat0|\\v]" << 2;
    QTest::newRow("order: name, category, value") << "*1*1#30*13##" << "L32[Ncat030|cat0|30]" << 2;
    QTest::newRow("order at level 200: category, name, value") << "*#1*13*1*200*5##" << "L32[N\\c5|cat0|5]" << 0;
    QTest::newRow("order at other levels: name, category, value") << "*#1*13*1*150*5##" << "L5[Ncat05|cat0|5]" << 0;
    QTest::newRow("level 200: full") << "*#1*11*1*200*5##" << "L32[Kitchen|cat0|5]" << 0;
    QTest::newRow("level 100: off") << "*#1*11*1*100*5##" << "L31[Kitchen|cat0|5]" << 0;
    QTest::newRow("level 150: dimmer 50 %") << "*#1*11*1*150*0##" << "L5[Kitchen|cat0|0]" << 0;
    QTest::newRow("level 101: lowest dimmer step") << "*#1*11*1*101*0##" << "L2[Kitchen|cat0|0]" << 0;
    QTest::newRow("level 195: dimmer 100 %, speed without #") << "*#1*11*1*195*#3##" << "L10[Kitchen|cat0|3]" << 0;
    QTest::newRow("level write form") << "*#1*11*#1*150*0##" << "L5[Kitchen|cat0|0]" << 0;
    QTest::newRow("level 100 without speed: plain off") << "*#1*11*1*100*##" << "L0[Kitchen|cat0|]" << 0;
    QTest::newRow("level 200 without speed: plain on") << "*#1*11*1*200*##" << "L1[Kitchen|cat0|]" << 0;
    QTest::newRow("timer dimension: raw") << "*#1*43*2*0*0*0##" << "" << 0;
    QTest::newRow("status dimension: raw") << "*#1*14*13*2*130*5*0##" << "" << 0;
    QTest::newRow("level of a point on another bus") << "*#1*11#4#01*1*200*3##" << "L32[11#4#01|cat0|3]" << 0;
    QTest::newRow("level of an unnamed group") << "*#1*#1*1*200*3##" << "L32[1|cat1|3]" << 0;
    QTest::newRow("level of a named group") << "*#1*#3*1*150*0##" << "L5[Hall||0]" << 0;
    QTest::newRow("no speed field") << "*#1*11*1*150##" << "ERR" << 0;

    QTest::newRow("automation up, configured") << "*2*1*21##" << "A1[21|cat2]" << 4;
    QTest::newRow("automation stop") << "*2*0*21##" << "A0[21|cat2]" << 3;
    QTest::newRow("automation unconfigured") << "*2*2*22##" << "A2[22|cat2]" << 0;
    QTest::newRow("automation group: number, not name") << "*2*1*#3##" << "A1[3|cat3]" << 4;
    QTest::newRow("automation group stop") << "*2*0*#3##" << "A0[3|cat3]" << 3;
    QTest::newRow("automation on a local bus") << "*2*1*21#4#02##" << "A1[21#4#02|cat2]" << 0;
    QTest::newRow("automation beyond table") << "*2*5*21##" << "ERR" << 0;
    QTest::newRow("automation relayed") << "*2*1000#2*21##" << "A2[21|cat2]" << 4;
    QTest::newRow("automation WHAT not a number") << "*2*1000#12#100#001#1*03##" << "ERR" << 0;
}

void TestTranslatorLighting::sentences()
{
    QFETCH(QString, frame);
    QFETCH(QString, sentence);
    QFETCH(int, icon);
    f->checkSentence(frame, sentence, icon);
}

void TestTranslatorLighting::pointState_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("state");
    QTest::newRow("light on") << "*1*1*11##" << 11 << 1;
    QTest::newRow("light off") << "*1*0*11##" << 11 << 0;
    QTest::newRow("timed on is on") << "*1*12*11##" << 11 << 1;
    QTest::newRow("parameter off") << "*1*0#30*11##" << 11 << 0;
    QTest::newRow("relayed off") << "*1*1000#0*11##" << 11 << 0;
    QTest::newRow("unconfigured light untouched") << "*1*1*7##" << 7 << 9;
    QTest::newRow("group leaves points") << "*1*0*#3##" << 3 << 0;
    QTest::newRow("shutter keeps WHAT") << "*2*2*21##" << 21 << 2;
    QTest::newRow("shutter stop") << "*2*0*21##" << 21 << 0;
    QTest::newRow("unconfigured shutter untouched") << "*2*1*22##" << 22 << 9;
    QTest::newRow("local bus point is not the point") << "*1*1*11#4#02##" << 11 << 9;
    QTest::newRow("local bus shutter is not the point") << "*2*2*21#4#02##" << 21 << 9;
    QTest::newRow("dimension writes no state") << "*#1*11*1*100*5##" << 11 << 9;
}

void TestTranslatorLighting::pointState()
{
    QFETCH(QString, frame);
    QFETCH(int, point);
    QFETCH(int, state);
    f->monitor(frame);
    QCOMPARE(int(f->state.model.Dispositivi[std::size_t(point)].state), state);
}

void TestTranslatorLighting::displayClient_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("point command") << "*1*1*11##" << true << QByteArray("L1[Kitchen|cat0|\\v]").append('\0');
    QTest::newRow("in the ANSI code page") << "*1*0*12##" << true << QByteArray("L0[Caff\xe8|cat0|\\v]").append('\0');
    QTest::newRow("no client") << "*1*1*11##" << false << QByteArray();
    QTest::newRow("group") << "*1*1*#3##" << true << QByteArray();
    QTest::newRow("local bus point") << "*1*1*11#4#02##" << true << QByteArray();
    QTest::newRow("with parameter") << "*1*1#30*11##" << true << QByteArray();
    QTest::newRow("relayed: the command itself follows") << "*1*1000#1*11##" << true << QByteArray();
    QTest::newRow("no text") << "*1*32*11##" << true << QByteArray();
    QTest::newRow("dimension") << "*#1*11*1*200*5##" << true << QByteArray();
    QTest::newRow("automation") << "*2*1*21##" << true << QByteArray();
    QTest::newRow("translation error") << "*1*40*11##" << true << QByteArray();
}

void TestTranslatorLighting::displayClient()
{
    QFETCH(QString, frame);
    QFETCH(bool, connected);
    QFETCH(QByteArray, written);
    f->display.connected = connected;
    f->monitor(frame);
    QCOMPARE(f->display.writes, written.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{written});
}

QTEST_GUILESS_MAIN(TestTranslatorLighting)
#include "tst_translator_lighting.moc"
