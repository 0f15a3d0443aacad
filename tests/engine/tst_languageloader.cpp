#include "engine/config/LanguageLoader.h"
#include "engine/model/LanguageTexts.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingMessageBox.h"
#include "engine/config/SettingKeys.h"
#include "support/TestFolder.h"
#include "engine/protocol/Windows1252.h"

#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

using IndexList = QList<int>;

class TestLanguageLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void tableMapping_data();
    void tableMapping();
    void knobSingleDigitKeysWin();
    void versionCheck_data();
    void versionCheck();
    void missingFile();
    void derivedCaptions();
    void fullStopStartsNewLine();
    void programCaption_data();
    void programCaption();
    void programCaptionsFromSettings();
    void switchingLanguageLeavesNothingBehind();
    void listing();

    void shippedFileLayout_data();
    void shippedFileLayout();
    void shippedInterfaceKeys_data();
    void shippedInterfaceKeys();
    void shippedTables_data();
    void shippedTables();

private:
    void load(const QString &language);

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramSettings> m_settings;
    RecordingMessageBox m_messages;
    LanguageTexts m_texts;
};

namespace {

const QStringList ShippedLanguages = {QStringLiteral("italian"), QStringLiteral("english")};

// Keys chosen so that a loader that reads the wrong key, or the right key into the wrong
// entry, shows up: values that must not be read say so.
const char *const Mapping =
    "[Version]\r\nini=1.0.4\r\n"
    "# OPEN WEBNET #\r\n"
    "[light]\r\n0=zero\r\n30=thirty\r\n31=down one level\r\n32=plain 32 is not a key\r\n0#=ramp off\r\n"
    "1#=ramp on\r\n"
    "[power]\r\n3=three\r\n4=plain 4 is not a key\r\nv=volt\r\na=amp\r\nw=watt\r\ne=energy\r\n"
    "[knobthermo]\r\n00=no offset\r\n03=plus three\r\n04=two-digit four\r\n05=two-digit five\r\n"
    "11=minus one\r\n13=minus three\r\n"
    "[WhoVideo]\r\n4000=first\r\n4005=cam five\r\n4499=last private\r\n4500=beyond\r\n5000=generic\r\n"
    "5=not a camera key\r\n"
    "[thermo]\r\n0=cooling\r\n1=one\r\n315=last\r\n316=beyond\r\n"
    "[modthermo]\r\n0=not a key\r\n3=generic\r\n"
    "[DimThermo]\r\n19=valves\r\n20=beyond\r\n"
    "[whosecurity]\r\n0=zone \\z\r\n1=not a key\r\n"
    "[aux]\r\n10=ten\r\n11=not a key\r\n"
    "[audio]\r\n100=hundred\r\n";

QStringList tableOf(const LanguageTexts &t, const QString &name)
{
    const QHash<QString, const QStringList *> tables = {
        {QStringLiteral("wholight"), &t.wholight},       {QStringLiteral("light"), &t.light},
        {QStringLiteral("automation"), &t.automation},   {QStringLiteral("power"), &t.power},
        {QStringLiteral("whopower"), &t.whopower},       {QStringLiteral("thermo"), &t.thermo},
        {QStringLiteral("whothermo"), &t.whothermo},     {QStringLiteral("dimthermo"), &t.dimthermo},
        {QStringLiteral("modthermo"), &t.modthermo},     {QStringLiteral("knobthermo"), &t.knobthermo},
        {QStringLiteral("valvethermo"), &t.valvethermo}, {QStringLiteral("devmodel"), &t.devmodel},
        {QStringLiteral("device"), &t.device},           {QStringLiteral("daydevice"), &t.daydevice},
        {QStringLiteral("security"), &t.security},       {QStringLiteral("whosecurity"), &t.whosecurity},
        {QStringLiteral("aux"), &t.aux},                 {QStringLiteral("video"), &t.video},
        {QStringLiteral("whovideo"), &t.whovideo},       {QStringLiteral("audio"), &t.audio},
    };
    const QStringList *table = tables.value(name);
    return table ? *table : QStringList();
}

IndexList range(int first, int last)
{
    IndexList l;
    for (int i = first; i <= last; ++i)
        l << i;
    return l;
}

} // namespace

