// Alarm, door entry, auxiliary channels, gateway management and sound frames: sentences,
// icons, alarm and channel state, the held-back status replies and the status bar.
#include "support/TranslatorFixture.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

using F = TranslatorFixture;

class TestTranslatorServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void sentences_data();
    void sentences();
    void alarmState_data();
    void alarmState();
    void auxState_data();
    void auxState();
    void statusRequestHoldsBackReplies();
    void auxWindowRefreshedOnlyWhenOpen();
    void modelGoesToStatusBar();

private:
    std::unique_ptr<TranslatorFixture> f;
};

void TestTranslatorServices::init()
{
    f = std::make_unique<TranslatorFixture>();
    f->state.model.NomiAux[3] = QStringLiteral("Pump");
    f->state.lang.whovideo[12] = QStringLiteral("Gate");
    f->state.lang.whovideo[500] = QStringLiteral("Street");
    f->state.lang.devmodel[5].clear(); // a model the language file does not name
    f->state.filters.Who.fill(1);
}

void TestTranslatorServices::sentences_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<int>("icon");

    QTest::newRow("alarm active") << "*5*1*0##" << "S1[zone0|\\n]" << 10;
    QTest::newRow("battery fault") << "*5*4*0##" << "S4[zone0|\\n]" << 9;
    QTest::newRow("zone not active") << "*5*18*#3##" << "S18[zone3|\\n]" << 9;
    QTest::newRow("zone active") << "*5*11*#3##" << "S11[zone3|\\n]" << 10;
    QTest::newRow("no reception, one character") << "*5*14*5##" << "S14[|5]" << 10;
    QTest::newRow("no reception, zone and sensor") << "*5*14*12##" << "S14[zone1|2]" << 10;
    QTest::newRow("empty WHERE") << "*5*0*##" << "S0[zone|\\n]" << 10;
    QTest::newRow("beyond [security]") << "*5*40*1##" << "ERR" << 10;

    QTest::newRow("named camera") << "*7*1*4012##" << "V1[Gate]" << 14;
    QTest::newRow("unnamed camera") << "*7*1*4013##" << "V1[4013]" << 14;
    QTest::newRow("external unit") << "*7*1*5000##" << "V1[Street]" << 14;
    QTest::newRow("call icon") << "*7*8*4000##" << "V8[4000]" << 13;
    QTest::newRow("public riser: as received") << "*7*1*4012#2##" << "V1[4012#2]" << 14;
    QTest::newRow("address beyond the table") << "*7*1*4600##" << "V1[4600]" << 14;
    QTest::newRow("4500 is no camera of the table") << "*7*1*4500##" << "V1[4500]" << 14;
    QTest::newRow("beyond 4500, last digits of a camera") << "*7*1*5012##" << "V1[5012]" << 14;
    QTest::newRow("below 4000, last digits of a camera") << "*7*0*3012##" << "V0[3012]" << 14;
    QTest::newRow("no address: not translated") << "*7*0*##" << "ERR" << 14;
    QTest::newRow("WHAT 10 to 299 unfilled") << "*7*20*4000##" << "V20[\\n]" << 14;
    QTest::newRow("WHAT 300 and more") << "*7*312*4000##" << "V300[1|2]" << 14;

    QTest::newRow("aux on, named") << "*9*1*3##" << "X1[Pump]" << 10;
    QTest::newRow("aux off, number") << "*9*0*#4##" << "X0[4]" << 9;
    QTest::newRow("channel beyond 15") << "*9*1*16##" << "ERR" << 0;
    QTest::newRow("beyond [aux]") << "*9*16*3##" << "ERR" << 10;

    QTest::newRow("model") << "*#13**15*3##" << "G15[model3]" << 0;
    QTest::newRow("model beyond [devmodel]: its number") << "*#13**15*44##" << "G15[44]" << 0;
    QTest::newRow("model without a name: its number") << "*#13**15*5##" << "G15[5]" << 0;
    QTest::newRow("model not a number") << "*#13**15*x##" << "ERR" << 0;
    QTest::newRow("time, plus") << "*#13**0*12*30*05*001##" << "G0[\\n|12:30:05 +01|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time, minus") << "*#13**0*12*30*05*101##" << "G0[\\n|12:30:05 -01|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time write form, empty zone") << "*#13**#0*21*40*00*##" << "G0[\\n|21:40:00|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time write form with zone") << "*#13**#0*21*40*00*002##" << "G0[\\n|21:40:00 +02|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time, empty zone") << "*#13**0*21*07*30*##" << "G0[\\n|21:07:30|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time without a zone field") << "*#13**0*10*30*45##" << "G0[\\n|10:30:45|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time, zone 0: +0") << "*#13**0*1*2*3*0##" << "G0[\\n|1:2:3 +0|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("time, 999 is no zone") << "*#13**0*15*40*52*999##" << "G0[\\n|15:40:52|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("date") << "*#13**1*02*25*12*2026##" << "G1[\\n|\\h|day2|25|12|2026]" << 0;
    QTest::newRow("date write form") << "*#13**#1*02*29*09*2026##" << "G1[\\n|\\h|day2|29|09|2026]" << 0;
    QTest::newRow("address") << "*#13**10*192*0*2*10##" << "G10[192.0.2.10|\\h|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("hardware address") << "*#13**12*0*3*80*10*255*17##" << "G12[00:03:50:0A:FF:11|\\h|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("firmware") << "*#13**16*1*2*3##" << "G16[1.2.3|\\h|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("up time") << "*#13**19*5*12*30*00##" << "G19[5 12:30:00|\\h|\\ww|\\dd|\\mm|\\aa]" << 0;
    QTest::newRow("date and time") << "*#13**22*21*11*02*002*04*24*09*2026##" << "G22[\\n|21:11:02 +02|day4|24|09|2026]" << 0;
    QTest::newRow("beyond [device]") << "*#13**25*1##" << "ERR" << 0;

    QTest::newRow("sound off") << "*16*13*1##" << "M13[1]" << 11;
    QTest::newRow("sound on") << "*16*0*101##" << "M0[101]" << 12;
    QTest::newRow("beyond [audio]") << "*16*6001*101##" << "ERR" << 12;
}

