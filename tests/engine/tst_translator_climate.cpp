// Energy and thermoregulation frames: sentences, readings, zone temperatures and the pushes
// into the meter and probe windows.
#include "support/TranslatorFixture.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

class TestTranslatorClimate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void sentences_data();
    void sentences();
    void meterReadings_data();
    void meterReadings();
    void meterPushes_data();
    void meterPushes();
    void zoneTemperature_data();
    void zoneTemperature();
    void temperatureUsesRegionalSeparator();
    void temperatureFollowsDefaultLocale_data();
    void temperatureFollowsDefaultLocale();
    void probePush_data();
    void probePush();
    void probePushErrorsIgnored();

private:
    std::unique_ptr<TranslatorFixture> f;
};

void TestTranslatorClimate::init()
{
    f = std::make_unique<TranslatorFixture>();
    f->state.model.Carichi[3] = QStringLiteral("Oven");
    // Texts the language file lacks.
    f->state.lang.thermo[104].clear();
    f->state.lang.knobthermo[6].clear();
    f->state.filters.Who.fill(1);
}

void TestTranslatorClimate::sentences_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("sentence"); // empty: a raw line and no notice
    QTest::addColumn<int>("icon");

    QTest::newRow("central unit load") << "*3*1*0##" << "P1[|wp0|\\d]" << 6;
    QTest::newRow("named load") << "*3*1*3##" << "P1[Oven|wp1|\\d]" << 6;
    QTest::newRow("unnamed load") << "*3*1*4##" << "P1[4|wp1|\\d]" << 6;
    QTest::newRow("load with #") << "*3*1*#3##" << "P1[Oven|wp1|\\d]" << 6;
    QTest::newRow("load 10 or more") << "*3*1*12##" << "P1[|wp2|\\d]" << 6;
    QTest::newRow("negative load") << "*3*1*-1##" << "ERR" << 6;
    QTest::newRow("reading texts are no load commands") << "*3*5*3##" << "" << 0;
    QTest::newRow("all readings") << "*#3*10*0*230*5*1150*3000##"
                                  << "P4[\\n|\\c|230].  P5[\\n|\\c|5].  P6[\\n|\\c|1150].  P7[\\n|\\c|3000]." << 0;
    QTest::newRow("voltage") << "*#3*10*1*230##" << "P4[\\n|\\c|230]." << 0;
    QTest::newRow("voltage written with #") << "*#3*10*#1*230##" << "P4[\\n|\\c|230]." << 0;
    QTest::newRow("current") << "*#3*10*2*5##" << "P5[\\n|\\c|5]." << 0;
    QTest::newRow("power") << "*#3*10*3*1150##" << "P6[\\n|\\c|1150]." << 0;
    QTest::newRow("energy") << "*#3*10*4*3000##" << "P7[\\n|\\c|3000]." << 0;
    QTest::newRow("other dimension") << "*#3*10*5*1##" << "" << 0;
    QTest::newRow("not the central unit") << "*#3*11*1*230##" << "" << 0;
    QTest::newRow("power beyond 16 bits") << "*#3*10*3*70000##" << "ERR" << 0;

    QTest::newRow("thermo event") << "*4*1*5##" << "T1[5]" << 8;
    QTest::newRow("cooling mode") << "*4*0*5##" << "T0[5]" << 8;
    QTest::newRow("thermo event, zone as received") << "*4*1*#1##" << "T1[#1]" << 8;
    QTest::newRow("central unit mode") << "*4*103*0##" << "C[T103[\\z]]" << 8;
    QTest::newRow("zone mode") << "*4*103*5##" << "Z[5] T103[5]" << 8;
    QTest::newRow("mode for a zone through the central unit") << "*4*203*#1##" << "Z[#1] T203[#1]" << 8;
    QTest::newRow("mode of the central unit written #0") << "*4*203*#0##" << "C[T203[\\z]]" << 8;
    QTest::newRow("mode without text") << "*4*104*5##" << "" << 0;
    QTest::newRow("mode for a zone that is no number") << "*4*203*#x##" << "ERR" << 8;
    QTest::newRow("beyond [thermo]") << "*4*316*5##" << "ERR" << 8;

    QTest::newRow("measured") << "*#4*5*0*0215##" << "D0[21.5|\\m|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("measured below zero") << "*#4*5*0*1030##" << "D0[-3|\\m|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("measured, whole degrees") << "*#4*5*0*0200##" << "D0[20|\\m|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("no value") << "*#4*5*0##" << "" << 0;
    QTest::newRow("unreadable value") << "*#4*5*0*0x15##" << "" << 0;
    QTest::newRow("set point") << "*#4*5*12*0215*1##" << "D12[21.5|mode1|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("set point, mode beyond [modthermo]: raw") << "*#4*5*12*0215*9##" << "" << 0;
    QTest::newRow("set point write form") << "*#4*5*#14*0215*3##" << "D14[21.5|mode3|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("set point without mode") << "*#4*5*12*0215##" << "" << 0;
    QTest::newRow("knob two digits") << "*#4*5*13*11##" << "D13[\\t|\\m|knob11|\\vc|\\vr|5]" << 8;
    QTest::newRow("knob one digit") << "*#4*5*13*4##" << "D13[\\t|\\m|knob4|\\vc|\\vr|5]" << 8;
    QTest::newRow("knob code without text") << "*#4*5*13*06##" << "" << 0;
    QTest::newRow("expected temperature") << "*#4*5*14*0200*3##" << "D14[20|mode3|\\n|\\vc|\\vr|5]" << 8;
    QTest::newRow("valves") << "*#4*5*19*1*0##" << "D19[\\t|\\m|\\n|valve1|valve0|5]" << 8;
    QTest::newRow("valve beyond the table") << "*#4*5*19*1*10##" << "" << 0;
    QTest::newRow("zone beyond TempSonde") << "*#4*200*0*0215##" << "D0[21.5|\\m|\\n|\\vc|\\vr|200]" << 8;
    QTest::newRow("dimension without text") << "*#4*5*20*1##" << "" << 0;
}