void TestLanguageLoader::init()
{
    m_folder = std::make_unique<TestFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = std::make_unique<ProgramSettings>(m_folder->settingsFile());
    m_messages.shown.clear();
    m_texts = LanguageTexts();
}

void TestLanguageLoader::load(const QString &language)
{
    LanguageLoader(m_texts, *m_settings, m_messages, m_folder->path()).CaricaLingua(language);
}

void TestLanguageLoader::tableMapping_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("expected");
    QTest::newRow("light 30") << "light" << 30 << "thirty";
    QTest::newRow("light 0# is entry 31") << "light" << 31 << "ramp off";
    QTest::newRow("light 1# is entry 32") << "light" << 32 << "ramp on";
    QTest::newRow("light 31 is entry 33, after the ramps") << "light" << 33 << "down one level";
    QTest::newRow("power 3") << "power" << 3 << "three";
    QTest::newRow("power v is entry 4") << "power" << 4 << "volt";
    QTest::newRow("power a is entry 5") << "power" << 5 << "amp";
    QTest::newRow("power w is entry 6") << "power" << 6 << "watt";
    QTest::newRow("power e is entry 7") << "power" << 7 << "energy";
    QTest::newRow("knob 00") << "knobthermo" << 0 << "no offset";
    QTest::newRow("knob 03") << "knobthermo" << 3 << "plus three";
    QTest::newRow("knob 04 replaced by missing 4") << "knobthermo" << 4 << "";
    QTest::newRow("knob 05 replaced by missing 5") << "knobthermo" << 5 << "";
    QTest::newRow("knob 11") << "knobthermo" << 11 << "minus one";
    QTest::newRow("knob 13") << "knobthermo" << 13 << "minus three";
    QTest::newRow("camera 4000") << "whovideo" << 0 << "first";
    QTest::newRow("camera 4005") << "whovideo" << 5 << "cam five";
    QTest::newRow("camera 4499") << "whovideo" << 499 << "last private";
    QTest::newRow("generic unit 5000") << "whovideo" << 500 << "generic";
    QTest::newRow("thermo 0") << "thermo" << 0 << "cooling";
    QTest::newRow("thermo entry = key") << "thermo" << 1 << "one";
    QTest::newRow("thermo 315") << "thermo" << 315 << "last";
    QTest::newRow("modthermo 0 is not read") << "modthermo" << 0 << "";
    QTest::newRow("modthermo 3") << "modthermo" << 3 << "generic";
    QTest::newRow("section name ignores case") << "dimthermo" << 19 << "valves";
    QTest::newRow("whosecurity 0") << "whosecurity" << 0 << "zone \\z";
    QTest::newRow("whosecurity 1 is not read") << "whosecurity" << 1 << "";
    QTest::newRow("aux 10") << "aux" << 10 << "ten";
    QTest::newRow("aux 11 is not read") << "aux" << 11 << "";
    QTest::newRow("audio 100") << "audio" << 100 << "hundred";
}

void TestLanguageLoader::tableMapping()
{
    QFETCH(QString, table);
    QFETCH(int, entry);
    QFETCH(QString, expected);
    QVERIFY(m_folder->writeText1252(QStringLiteral("test.lng"), QString::fromLatin1(Mapping)));
    load(QStringLiteral("test"));
    const QStringList t = tableOf(m_texts, table);
    QVERIFY2(entry < t.size(), qPrintable(table));
    QCOMPARE(t.at(entry), expected);
}

void TestLanguageLoader::knobSingleDigitKeysWin()
{
    QVERIFY(m_folder->writeText1252(QStringLiteral("test.lng"),
                                    QStringLiteral("[knobthermo]\r\n04=two-digit\r\n4=local off\r\n5=protection\r\n"
                                                   "05=two-digit\r\n")));
    load(QStringLiteral("test"));
    QCOMPARE(m_texts.knobthermo.at(4), QStringLiteral("local off"));
    QCOMPARE(m_texts.knobthermo.at(5), QStringLiteral("protection"));
}

void TestLanguageLoader::versionCheck_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("warned");
    QTest::newRow("current") << "ini=1.0.4" << false;
    QTest::newRow("current with blanks") << "ini =  1.0.4   " << false;
    QTest::newRow("older") << "ini=1.0.3" << true;
    QTest::newRow("longer") << "ini=1.0.4.1" << true;
    QTest::newRow("key missing") << "other=1.0.4" << true;
}