void TestTranslatorServices::sentences()
{
    QFETCH(QString, frame);
    QFETCH(QString, sentence);
    QFETCH(int, icon);
    QVERIFY(!sentence.isEmpty());
    f->checkSentence(frame, sentence, icon);
}

void TestTranslatorServices::alarmState_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QList<int>>("system"); // -1: not reported
    QTest::addColumn<QString>("zone3");
    const int n = -1;
    QTest::newRow("active") << "*5*1*0##" << QList<int>{1, n, n, n} << "";
    QTest::newRow("maintenance") << "*5*0*0##" << QList<int>{0, n, n, n} << "";
    QTest::newRow("engaged") << "*5*8*0##" << QList<int>{n, 1, n, n} << "";
    QTest::newRow("disengaged") << "*5*9*0##" << QList<int>{n, 0, n, n} << "";
    QTest::newRow("battery fault") << "*5*4*0##" << QList<int>{n, n, 0, n} << "";
    QTest::newRow("battery ok") << "*5*5*0##" << QList<int>{n, n, 1, n} << "";
    QTest::newRow("battery unloaded") << "*5*10*0##" << QList<int>{n, n, 2, n} << "";
    QTest::newRow("no mains") << "*5*6*0##" << QList<int>{n, n, n, 0} << "";
    QTest::newRow("mains") << "*5*7*0##" << QList<int>{n, n, n, 1} << "";
    QTest::newRow("zone active") << "*5*11*#3##" << QList<int>{n, n, n, n} << "1";
    QTest::newRow("zone inactive") << "*5*18*#3##" << QList<int>{n, n, n, n} << "0";
    QTest::newRow("intrusion changes nothing") << "*5*15*#3##" << QList<int>{n, n, n, n} << "";
    QTest::newRow("zone beyond 8") << "*5*11*#9##" << QList<int>{n, n, n, n} << "";
}