void TestTranslatorClimate::sentences()
{
    QFETCH(QString, frame);
    QFETCH(QString, sentence);
    QFETCH(int, icon);
    f->checkSentence(frame, sentence, icon);
}

void TestTranslatorClimate::meterReadings_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("volt");
    QTest::addColumn<QString>("amp");
    QTest::addColumn<int>("watt");
    QTest::newRow("all readings") << "*#3*10*0*230*5*1150*3000##" << "230" << "5" << 1150;
    QTest::newRow("voltage only") << "*#3*10*1*231##" << "231" << "0" << 0;
    QTest::newRow("current as received") << "*#3*10*2*5.5##" << "0" << "5.5" << 0;
    QTest::newRow("power rounded") << "*#3*10*3*1150.5##" << "0" << "0" << 1150;
    QTest::newRow("overflow keeps the earlier readings") << "*#3*10*0*230*5*70000*1##" << "230" << "5" << 0;
    QTest::newRow("another unit stores nothing") << "*#3*11*1*230##" << "0" << "0" << 0;
    QTest::newRow("energy is not kept") << "*#3*10*4*3000##" << "0" << "0" << 0;
}

void TestTranslatorClimate::meterReadings()
{
    QFETCH(QString, frame);
    QFETCH(QString, volt);
    QFETCH(QString, amp);
    QFETCH(int, watt);
    f->monitor(frame);
    QCOMPARE(f->state.live.VoltValue, volt);
    QCOMPARE(f->state.live.AmpValue, amp);
    QCOMPARE(int(f->state.live.WattValue), watt);
}

void TestTranslatorClimate::meterPushes_data()
{
    QTest::addColumn<QStringList>("open");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QStringList>("pushes");
    const QStringList all{QStringLiteral("FrmVolt"), QStringLiteral("FrmAmp"), QStringLiteral("FrmWatt")};
    QTest::newRow("every window open") << all << "*#3*10*0*230*5*1150*3000##"
                                       << QStringList{QStringLiteral("Volt(230)"), QStringLiteral("Ampere(5)"), QStringLiteral("Watt(1150)")};
    QTest::newRow("closed windows get nothing") << QStringList{} << "*#3*10*0*230*5*1150*3000##" << QStringList{};
    QTest::newRow("only the power window") << QStringList{QStringLiteral("FrmWatt")} << "*#3*10*0*230*5*1150*3000##"
                                           << QStringList{QStringLiteral("Watt(1150)")};
    QTest::newRow("current reply") << all << "*#3*10*2*5##" << QStringList{QStringLiteral("Ampere(5)")};
    QTest::newRow("energy reply") << all << "*#3*10*4*3000##" << QStringList{};
}

void TestTranslatorClimate::meterPushes()
{
    QFETCH(QStringList, open);
    QFETCH(QString, frame);
    QFETCH(QStringList, pushes);
    for (const QString &w : open)
        f->windows.open(w);
    f->monitor(frame);
    QCOMPARE(f->windows.pushes, pushes);
    QVERIFY(f->windows.loaded.size() == open.size()); // nothing is created
}

void TestTranslatorClimate::zoneTemperature_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("text");
    QTest::newRow("21.5") << "*#4*5*0*0215##" << 5 << "21.5";
    QTest::newRow("no value") << "*#4*5*0##" << 5 << "---";
    QTest::newRow("sign digit: minus") << "*#4*5*0*1030##" << 5 << "-3";
    QTest::newRow("minus with tenths") << "*#4*5*0*1048##" << 5 << "-4.8";
    QTest::newRow("minus zero") << "*#4*5*0*1000##" << 5 << "0";
    QTest::newRow("zone with leading zero") << "*#4*05*0*0215##" << 5 << "21.5";
    QTest::newRow("zone beyond the array") << "*#4*200*0*0215##" << 5 << "";
    QTest::newRow("set point is no measurement") << "*#4*5*12*0215*1##" << 5 << "";
}