void TestLanguageLoader::versionCheck()
{
    QFETCH(QString, version);
    QFETCH(bool, warned);
    QVERIFY(m_folder->writeText1252(
        QStringLiteral("test.lng"),
        QStringLiteral("[error]\r\niniold=Vecchio file\r\n[Version]\r\n%1\r\n[text]\r\nErrTrad=Errore\r\n"
                       "[light]\r\n1=acceso\r\n")
            .arg(version)));
    load(QStringLiteral("test"));
    if (warned) {
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown.first().text, QStringLiteral("Vecchio file"));
        QCOMPARE(m_messages.shown.first().title, QStringLiteral("Ombrix"));
    } else {
        QVERIFY(m_messages.shown.isEmpty());
    }
    // Loading goes on after the message.
    QCOMPARE(m_texts.t(QStringLiteral("ErrTrad")), QStringLiteral("Errore"));
    QCOMPARE(m_texts.light.at(1), QStringLiteral("acceso"));
}

void TestLanguageLoader::missingFile()
{
    load(QStringLiteral("absent"));
    QCOMPARE(m_messages.texts(), QStringList{QString()});
    QVERIFY(m_texts.t(QStringLiteral("NoAck")).isEmpty());
    QVERIFY(m_texts.Lcom.isEmpty());
    QCOMPARE(m_texts.TitoloApp, QStringLiteral("Tervalia"));
    // The translator relies on the sizes even when nothing was read.
    const QList<QPair<QString, int>> sizes = {
        {"wholight", 4},   {"light", 34},     {"automation", 4}, {"power", 8},       {"whopower", 3},
        {"thermo", 316},   {"whothermo", 2},  {"dimthermo", 32}, {"modthermo", 4},   {"knobthermo", 14},
        {"valvethermo", 10}, {"devmodel", 28}, {"device", 25},   {"daydevice", 7},   {"security", 32},
        {"whosecurity", 3}, {"aux", 16},      {"video", 301},    {"whovideo", 501},  {"audio", 101},
    };
    for (const auto &[name, size] : sizes) {
        const QStringList t = tableOf(m_texts, name);
        QVERIFY2(t.size() == size, qPrintable(name));
        QVERIFY2(std::all_of(t.cbegin(), t.cend(), [](const QString &s) { return s.isEmpty(); }), qPrintable(name));
    }
}

void TestLanguageLoader::derivedCaptions()
{
    QVERIFY(m_folder->writeText1252(
        QStringLiteral("test.lng"),
        QStringLiteral("[menu]\r\nFind=Trova\r\nwvolt=Volt\r\nwcurrent=Ampere\r\nwwatt=Watt\r\n"
                       "[tooltip]\r\nbut1=b1\r\nbut2=b2\r\nbut5=Camere\r\nbut8=b8\r\ncexp=Espandi\r\n"
                       "[text]\r\nCommand=Comandi\r\nMonitor=Monitor\r\nDegrees=gradi centigradi\r\n")));
    load(QStringLiteral("test"));
    QCOMPARE(m_texts.Cfind, QStringLiteral("Trova"));
    QCOMPARE(m_texts.VociEnergia[0], QStringLiteral("  Volt"));
    QCOMPARE(m_texts.VociEnergia[1], QStringLiteral("  Ampere"));
    QCOMPARE(m_texts.VociEnergia[2], QStringLiteral("  Watt"));
    QCOMPARE(m_texts.Isend, QStringLiteral("Camere"));
    QCOMPARE(m_texts.cexp, QStringLiteral("Espandi"));
    QCOMPARE(m_texts.TooltipBarra[1], QStringLiteral("b1"));
    QCOMPARE(m_texts.TooltipBarra[3], QStringLiteral("b2"));
    QCOMPARE(m_texts.TooltipBarra[7], QStringLiteral("Camere"));
    QCOMPARE(m_texts.TooltipBarra[11], QStringLiteral("b8"));
    QVERIFY(m_texts.TooltipBarra[2].isEmpty());
    QCOMPARE(m_texts.Lcom, QStringLiteral("Comandi"));
    QCOMPARE(m_texts.Lmon, QStringLiteral("Monitor"));
    QCOMPARE(m_texts.degreesWord, QStringLiteral("gradi centigradi"));
}