void TestTranslatorServices::alarmState()
{
    QFETCH(QString, frame);
    QFETCH(QList<int>, system);
    QFETCH(QString, zone3);
    f->monitor(frame);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f->state.live.StatoAllarme[std::size_t(i)].value_or(-1), system[i]);
    QCOMPARE(f->state.live.ZoneAllarme[3][0], zone3);
    QCOMPARE(f->state.live.ZoneAllarme[3][1], QString());
}

void TestTranslatorServices::auxState_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("state"); // -1: not reported
    QTest::newRow("on") << "*9*1*3##" << 1;
    QTest::newRow("off") << "*9*0*3##" << 0;
    QTest::newRow("other WHAT leaves it") << "*9*2*3##" << -1;
    QTest::newRow("# removed from the channel") << "*9*1*#3##" << 1;
}

void TestTranslatorServices::auxState()
{
    QFETCH(QString, frame);
    QFETCH(int, state);
    f->monitor(frame);
    const auto &s = f->state.live.StatoAux[3];
    QCOMPARE(s.has_value() ? int(*s) : -1, state);
}

void TestTranslatorServices::statusRequestHoldsBackReplies()
{
    f->state.live.RichiestaStato = true;
    f->state.live.UltimoMessaggio = QStringLiteral("before");
    QCOMPARE(f->monitor(QStringLiteral("*9*1*3##*9*0*5##")), QStringList{});
    QVERIFY(f->notice.shown.isEmpty());
    QCOMPARE(f->state.live.StatoAux[3], std::optional<bool>(true));
    QCOMPARE(f->state.live.StatoAux[5], std::optional<bool>(false));
    QVERIFY(f->state.live.RichiestaStato);
    QCOMPARE(f->state.live.UltimoMessaggio, QStringLiteral("before"));
    QCOMPARE(f->Tlog.caret, 0);

    // Channel 8 closes the request and loads the auxiliary window hidden to show the result.
    QCOMPARE(f->monitor(QStringLiteral("*9*0*8##")), QStringList{});
    QVERIFY(!f->state.live.RichiestaStato);
    QVERIFY(f->state.live.AuxLetti);
    QCOMPARE(f->windows.pushes, QStringList{QStringLiteral("AggiornaAux(create)")});
    QVERIFY(f->windows.FormAperto(QString(), QStringLiteral("FrmAux")));

    // Afterwards channel frames speak again and refresh the now loaded window.
    QCOMPARE(f->monitor(QStringLiteral("*9*1*3##")), QStringList{F::line(QStringLiteral("X1[Pump]"), QStringLiteral("*9*1*3##"))});
    QCOMPARE(f->windows.pushes.last(), QStringLiteral("AggiornaAux"));
}

void TestTranslatorServices::auxWindowRefreshedOnlyWhenOpen()
{
    f->monitor(QStringLiteral("*9*1*3##"));
    QVERIFY(f->windows.pushes.isEmpty());
    QVERIFY(f->windows.loaded.isEmpty());
    f->windows.open(QStringLiteral("FrmAux"));
    f->monitor(QStringLiteral("*9*0*3##"));
    QCOMPARE(f->windows.pushes, QStringList{QStringLiteral("AggiornaAux")});
}

void TestTranslatorServices::modelGoesToStatusBar()
{
    f->monitor(QStringLiteral("*#13**15*3##"));
    QCOMPARE(f->statusBar.statusText(), QStringLiteral("G15[model3]"));
    f->monitor(QStringLiteral("*#13**16*1*2*3##"));
    QCOMPARE(f->statusBar.statusText(), QStringLiteral("G15[model3]"));
    f->monitor(QStringLiteral("*#13**15*200##"));
    QCOMPARE(f->statusBar.statusText(), QStringLiteral("G15[200]"));
}

QTEST_GUILESS_MAIN(TestTranslatorServices)
#include "tst_translator_services.moc"
