#include "engine/config/ConfLoader.h"
#include "engine/model/EngineState.h"
#include "engine/config/LanguageLoader.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingMessageBox.h"
#include "support/TestFolder.h"
#include "engine/protocol/Windows1252.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const QString Version = QStringLiteral("<version number=\"1.0.4\"/>");

// Recognisable stand-ins for the language file's [error] texts: range texts are their
// key, duplicate texts show where the number goes.
void fillErrorTexts(LanguageTexts &lang)
{
    for (const char *key : {"xmlGrErr", "xmlAuxErr", "xmlLoadErr", "xmlProbeErr", "xmlCameraErr", "xmlf420Err",
                            "xml200Err", "xmlcenAErr", "xmlcenDErr", "xmlgen", "xmlold"})
        lang.error.insert(QLatin1String(key), QLatin1String(key));
    for (const char *key : {"xmlActDup", "xmlGrDup", "xmlAuxDup", "xmlLoadDup", "xmlProbeDup", "xmlCameraDup",
                            "xmlf420Dup", "xml200Dup"})
        lang.error.insert(QLatin1String(key), QLatin1String(key) + QStringLiteral("(\\n) \\n"));
    // Faults show every part that names the place: line, element, attribute, value.
    for (const char *key : {"xmlNoAttr", "xmlNotNum", "xmlOutRange"})
        lang.error.insert(QLatin1String(key), QLatin1String(key) + QStringLiteral(" \\l <\\e> \\a=\\v"));
}

// A program folder, the shared state and a message recorder for one load.
struct Fixture
{
    TestFolder folder;
    EngineState state;
    RecordingMessageBox boxes;
    bool loaded = false;

    Fixture()
    {
        state.programFolder = folder.path();
        fillErrorTexts(state.lang);
    }

    bool load()
    {
        loaded = ConfLoader(state, boxes).CaricaConf();
        return loaded;
    }
    bool loadBytes(const QByteArray &bytes)
    {
        if (!folder.write(QStringLiteral("conf.xml"), bytes))
            qFatal("cannot write the fixture");
        return load();
    }
    // The elements inside the usual root element.
    bool loadBody(const QString &body) { return loadBytes("<ACTUATOR>\n" + body.toUtf8() + "\n</ACTUATOR>\n"); }

    const InstallationModel &model() const { return state.model; }
};

} // namespace

class TestConfLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void warnings_data();
    void warnings();
    void generalFailure_data();
    void generalFailure();
    void faultMessageWording_data();
    void faultMessageWording();
    void parseFailure_data();
    void parseFailure();
    void anyRootAnyDepth();
    void storedEntries();
    void pull_data();
    void pull();
    void undeclaredWindows1252();
    void shippedFileLoadsQuietly();
};