void TestLanguageLoader::fullStopStartsNewLine()
{
    QVERIFY(m_folder->writeText1252(
        QStringLiteral("test.lng"),
        QStringLiteral("[text]\r\nNoUpd=Nessun aggiornamento. Hai l'ultima versione.\r\n"
                       "UpdErr=Errore. Riprova. Grazie\r\nLogStop=Fermo. Ok\r\n")));
    load(QStringLiteral("test"));
    QCOMPARE(m_texts.t(QStringLiteral("NoUpd")), QStringLiteral("Nessun aggiornamento.\r\nHai l'ultima versione."));
    QCOMPARE(m_texts.t(QStringLiteral("UpdErr")), QStringLiteral("Errore.\r\nRiprova.\r\nGrazie"));
    QCOMPARE(m_texts.t(QStringLiteral("LogStop")), QStringLiteral("Fermo. Ok"));
}

void TestLanguageLoader::programCaption_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("windows path, capital extension") << "C:\\Programs\\Tool.EXE" << "Tool";
    QTest::newRow("empty") << "" << "...";
    QTest::newRow("no folder") << "notepad.exe" << "notepad";
    QTest::newRow("slash path") << "/usr/local/bin/viewer" << "viewer";
    QTest::newRow("every .exe removed") << "D:\\a.exe\\setup.exe.Exe" << "setup";
    QTest::newRow("inner .exe removed too") << "C:\\x\\my.exeditor.exe" << "myditor";
}

void TestLanguageLoader::programCaption()
{
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(LanguageLoader::programCaption(path), caption);
}

void TestLanguageLoader::programCaptionsFromSettings()
{
    m_settings->save(SettingKeys::LaunchSection, SettingKeys::launchPathKey(1), QStringLiteral("C:\\Programs\\Tool.EXE"));
    load(QStringLiteral("absent"));
    QCOMPARE(m_texts.NomiProg[0], QStringLiteral("Tool"));
    QCOMPARE(m_texts.NomiProg[1], QStringLiteral("..."));
}

void TestLanguageLoader::switchingLanguageLeavesNothingBehind()
{
    QVERIFY(m_folder->writeText1252(QStringLiteral("first.lng"),
                                    QStringLiteral("[text]\r\nNoAck=primo\r\nWho3=Termo\r\nDegrees=gradi\r\n"
                                                   "[light]\r\n5=cinquanta\r\n"
                                                   "[knobthermo]\r\n4=spento\r\n")));
    QVERIFY(m_folder->writeText1252(QStringLiteral("second.lng"), QStringLiteral("[text]\r\nNoCon=second\r\n")));
    load(QStringLiteral("first"));
    QCOMPARE(m_texts.light.at(5), QStringLiteral("cinquanta"));
    load(QStringLiteral("second"));
    QCOMPARE(m_texts.Lingua, QStringLiteral("second"));
    QCOMPARE(m_texts.t(QStringLiteral("NoCon")), QStringLiteral("second"));
    QVERIFY(m_texts.t(QStringLiteral("NoAck")).isEmpty());
    QVERIFY(m_texts.NomiWho[3].isEmpty());
    QVERIFY(m_texts.degreesWord.isEmpty());
    QVERIFY(m_texts.light.at(5).isEmpty());
    QVERIFY(m_texts.knobthermo.at(4).isEmpty());
    QCOMPARE(m_texts.light.size(), 34);
}

void TestLanguageLoader::listing()
{
    for (const char *name : {"italian.lng", "Deutsch.LNG", "english.lng", "notes.txt", "italian.lng.bak"})
        QVERIFY(m_folder->write(QString::fromLatin1(name), QByteArray("[text]\r\nNoAck=x\r\n")));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("folder.lng")));
    QCOMPARE(LanguageLoader::availableLanguages(m_folder->path()),
             (QStringList{QStringLiteral("Deutsch"), QStringLiteral("english"), QStringLiteral("italian")}));
    // The setting may hold the name in other capitals than the file.
    load(QStringLiteral("deutsch"));
    QCOMPARE(m_texts.t(QStringLiteral("NoAck")), QStringLiteral("x"));
}

// ---- The files we ship ----