void TestTranslatorClimate::zoneTemperature()
{
    QFETCH(QString, frame);
    QFETCH(int, zone);
    QFETCH(QString, text);
    f->monitor(frame);
    QCOMPARE(f->state.live.TempSonde[std::size_t(zone)], text);
}

void TestTranslatorClimate::temperatureUsesRegionalSeparator()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    f->windows.openProbe(5);
    f->monitor(QStringLiteral("*#4*5*0*1048##*#4*5*12*0215*1##"));
    QCOMPARE(f->state.live.TempSonde[5], QStringLiteral("-4,8"));
    QCOMPARE(f->windows.pushes,
             (QStringList{QStringLiteral("Temperatura(5,-4,8)"), QStringLiteral(u"Tempset(5,21,5\u00b0C)")}));
    QLocale::setDefault(QLocale::c());
}

void TestTranslatorClimate::temperatureFollowsDefaultLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy);
    QTest::newRow("Swedish minus sign") << QLocale(QLocale::Swedish, QLocale::Sweden);
    QTest::newRow("Arabic digits") << QLocale(QLocale::Arabic, QLocale::Egypt);
    QTest::newRow("Persian") << QLocale(QLocale::Persian, QLocale::Iran);
    QLocale trailingZeroes = QLocale::c();
    trailingZeroes.setNumberOptions(QLocale::IncludeTrailingZeroesAfterDot);
    QTest::newRow("trailing zeroes") << trailingZeroes;
}

// The text is the default locale's, also when that changes between two frames.
void TestTranslatorClimate::temperatureFollowsDefaultLocale()
{
    QFETCH(QLocale, locale);
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    f->monitor(QStringLiteral("*#4*5*0*1048##"));
    QCOMPARE(f->state.live.TempSonde[5], QStringLiteral("-4,8"));

    QLocale::setDefault(locale);
    const struct
    {
        const char *field;
        double degrees;
    } shapes[] = {{"0215", 21.5}, {"1215", -21.5}, {"0200", 20}, {"1200", -20}, {"0000", 0}, {"1000", 0},
                  {"0005", 0.5}, {"1005", -0.5}, {"0999", 99.9}, {"215", 21.5}, {"7", 0.7}, {"0 15", 1.5}};
    for (const auto &shape : shapes) {
        f->monitor(QStringLiteral("*#4*5*0*%1##").arg(QLatin1String(shape.field)));
        QCOMPARE(f->state.live.TempSonde[5], locale.toString(shape.degrees));
    }
}

void TestTranslatorClimate::probePush_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QStringList>("pushes");
    QTest::newRow("temperature") << "*#4*5*0*0215##" << QStringList{QStringLiteral("Temperatura(5,21.5)")};
    QTest::newRow("no temperature") << "*#4*5*0##" << QStringList{QStringLiteral("Temperatura(5,---)")};
    QTest::newRow("set point") << "*#4*5*12*0215*1##" << QStringList{QStringLiteral(u"Tempset(5,21.5\u00b0C)")};
    QTest::newRow("knob plus") << "*#4*5*13*02##" << QStringList{QStringLiteral("Knob(5,+2)")};
    QTest::newRow("knob minus") << "*#4*5*13*12##" << QStringList{QStringLiteral("Knob(5,-2)")};
    QTest::newRow("both valves off") << "*#4*5*19*0*0##" << QStringList{QStringLiteral("pCol(5,0)")};
    QTest::newRow("cooling") << "*#4*5*19*1*0##" << QStringList{QStringLiteral("pCol(5,1)")};
    QTest::newRow("both valves: heating wins") << "*#4*5*19*1*2##"
                                               << QStringList{QStringLiteral("pCol(5,1)"), QStringLiteral("pCol(5,2)")};
    QTest::newRow("fan speed counts as active") << "*#4*5*19*0*6##" << QStringList{QStringLiteral("pCol(5,2)")};
    QTest::newRow("closed and stopped") << "*#4*5*19*3*4##" << QStringList{};
    QTest::newRow("another zone") << "*#4*6*0*0215##" << QStringList{};
    QTest::newRow("expected temperature") << "*#4*5*14*0200*3##" << QStringList{};
    QTest::newRow("unreadable set point") << "*#4*5*12*0x15*1##" << QStringList{};
}

void TestTranslatorClimate::probePush()
{
    QFETCH(QString, frame);
    QFETCH(QStringList, pushes);
    f->windows.openProbe(5);
    f->monitor(frame);
    QCOMPARE(f->windows.pushes, pushes);
}

void TestTranslatorClimate::probePushErrorsIgnored()
{
    f->windows.openProbe(5);
    f->windows.failPushes = true;
    const QStringList lines = f->monitor(QStringLiteral("*#4*5*0*0215##*#4*5*19*1*2##"));
    QCOMPARE(lines.size(), 2);
    QVERIFY(!lines[0].contains(QLatin1String("ERR")));
    QVERIFY(f->messages.shown.isEmpty());
    QCOMPARE(f->state.live.TempSonde[5], QStringLiteral("21.5"));
}

QTEST_GUILESS_MAIN(TestTranslatorClimate)
#include "tst_translator_climate.moc"