void TestConfLoader::warnings_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("expected");

    const auto dev = [](const char *point, const char *name) {
        return QStringLiteral("<device point=\"%1\" name=\"%2\" type=\"1\" group=\"0\"/>")
            .arg(QLatin1String(point), QLatin1String(name));
    };

    QTest::newRow("version 1.0.3") << "<version number=\"1.0.3\"/>" << QStringList{"xmlold"};
    QTest::newRow("no version element") << dev("11", "a") << QStringList{"xmlold"};
    QTest::newRow("version without number") << "<version/>" << QStringList{};
    QTest::newRow("only the first version counts")
        << Version + "<version number=\"1.0.3\"/>" << QStringList{};

    QTest::newRow("duplicate point, as written") << Version + dev("11", "a") + dev("011", "b")
                                                 << QStringList{"xmlActDup(011) 011"};
    QTest::newRow("unconfigured point replaced silently")
        << Version + "<device point=\"11\" name=\"a\" type=\"\" group=\"0\"/>" + dev("11", "b") + dev("11", "c")
        << QStringList{"xmlActDup(11) 11"};

    QTest::newRow("group 0") << Version + "<group group=\"0\" name=\"Zero\"/>" << QStringList{"xmlGrErr: 0 - Zero"};
    QTest::newRow("group 10") << Version + "<group group=\"10\" name=\"Dieci\"/>"
                              << QStringList{"xmlGrErr: 10 - Dieci"};
    QTest::newRow("group too large for any integer") << Version + "<group group=\"99999999999\" name=\"Big\"/>"
                                                     << QStringList{"xmlGrErr: 99999999999 - Big"};
    QTest::newRow("group rounded before the range test")
        << Version + "<group group=\"0.4\" name=\"x\"/><group group=\"9.5\" name=\"y\"/>"
        << QStringList{"xmlGrErr: 0.4 - x", "xmlGrErr: 9.5 - y"};
    QTest::newRow("group duplicate") << Version + "<group group=\"2\" name=\"a\"/><group group=\"2\" name=\"b\"/>"
                                     << QStringList{"xmlGrDup(2) 2"};
    QTest::newRow("entry without name is no duplicate")
        << Version + "<aux number=\"3\"/><aux number=\"3\" name=\"b\"/>" << QStringList{};
    QTest::newRow("load 9 accepted, 10 and 16 refused")
        << Version + "<load priority=\"9\" name=\"a\"/><load priority=\"10\" name=\"b\"/>"
                     "<load priority=\"16\" name=\"c\"/>"
        << QStringList{"xmlLoadErr: 10 - b", "xmlLoadErr: 16 - c"};
    QTest::newRow("aux 16 without name") << Version + "<aux number=\"16\"/>" << QStringList{"xmlAuxErr: 16 - "};
    QTest::newRow("probe number as written") << Version + "<probe number=\" 100 \" name=\"x\"/>"
                                             << QStringList{"xmlProbeErr:  100  - x"};
    QTest::newRow("probe duplicate") << Version + "<probe number=\"1\" name=\"a\"/><probe number=\"1\" name=\"b\"/>"
                                     << QStringList{"xmlProbeDup(1) 1"};
    QTest::newRow("camera 13") << Version + "<camera number=\"13\" name=\"c\" type=\"1\" adr=\"4001\"/>"
                               << QStringList{"xmlCameraErr: 13 - c"};
    QTest::newRow("camera address 3999")
        << Version + "<camera number=\"1\" name=\"c\" type=\"1\" adr=\"3999\"/>" << QStringList{"xmlCameraErr: 1 - c"};
    QTest::newRow("camera type 3") << Version + "<camera number=\"1\" name=\"c\" type=\"3\" adr=\"4001\"/>"
                                   << QStringList{"xmlCameraErr: 1 - c"};
    QTest::newRow("camera empty address") << Version + "<camera number=\"2\" name=\"c\" type=\"1\" adr=\"\"/>"
                                          << QStringList{"xmlCameraErr: 2 - c"};
    QTest::newRow("scf420 0 and 17")
        << Version + "<scf420 number=\"0\" name=\"a\"/><scf420 number=\"17\" name=\"b\"/>"
        << QStringList{"xmlf420Err: 0 - a", "xmlf420Err: 17 - b"};
    QTest::newRow("scmh200 -1 and 101")
        << Version + "<scmh200 number=\"-1\" name=\"a\"/><scmh200 number=\"101\" name=\"b\"/>"
        << QStringList{"xml200Err: -1 - a", "xml200Err: 101 - b"};
    QTest::newRow("cenact 0098, cendis not read")
        << Version + "<scmh200 number=\"1\" name=\"s\" cenact=\"0098\"/>" << QStringList{"xmlcenAErr: 1 - s"};
    QTest::newRow("cenact 101 too short")
        << Version + "<scmh200 number=\"1\" name=\"s\" cenact=\"101\" cendis=\"0101\"/>"
        << QStringList{"xmlcenAErr: 1 - s"};
    QTest::newRow("cendis refused") << Version + "<scmh200 number=\"1\" name=\"s\" cenact=\"0101\" cendis=\"10000\"/>"
                                    << QStringList{"xmlcenDErr: 1 - s"};
    QTest::newRow("scmh200 duplicate")
        << Version + "<scmh200 number=\"0\" name=\"a\" cenact=\"0101\" cendis=\"0101\"/><scmh200 number=\"0\"/>"
        << QStringList{"xml200Dup(0) 0"};
    QTest::newRow("kinds in their order, not the file's")
        << Version + "<scmh200 number=\"101\" name=\"s\"/><probe number=\"0\" name=\"p\"/>"
                     "<group group=\"0\" name=\"g\"/>"
                   + dev("5", "a") + dev("5", "b")
        << QStringList{"xmlActDup(5) 5", "xmlGrErr: 0 - g", "xmlProbeErr: 0 - p", "xml200Err: 101 - s"};
}