void TestLanguageLoader::shippedFileLayout_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &l : ShippedLanguages)
        QTest::newRow(qPrintable(l)) << l;
}

void TestLanguageLoader::shippedFileLayout()
{
    QFETCH(QString, language);
    QFile f(TestFolder::shippedDataPath(language + QStringLiteral(".lng")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();

    QVERIFY2(bytes.contains('\xB0'), "the degree sign is byte 0xB0");
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
        QVERIFY2(!bytes.contains(undefined), "byte outside Windows-1252");
    QVERIFY2(!bytes.contains("\xC2\xB0") && !bytes.contains("\xC3"), "UTF-8 left in the file");
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));

    const QStringList lines = Windows1252::decode(bytes).split(QStringLiteral("\r\n"));
    const QStringList interface = {"menu", "tooltip", "text", "error", "version"};
    int marker = -1;
    QStringList seen;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(QStringLiteral("# OPEN WEBNET #"))) {
            QCOMPARE(marker, -1);
            marker = i;
        } else if (line.startsWith(QLatin1Char('['))) {
            const QString section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1).toLower();
            QVERIFY2(!seen.contains(section), qPrintable(section));
            seen << section;
            // The updater keeps everything above the marker from the new file, the rest from the old.
            QVERIFY2(interface.contains(section) == (marker < 0), qPrintable(section));
        } else if (!line.startsWith(QLatin1Char(';')) && line.contains(QLatin1Char('='))) {
            QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
            if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
                value = value.mid(1, value.size() - 2);
            QVERIFY2(value.size() <= 79, qPrintable(line));
        } else {
            QVERIFY2(!line.contains(QLatin1Char('=')), qPrintable(line));
        }
    }
    QVERIFY(marker > 0);
    QCOMPARE(seen.mid(0, 5), interface);
    QCOMPARE(seen.size(), 25);

    QVERIFY(m_folder->copyShipped(language + QStringLiteral(".lng")));
    load(language);
    QVERIFY2(m_messages.shown.isEmpty(), "the shipped file is of the current version");
    QVERIFY(m_texts.t(QStringLiteral("txtPwCon")).contains(QStringLiteral("\\ip")));
    QVERIFY(m_texts.dimthermo.at(0).contains(QStringLiteral("°C")));
    // Sentences write "\c\n" with nothing between: the quoted words carry the blank.
    for (const QString &word : m_texts.wholight)
        QVERIFY2(word.endsWith(QLatin1Char(' ')) && !word.trimmed().isEmpty(), qPrintable(word));
    QVERIFY(m_texts.whopower.at(1).endsWith(QLatin1Char(' ')));
}

void TestLanguageLoader::shippedInterfaceKeys_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("keys");
    const QStringList menu = {"File", "Save", "Exit", "Tool", "Find", "Donate", "About", "Help", "Agg",
                              "Options", "windows", "waux", "wprobe", "wcamera", "wvolt", "wcurrent", "wwatt",
                              "Language"};
    const QStringList tooltip = {"but1", "but2", "but3", "but4", "but5", "but6", "but7", "but8", "cexp",
                                   "ccycle", "cmotion", "cstart", "cstop"};
    QStringList text = {"txtPwCon", "txtFile", "IpAdr", "Port", "Exit", "NoAck", "NoCon",
                        "WaitCon", "StatCon", "Open", "Lastmsg", "Refresh", "Useagent", "Agnone", "Aghide",
                        "Agsound", "Options", "RClick", "NoComm", "NoUsb", "Stop", "StartMon", "Traystart",
                        "Traystop", "LogStart", "LogStop", "ErrTrad", "Monstart", "Comstart", "Comstop", "UpdChk",
                        "link", "UpdReady", "UpdAct", "UpdNew", "UpdDwn", "NoUpd", "UpdErr", "nofound", "ontop",
                        "Connection", "General", "Protocol", "Colmon", "ColCom", "Stupmon", "Stupmin", "Stupchk",
                        "Launch", "Degrees", "PwWhere", "CmdEmpty", "CmdChars", "CmdShape", "CmdWho", "PwRange",
                        "AlUnit", "AlArmed", "AlBattery", "AlMains"};
    for (int i = 0; i < 6; ++i)
        text << QStringLiteral("Pcam%1").arg(i);
    for (int i = 0; i < 9; ++i)
        text << QStringLiteral("Who%1").arg(i);
    const QStringList error = {"xmlActDup", "xmlGrDup", "xmlAuxDup", "xmlLoadDup", "xmlProbeDup", "xmlCameraDup",
                               "xmlf420Dup", "xml200Dup", "xmlGrErr", "xmlAuxErr", "xmlLoadErr", "xmlProbeErr",
                               "xmlCameraErr", "xmlf420Err", "xml200Err", "xmlcenAErr", "xmlcenDErr", "xmlgen",
                               "xmlold", "iniold", "comdetect", "nodetect", "xmlNoAttr", "xmlNotNum",
                               "xmlOutRange"};
    for (const QString &l : ShippedLanguages) {
        QTest::addRow("%s menu", qPrintable(l)) << l << "menu" << menu;
        QTest::addRow("%s tooltip", qPrintable(l)) << l << "tooltip" << tooltip;
        QTest::addRow("%s text", qPrintable(l)) << l << "text" << text;
        QTest::addRow("%s error", qPrintable(l)) << l << "error" << error;
    }
}