void TestConfLoader::warnings()
{
    QFETCH(QString, body);
    QFETCH(QStringList, expected);

    Fixture f;
    QVERIFY(f.loadBody(body));
    QCOMPARE(f.boxes.texts(), expected);
    for (const auto &shown : f.boxes.shown) {
        QCOMPARE(shown.title, QStringLiteral("Ombrix"));
        QCOMPARE(shown.icon, MessageBoxService::Icon::None);
    }
    QVERIFY(f.model().ConfCaricata);
    QVERIFY(!f.state.InChiusura);
}

void TestConfLoader::generalFailure_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("warningsBefore");
    QTest::addColumn<QString>("fault"); // what the closing message names, after "xmlgen"

    const QStringList none;
    QTest::newRow("device without point") << "<device name=\"a\" type=\"1\" group=\"0\"/>" << none
                                          << "xmlNoAttr 2 <device> point=";
    QTest::newRow("device without name") << "<device point=\"1\" type=\"1\" group=\"0\"/>" << none
                                         << "xmlNoAttr 2 <device> name=";
    QTest::newRow("device without type") << "<device point=\"1\" name=\"a\" group=\"0\"/>" << none
                                         << "xmlNoAttr 2 <device> type=";
    QTest::newRow("device without group") << "<device point=\"1\" name=\"a\" type=\"1\"/>" << none
                                          << "xmlNoAttr 2 <device> group=";
    QTest::newRow("point not a number") << "<device point=\"1a\" name=\"a\" type=\"1\" group=\"0\"/>" << none
                                        << "xmlNotNum 2 <device> point=1a";
    QTest::newRow("point 1000") << "<device point=\"1000\" name=\"a\" type=\"1\" group=\"0\"/>" << none
                                << "xmlOutRange 2 <device> point=1000";
    QTest::newRow("point -1") << "<device point=\"-1\" name=\"a\" type=\"1\" group=\"0\"/>" << none
                              << "xmlOutRange 2 <device> point=-1";
    QTest::newRow("point too large for any integer")
        << "<device point=\"99999999999\" name=\"a\" type=\"1\" group=\"0\"/>" << none
        << "xmlOutRange 2 <device> point=99999999999";
    QTest::newRow("device group 256") << "<device point=\"1\" name=\"a\" type=\"1\" group=\"256\"/>" << none
                                      << "xmlOutRange 2 <device> group=256";
    QTest::newRow("device group -1") << "<device point=\"1\" name=\"a\" type=\"1\" group=\"-1\"/>" << none
                                     << "xmlOutRange 2 <device> group=-1";
    QTest::newRow("dimmer not a number") << "<device point=\"1\" name=\"a\" type=\"1\" group=\"0\" dimmer=\"x\"/>"
                                         << none << "xmlNotNum 2 <device> dimmer=x";
    QTest::newRow("dimmer 256") << "<device point=\"1\" name=\"a\" type=\"1\" group=\"0\" dimmer=\"256\"/>" << none
                                << "xmlOutRange 2 <device> dimmer=256";
    QTest::newRow("group -1 after a warning, on its own line")
        << "<group group=\"0\" name=\"z\"/>\n\n<group group=\"-1\" name=\"m\"/><aux number=\"99\"/>"
        << QStringList{"xmlGrErr: 0 - z"} << "xmlOutRange 4 <group> group=-1";
    QTest::newRow("group far below zero") << "<group group=\"-99999999999\" name=\"m\"/>" << none
                                          << "xmlOutRange 2 <group> group=-99999999999";
    QTest::newRow("load without priority") << "<load name=\"a\"/>" << none << "xmlNoAttr 2 <load> priority=";
    QTest::newRow("probe number not a number") << "<probe number=\"one\" name=\"a\"/>" << none
                                               << "xmlNotNum 2 <probe> number=one";
    QTest::newRow("camera without type") << "<camera number=\"1\" name=\"c\" adr=\"4001\"/>" << none
                                         << "xmlNoAttr 2 <camera> type=";
    QTest::newRow("camera without adr") << "<camera number=\"1\" name=\"c\" type=\"1\"/>" << none
                                        << "xmlNoAttr 2 <camera> adr=";
    QTest::newRow("scf420 -1") << "<scf420 number=\"-1\" name=\"a\"/>" << none << "xmlOutRange 2 <scf420> number=-1";
    QTest::newRow("scmh200 without name") << "<scmh200 number=\"1\" cenact=\"0101\" cendis=\"0101\"/>" << none
                                          << "xmlNoAttr 2 <scmh200> name=";
    QTest::newRow("scmh200 without cenact") << "<scmh200 number=\"1\" name=\"s\" cendis=\"0101\"/>" << none
                                            << "xmlNoAttr 2 <scmh200> cenact=";
    QTest::newRow("scmh200 without cendis") << "<scmh200 number=\"1\" name=\"s\" cenact=\"0101\"/>" << none
                                            << "xmlNoAttr 2 <scmh200> cendis=";
}

void TestConfLoader::generalFailure()
{
    QFETCH(QString, body);
    QFETCH(QStringList, warningsBefore);
    QFETCH(QString, fault);

    Fixture f;
    QVERIFY(!f.loadBody(Version + "<device point=\"11\" name=\"kept?\" type=\"1\" group=\"0\"/>" + body));
    QVERIFY(f.state.InChiusura);
    QCOMPARE(f.boxes.texts(), warningsBefore + QStringList{QStringLiteral("xmlgen\n") + fault});
    QCOMPARE(f.boxes.shown.last().title, QStringLiteral("Errore"));
    QCOMPARE(f.boxes.shown.last().icon, MessageBoxService::Icon::Critical);
    // Nothing of a failed load is left for the rest of the program to read.
    QVERIFY(!f.model().ConfCaricata);
    QVERIFY(f.model().Dispositivi.at(11).name.isEmpty());
}

void TestConfLoader::faultMessageWording_data()
{
    QTest::addColumn<QString>("language"); // a shipped file, or "" for one without the fault texts
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("message");
    const QString missing = QStringLiteral("<device name=\"a\" type=\"1\" group=\"0\"/>");
    const QString notNumber = QStringLiteral("<probe number=\"\\e1\" name=\"a\"/>");
    QTest::newRow("english") << "english" << missing
                             << "Error while reading conf.xml: the program will close\n"
                                "line 3: the <device> element has no point attribute";
    QTest::newRow("italian, a value holding a placeholder stays as written")
        << "italian" << notNumber
        << QStringLiteral(u"Errore nella lettura di conf.xml: il programma verr\u00e0 chiuso\n"
                          u"riga 3: number=\"\\e1\" nell'elemento <probe> non \u00e8 un numero");
    QTest::newRow("older language file") << "" << notNumber << "conf.xml:3: <probe> number=\"\\e1\"";
}

void TestConfLoader::faultMessageWording()
{
    QFETCH(QString, language);
    QFETCH(QString, body);
    QFETCH(QString, message);

    Fixture f;
    f.state.lang = LanguageTexts{};
    if (!language.isEmpty()) {
        QVERIFY(f.folder.copyShipped(language + QStringLiteral(".lng")));
        ProgramSettings settings(f.folder.settingsFile());
        LanguageLoader(f.state.lang, settings, f.boxes, f.folder.path()).CaricaLingua(language);
    }
    QVERIFY(!f.loadBody(Version + QLatin1Char('\n') + body));
    QCOMPARE(f.boxes.texts(), QStringList{message});
}

void TestConfLoader::parseFailure_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("writeFile");
    QTest::addColumn<QString>("reasonPart");

    QTest::newRow("missing file") << QByteArray() << false << "conf.xml";
    QTest::newRow("empty file") << QByteArray() << true << "line 1";
    QTest::newRow("unclosed element") << QByteArray("<ACTUATOR>\n<version number=\"1.0.4\"/>\n<device point=\"1\"\n")
                                      << true << "line 4";
    QTest::newRow("mismatched tag") << QByteArray("<ACTUATOR>\n\n<group group=\"1\" name=\"a\"></load>\n</ACTUATOR>")
                                    << true << "line 3";
    QTest::newRow("declared encoding, wrong bytes")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ACTUATOR name=\"\xE8\"/>") << true << "(line ";
}

void TestConfLoader::parseFailure()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, writeFile);
    QFETCH(QString, reasonPart);

    Fixture f;
    const bool loaded = writeFile ? f.loadBytes(bytes) : f.load();
    QVERIFY(!loaded);
    QVERIFY(f.state.InChiusura);
    QCOMPARE(f.boxes.shown.size(), 1);
    const auto &shown = f.boxes.shown.first();
    QCOMPARE(shown.title, QStringLiteral("ombrix"));
    QCOMPARE(shown.icon, MessageBoxService::Icon::Critical);
    QVERIFY2(shown.text.contains(reasonPart), qPrintable(shown.text));
    QVERIFY(!f.model().ConfCaricata);
}