void TestLanguageLoader::shippedInterfaceKeys()
{
    QFETCH(QString, language);
    QFETCH(QString, section);
    QFETCH(QStringList, keys);
    QVERIFY(m_folder->copyShipped(language + QStringLiteral(".lng")));
    load(language);
    const QHash<QString, QString> &values = section == QLatin1String("menu")      ? m_texts.menu
                                            : section == QLatin1String("tooltip") ? m_texts.tooltip
                                            : section == QLatin1String("text")    ? m_texts.text
                                                                                  : m_texts.error;
    for (const QString &key : keys)
        QVERIFY2(!values.value(key).isEmpty(), qPrintable(key));
    if (section == QLatin1String("text")) {
        QVERIFY(!m_texts.Lcom.isEmpty() && !m_texts.Lmon.isEmpty());
        QVERIFY(std::none_of(m_texts.NomiWho.cbegin(), m_texts.NomiWho.cend(), std::mem_fn(&QString::isEmpty)));
        QVERIFY(std::none_of(m_texts.TestiPcam.cbegin(), m_texts.TestiPcam.cend(), std::mem_fn(&QString::isEmpty)));
    }
    if (section == QLatin1String("error")) {
        // Duplicate messages name the entry in place of "\n".
        for (const QString &key : keys) {
            if (key.endsWith(QLatin1String("Dup")))
                QVERIFY2(values.value(key).contains(QStringLiteral("\\n")), qPrintable(key));
        }
        // Faults of conf.xml say where: line, element and attribute.
        for (const char *key : {"xmlNoAttr", "xmlNotNum", "xmlOutRange"}) {
            for (const char *placeholder : {"\\l", "\\e", "\\a"})
                QVERIFY2(values.value(QLatin1String(key)).contains(QLatin1String(placeholder)), key);
        }
    }
}