void TestConfLoader::anyRootAnyDepth()
{
    Fixture f;
    QVERIFY(f.loadBody(QStringLiteral("<casa><piano><version number=\"1.0.4\"></version>"
                                      "<stanza><device point=\"12\" name=\"Fondo\" type=\"1\" group=\"0\"/></stanza>"
                                      "</piano><aux number=\"1\" name=\"Pompa\"/></casa>")));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.model().Dispositivi.at(12).name, QStringLiteral("Fondo"));
    QCOMPARE(f.model().NomiAux.at(1), QStringLiteral("Pompa"));

    Fixture other;
    QVERIFY(other.loadBytes("<impianto><version number=\"1.0.4\"/><probe number=\"4\" name=\"Bagno\"/></impianto>"));
    QVERIFY(other.boxes.shown.isEmpty());
    QCOMPARE(other.model().Sonde.at(4), QStringLiteral("Bagno"));
}

void TestConfLoader::storedEntries()
{
    Fixture f;
    QVERIFY(f.loadBody(Version + QStringLiteral(R"(
        <device point="11" name="Prima" type="1" group="3a" dimmer="128"/>
        <device point="11" name="Seconda" type="2" group="4"/>
        <device point="30" name="Bozza" type="" group="0" pull="pull" dimmer="9"/>
        <device point="30" name="Finale" type="1" group=""/>
        <group group="9" name="Notte"/>
        <load priority="9" name="Forno"/>
        <camera number="1" name="Privata" type="1" adr="4000"/>
        <camera number="2" name="Pubblica" type="2" adr="4001"/>
        <camera number="3" name="Bassa" type="1" adr="3999"/>
        <camera number="4" name="Strana" type="3" adr="4001x"/>
        <camera number="5" name="Vuota" type="1" adr=""/>
        <scf420 number="16" name="Cena" adr="01"/>
        <scf420 number="2" name="Senza indirizzo"/>
        <scmh200 number="0" name="Zero" cenact="0101" cendis="9999"/>
        <scmh200 number="7" name="Meta" cenact="0101" cendis="0098"/>
    )")));
    const InstallationModel &m = f.model();

    const Dispositivo &first = m.Dispositivi.at(11);
    QCOMPARE(first.name, QStringLiteral("Prima"));
    QCOMPARE(first.type, QStringLiteral("1"));
    QCOMPARE(first.group, quint8(3));
    QCOMPARE(first.dimmer, quint8(128));

    // The replaced draft leaves no pull flag or dimmer behind.
    const Dispositivo &replaced = m.Dispositivi.at(30);
    QCOMPARE(replaced.name, QStringLiteral("Finale"));
    QCOMPARE(replaced.group, quint8(0));
    QVERIFY(!replaced.pull);
    QCOMPARE(replaced.dimmer, quint8(0));

    QCOMPARE(m.Gruppi.at(9), QStringLiteral("Notte"));
    QCOMPARE(m.Carichi.at(9), QStringLiteral("Forno"));

    const QStringList names{"", "Privata", "Pubblica", "Bassa", "Strana", "Vuota"};
    const QStringList addresses{"", "4000", "4001#2", "3999", "4001", ""};
    for (int i = 1; i <= 5; ++i) {
        QCOMPARE(m.NomiCamere.at(i), names.at(i));
        QCOMPARE(m.IndirizziCamere.at(i), addresses.at(i));
    }

    QCOMPARE(m.ScenariF420.at(16).name, QStringLiteral("Cena"));
    QCOMPARE(m.ScenariF420.at(16).address, QStringLiteral("01"));
    QCOMPARE(m.ScenariF420.at(16).defined, QStringLiteral("1"));
    QCOMPARE(m.ScenariF420.at(2).address, QString());
    QCOMPARE(m.ScenariF420.at(2).defined, QStringLiteral("1"));
    QCOMPARE(m.ScenariF420.at(1).defined, QString());

    QCOMPARE(m.ScenariMH200.at(0).name, QStringLiteral("Zero"));
    QCOMPARE(m.ScenariMH200.at(0).cenact, QStringLiteral("0101"));
    QCOMPARE(m.ScenariMH200.at(0).cendis, QStringLiteral("9999"));
    QCOMPARE(m.ScenariMH200.at(7).cenact, QStringLiteral("0101"));
    QCOMPARE(m.ScenariMH200.at(7).cendis, QString());

    QCOMPARE(f.boxes.texts(), (QStringList{"xmlActDup(11) 11", "xmlCameraErr: 3 - Bassa", "xmlCameraErr: 4 - Strana",
                                           "xmlCameraErr: 5 - Vuota", "xmlcenDErr: 7 - Meta"}));
}

void TestConfLoader::pull_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<bool>("pull");

    QTest::newRow("pull") << " pull=\"pull\"" << true;
    QTest::newRow("mixed case") << " pull=\"PuLL\"" << true;
    QTest::newRow("absent") << "" << false;
    QTest::newRow("other value") << " pull=\"push\"" << false;
    QTest::newRow("padded") << " pull=\" pull\"" << false;
}

void TestConfLoader::pull()
{
    QFETCH(QString, attribute);
    QFETCH(bool, pull);

    Fixture f;
    QVERIFY(f.loadBody(Version + "<device point=\"40\" name=\"p\" type=\"1\" group=\"0\"" + attribute + "/>"));
    QCOMPARE(f.model().Dispositivi.at(40).pull, pull);
}

void TestConfLoader::undeclaredWindows1252()
{
    Fixture f;
    QVERIFY(f.loadBytes(Windows1252::encode(QStringLiteral(
        "<ACTUATOR><version number=\"1.0.4\"/><!-- stanze -->"
        "<device point=\"13\" name=\"Luce libreria \u00e8 \u20ac\" type=\"1\" group=\"0\"/></ACTUATOR>"))));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.model().Dispositivi.at(13).name, QStringLiteral("Luce libreria \u00e8 \u20ac"));

    Fixture utf8;
    QVERIFY(utf8.loadBody(Version + QStringLiteral("<probe number=\"1\" name=\"Caff\u00e8 \u00b0\"/>")));
    QCOMPARE(utf8.model().Sonde.at(1), QStringLiteral("Caff\u00e8 \u00b0"));
}

void TestConfLoader::shippedFileLoadsQuietly()
{
    Fixture f;
    QVERIFY(f.folder.copyShipped(QStringLiteral("conf.xml")));
    QVERIFY(f.load());
    QVERIFY2(f.boxes.shown.isEmpty(), qPrintable(f.boxes.texts().join(QLatin1Char('\n'))));

    const InstallationModel &m = f.model();
    for (int point : {11, 12, 13}) {
        QVERIFY(!m.Dispositivi.at(point).name.isEmpty());
        QCOMPARE(m.Dispositivi.at(point).type, QStringLiteral("1"));
    }
    QCOMPARE(m.Dispositivi.at(21).type, QStringLiteral("2"));
    QVERIFY(!m.Gruppi.at(1).isEmpty());
    QVERIFY(!m.Carichi.at(1).isEmpty());
    QVERIFY(!m.NomiAux.at(1).isEmpty() && !m.NomiAux.at(2).isEmpty());
    QVERIFY(!m.Sonde.at(1).isEmpty() && !m.Sonde.at(2).isEmpty());
    QCOMPARE(m.IndirizziCamere.at(1), QStringLiteral("4000"));
    QCOMPARE(m.ScenariF420.at(1).defined, QStringLiteral("1"));
    QVERIFY(!m.ScenariMH200.at(1).cendis.isEmpty());
    // Nothing from the commented examples leaks into the installation.
    QVERIFY(m.NomiCamere.at(2).isEmpty());
    QVERIFY(m.ScenariF420.at(16).name.isEmpty());

    // Point sentences put the category word before the name: a light named "Luce cucina"
    // would read "Luce Luce cucina: accesa".
    for (const char *language : {"italian", "english"}) {
        LanguageTexts lang;
        ProgramSettings settings(f.folder.settingsFile());
        QVERIFY(f.folder.copyShipped(QLatin1String(language) + QStringLiteral(".lng")));
        LanguageLoader(lang, settings, f.boxes, f.folder.path()).CaricaLingua(QLatin1String(language));
        for (const Dispositivo &d : m.Dispositivi) {
            if (!d.configured())
                continue;
            const QString word = lang.wholight.at(d.type == QLatin1String("2") ? 2 : 0).trimmed();
            QVERIFY2(!d.name.startsWith(word, Qt::CaseInsensitive), qPrintable(d.name));
        }
    }
}

QTEST_GUILESS_MAIN(TestConfLoader)
#include "tst_confloader.moc"