void TestLanguageLoader::shippedTables_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("table");
    QTest::addColumn<IndexList>("entries");
    QTest::addColumn<QStringList>("required");   // placeholders the family fills
    QTest::addColumn<QStringList>("forbidden");  // placeholders nobody would fill there

    const QStringList none;
    const QStringList pointSentence = {"\\c", "\\n"};
    struct Row
    {
        const char *name;
        const char *table;
        IndexList entries;
        QStringList required;
        QStringList forbidden;
    };
    const QList<Row> rows = {
        {"category words", "wholight", range(0, 3), none, none},
        {"light commands", "light", range(0, 30) << 33, pointSentence, {"\\v"}},
        {"light ramps", "light", {31, 32}, {"\\c", "\\n", "\\v"}, none},
        {"automation", "automation", range(0, 2), pointSentence, none},
        {"load events", "power", range(0, 3), pointSentence, {"\\d"}},
        {"meter readings", "power", range(4, 7), {"\\d"}, {"\\n", "\\c"}},
        {"energy categories", "whopower", range(0, 2), none, {"\\n"}},
        // Below 102 the zone is filled where the text names it (the central unit's own events
        // do not); the modes also follow the central-unit word, where it is not.
        {"zone events", "thermo", {0, 1, 40}, {"\\z"}, {"\\m"}},
        {"central unit events", "thermo", {20, 21, 22, 23, 24, 30, 31}, none, {"\\m"}},
        {"thermo modes", "thermo", {102, 103, 110, 111, 115, 202, 203, 210, 211, 215, 302, 303, 310, 311, 315},
         none, {"\\z", "\\m"}},
        {"central unit word", "whothermo", {0}, {"\\m"}, {"\\z"}},
        {"zone word", "whothermo", {1}, {"\\z"}, {"\\m"}},
        {"temperature", "dimthermo", {0}, {"\\t", "\\z"}, none},
        {"set point and expected", "dimthermo", {12, 14}, {"\\t", "\\m", "\\z"}, none},
        {"knob", "dimthermo", {13}, {"\\n", "\\z"}, none},
        {"valves", "dimthermo", {19}, {"\\vc", "\\vr", "\\z"}, none},
        {"modes", "modthermo", range(1, 3), none, none},
        {"knob offsets", "knobthermo", {0, 1, 2, 3, 4, 5, 11, 12, 13}, none, none},
        {"valve states", "valvethermo", range(0, 8), none, none},
        {"gateway models", "devmodel", {2, 4, 6, 7, 11, 12, 13, 15, 16, 27}, none, none},
        {"gateway time", "device", {0}, {"\\h"}, none},
        {"gateway date", "device", {1}, {"\\ww", "\\dd", "\\mm", "\\aa"}, none},
        {"gateway date and time", "device", {22}, {"\\h", "\\ww", "\\dd", "\\mm", "\\aa"}, none},
        {"gateway numbers", "device", {10, 11, 12, 16, 19, 23, 24}, {"\\n"}, none},
        {"gateway model", "device", {15}, {"\\m"}, none},
        {"gateway hardware", "device", {17}, none, {"\\n", "\\h", "\\m"}},
        {"weekdays", "daydevice", range(0, 6), none, none},
        {"alarm system", "security", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 26, 27}, none, {"\\n"}},
        {"alarm zones", "security", {11, 12, 13, 15, 16, 17, 18, 31}, {"\\c"}, {"\\n"}},
        {"alarm no reception", "security", {14}, {"\\c", "\\n"}, none},
        {"alarm zone word", "whosecurity", {0}, {"\\z"}, none},
        {"auxiliary", "aux", range(0, 10), {"\\n"}, none},
        {"cameras", "video", {0, 9}, {"\\n"}, none},
        {"camera picture", "video", {120, 121, 130, 131, 140, 141, 150, 151, 160, 161, 170, 171, 180, 181}, none,
         {"\\n"}},
        {"camera quadrant", "video", {300}, {"\\x", "\\y"}, none},
        {"camera names", "whovideo", range(0, 99) << 500, none, none},
        {"sound system", "audio", {0, 3, 10, 13}, {"\\n"}, none},
    };
    for (const QString &l : ShippedLanguages) {
        for (const Row &r : rows)
            QTest::addRow("%s %s", qPrintable(l), r.name) << l << r.table << r.entries << r.required << r.forbidden;
    }
}

void TestLanguageLoader::shippedTables()
{
    QFETCH(QString, language);
    QFETCH(QString, table);
    QFETCH(IndexList, entries);
    QFETCH(QStringList, required);
    QFETCH(QStringList, forbidden);
    QVERIFY(m_folder->copyShipped(language + QStringLiteral(".lng")));
    load(language);
    const QStringList t = tableOf(m_texts, table);
    for (const int i : entries) {
        const QString &s = t.at(i);
        const QByteArray where = table.toLatin1() + ' ' + QByteArray::number(i) + ": " + s.toUtf8();
        QVERIFY2(!s.isEmpty(), where.constData());
        for (const QString &p : required)
            QVERIFY2(s.contains(p), (where + " lacks " + p.toLatin1()).constData());
        for (const QString &p : forbidden)
            QVERIFY2(!s.contains(p), (where + " has " + p.toLatin1()).constData());
        // The energy family appends its own full stop.
        if (table == QLatin1String("power"))
            QVERIFY2(!s.endsWith(QLatin1Char('.')), where.constData());
    }
}

QTEST_GUILESS_MAIN(TestLanguageLoader)
#include "tst_languageloader.moc"
