#include "engine/config/LanguageLoader.h"

#include "engine/config/IniDocument.h"
#include "engine/model/LanguageTexts.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

namespace {

const QString Extension = QStringLiteral(".lng");

QString str(const char *latin1) { return QString::fromLatin1(latin1); }

// A section read key by key into one of the texts' dictionaries.
struct KeyedSection
{
    const char *name;
    QHash<QString, QString> LanguageTexts::*target;
    std::vector<const char *> keys;
};

const std::vector<KeyedSection> &keyedSections()
{
    static const std::vector<KeyedSection> sections{
        {"menu", &LanguageTexts::menu,
         {"File", "Save", "Exit", "Tool", "Find", "Donate", "About", "Help", "Agg", "Options", "windows", "waux",
          "wprobe", "wcamera", "wvolt", "wcurrent", "wwatt", "Language"}},
        {"tooltip", &LanguageTexts::tooltip,
         {"but1", "but2", "but3", "but4", "but5", "but6", "but7", "but8", "cexp",
          // The camera window's own controls.
          "ccycle", "cmotion", "cstart", "cstop"}},
        {"error", &LanguageTexts::error,
         {"xmlActDup", "xmlGrDup", "xmlAuxDup", "xmlLoadDup", "xmlProbeDup", "xmlCameraDup", "xmlf420Dup",
          "xml200Dup", "xmlGrErr", "xmlAuxErr", "xmlLoadErr", "xmlProbeErr", "xmlCameraErr", "xmlf420Err",
          "xml200Err", "xmlcenAErr", "xmlcenDErr", "xmlgen", "xmlold", "iniold", "comdetect", "nodetect",
          "xmlNoAttr", "xmlNotNum", "xmlOutRange"}},
        {"text", &LanguageTexts::text,
         {"txtPwCon", "PortErr", "txtFile", "IpAdr", "Port", "Exit", "NoAck", "NoCon", "WaitCon", "StatCon",
          "Open", "Lastmsg", "Refresh", "Useagent", "Agnone", "Aghide", "Agsound", "Options", "RClick", "NoComm",
          "NoUsb", "Stop", "StartMon", "Traystart", "Traystop", "LogStart", "LogStop", "ErrTrad", "Monstart",
          "Comstart", "Comstop", "UpdChk", "link", "UpdReady", "UpdAct", "UpdNew", "UpdDwn", "NoUpd", "UpdErr",
          "nofound", "ontop", "Connection", "General", "Protocol", "Colmon", "ColCom", "Stupmon", "Stupmin",
          "Stupchk", "Launch", "Degrees", "OptPwd", "OptDetect", "OptChum", "OptNotices", "OptFx", "OptColours",
          "OptTras", "OptPos", "OptTry", "OptNotice", "OptSpeak", "OptLog", "OptFore", "OptBack", "OptPick",
          "OptClear",
          // Why the command box refused a text, where the password goes, the alarm window's captions.
          "CmdEmpty", "CmdChars", "CmdShape", "CmdWho", "PwWhere", "PwRange", "AlUnit", "AlArmed", "AlBattery",
          "AlMains",
          // Names a screen reader says for controls that show only a picture or a symbol.
          "LogClear", "FindClose", "SendFrame", "CmdBox", "LampBus", "LampChum",
          // The camera window: names of its picture, readout and cycle button, the readout's
          // alarm, and what its camera buttons show.
          "CamPicture", "CamMotion", "CamAlarm", "CamCycle", "CamCycling", "CamShown", "CamFlagged"}},
    };
    return sections;
}

// A translation table: entry i (first..last) under the key base + i, written with at least
// `width` digits; the entries it does not name stay empty.
struct NumberedTable
{
    const char *name;
    QStringList LanguageTexts::*target;
    int first;
    int last;
    int size;
    int keyBase = 0;
    int width = 1;
};

const NumberedTable NumberedTables[] = {
    {"wholight", &LanguageTexts::wholight, 0, 3, 4},
    {"light", &LanguageTexts::light, 0, 30, 34},
    {"automation", &LanguageTexts::automation, 0, 2, 4},
    {"power", &LanguageTexts::power, 0, 3, 8},
    {"whopower", &LanguageTexts::whopower, 0, 2, 3},
    {"thermo", &LanguageTexts::thermo, 0, 315, 316},
    {"whothermo", &LanguageTexts::whothermo, 0, 1, 2},
    {"dimthermo", &LanguageTexts::dimthermo, 0, 19, 32},
    {"modthermo", &LanguageTexts::modthermo, 1, 3, 4},
    // Offsets come as two digits.
    {"knobthermo", &LanguageTexts::knobthermo, 0, 13, 14, 0, 2},
    {"valvethermo", &LanguageTexts::valvethermo, 0, 9, 10},
    {"devmodel", &LanguageTexts::devmodel, 0, 27, 28},
    {"device", &LanguageTexts::device, 0, 24, 25},
    {"daydevice", &LanguageTexts::daydevice, 0, 6, 7},
    {"security", &LanguageTexts::security, 0, 31, 32},
    {"whosecurity", &LanguageTexts::whosecurity, 0, 0, 3},
    {"aux", &LanguageTexts::aux, 0, 10, 16},
    {"video", &LanguageTexts::video, 0, 300, 301},
    // Cameras by bus address: 4000..4499 are entries 0..499.
    {"whovideo", &LanguageTexts::whovideo, 0, 499, 501, 4000},
    {"audio", &LanguageTexts::audio, 0, 100, 101},
};

// Table entries under a key of their own, read after the numbered ones so that they win.
struct NamedEntry
{
    const char *section;
    QStringList LanguageTexts::*target;
    int index;
    const char *key;
};

const NamedEntry NamedEntries[] = {
    // "0#" and "1#" are the ramp texts of entries 31 and 32, so command 31 (down one level)
    // keeps its text after them.
    {"light", &LanguageTexts::light, 31, "0#"},
    {"light", &LanguageTexts::light, 32, "1#"},
    {"light", &LanguageTexts::light, 33, "31"},
    {"power", &LanguageTexts::power, 4, "v"},
    {"power", &LanguageTexts::power, 5, "a"},
    {"power", &LanguageTexts::power, 6, "w"},
    {"power", &LanguageTexts::power, 7, "e"},
    // "4" (local off) and "5" (local protection) win over "04" and "05" even when missing.
    {"knobthermo", &LanguageTexts::knobthermo, 4, "4"},
    {"knobthermo", &LanguageTexts::knobthermo, 5, "5"},
    // The generic camera unit.
    {"whovideo", &LanguageTexts::whovideo, 500, "5000"},
};

// [text] entries prefix0, prefix1, ...: kept both in the array and among the texts.
template<std::size_t N>
void readNumberedTexts(const IniDocument &ini, LanguageTexts &t, const QString &prefix, std::array<QString, N> &out)
{
    const QString text = QStringLiteral("text");
    for (std::size_t i = 0; i < N; ++i) {
        const QString key = prefix + QString::number(i);
        out[i] = ini.value(text, key);
        t.text.insert(key, out[i]);
    }
}

} // namespace

LanguageLoader::LanguageLoader(LanguageTexts &texts, const ProgramSettings &settings,
                               MessageBoxService &messages, const QString &programFolder)
    : m_texts(texts), m_settings(settings), m_messages(messages), m_folder(programFolder)
{
}

QStringList LanguageLoader::availableLanguages(const QString &programFolder)
{
    const QDir dir(programFolder);
    const QStringList files = dir.entryList({QLatin1Char('*') + Extension}, QDir::Files | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    QStringList names;
    names.reserve(files.size());
    for (const QString &f : files)
        names << f.left(f.size() - Extension.size());
    return names;
}

QString LanguageLoader::languageFile(const QString &programFolder, const QString &language)
{
    const QDir dir(programFolder);
    const QString exact = language + Extension;
    if (QFileInfo::exists(dir.filePath(exact)))
        return dir.filePath(exact);
    const QStringList files = dir.entryList({QLatin1Char('*') + Extension}, QDir::Files, QDir::Name);
    for (const QString &f : files) {
        if (f.compare(exact, Qt::CaseInsensitive) == 0)
            return dir.filePath(f);
    }
    return dir.filePath(exact);
}

QString LanguageLoader::programCaption(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("...");
    // Paths are saved by the options dialog in the platform's form; accept both separators.
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    QString name = path.mid(cut + 1);
    name.remove(QStringLiteral(".exe"), Qt::CaseInsensitive);
    return name;
}

void LanguageLoader::CaricaLingua(const QString &language)
{
    // One parse per load; a missing file reads as empty, which is not an error.
    const IniDocument ini(languageFile(m_folder, language));
    m_texts.Lingua = language;
    readKeyedSections(ini);
    deriveFromMenuAndTooltips();
    m_texts.Lcom = ini.value(QStringLiteral("text"), QStringLiteral("Command"));
    m_texts.Lmon = ini.value(QStringLiteral("text"), QStringLiteral("Monitor"));

    // An older file still loads: what it lacks stays empty.
    if (ini.value(QStringLiteral("Version"), QStringLiteral("ini")) != QLatin1String(CurrentVersion))
        m_messages.message(m_texts.error.value(QStringLiteral("iniold")), ProgramIdentity::Title);

    readTexts(ini);
    readProgramCaptions();
    readTranslationTables(ini);
}

// [text] is only emptied here; readTexts fills it once the version notice is out of the way.
void LanguageLoader::readKeyedSections(const IniDocument &ini)
{
    for (const KeyedSection &section : keyedSections()) {
        QHash<QString, QString> &target = m_texts.*section.target;
        target.clear();
        if (section.target == &LanguageTexts::text)
            continue;
        const QString name = str(section.name);
        for (const char *key : section.keys)
            target.insert(str(key), ini.value(name, str(key)));
    }
}

void LanguageLoader::deriveFromMenuAndTooltips()
{
    LanguageTexts &t = m_texts;
    t.Cfind = t.menu.value(QStringLiteral("Find"));
    // "but1".."but8" onto toolbar buttons 1, 3, 5, 6, 7, 8, 9, 11 (the others are separators).
    static constexpr int Buttons[8] = {1, 3, 5, 6, 7, 8, 9, 11};
    t.TooltipBarra.fill(QString());
    for (int i = 0; i < 8; ++i)
        t.TooltipBarra[Buttons[i]] = t.tooltip.value(QStringLiteral("but") + QString::number(i + 1));
    t.cexp = t.tooltip.value(QStringLiteral("cexp"));
    t.Isend = t.tooltip.value(QStringLiteral("but5"));
    const QString twoBlanks = QStringLiteral("  ");
    t.VociEnergia = {twoBlanks + t.menu.value(QStringLiteral("wvolt")),
                     twoBlanks + t.menu.value(QStringLiteral("wcurrent")),
                     twoBlanks + t.menu.value(QStringLiteral("wwatt"))};
}

void LanguageLoader::readTexts(const IniDocument &ini)
{
    LanguageTexts &t = m_texts;
    const QString text = QStringLiteral("text");
    for (const KeyedSection &section : keyedSections()) {
        if (section.target != &LanguageTexts::text)
            continue;
        for (const char *key : section.keys)
            t.text.insert(str(key), ini.value(text, str(key)));
    }
    readNumberedTexts(ini, t, QStringLiteral("Pcam"), t.TestiPcam);
    readNumberedTexts(ini, t, QStringLiteral("Who"), t.NomiWho);
    // The update window shows each sentence of these two on its own line.
    for (const char *key : {"NoUpd", "UpdErr"})
        t.text[str(key)].replace(QStringLiteral(". "), QStringLiteral(".\r\n"));
    // Read once here rather than looked up for every sentence that is spoken.
    t.degreesWord = t.text.value(QStringLiteral("Degrees"));
    t.TitoloApp = ProgramIdentity::TitoloApp;
}

void LanguageLoader::readProgramCaptions()
{
    for (int slot = 1; slot <= 2; ++slot) {
        const QString path = m_settings.read(SettingKeys::LaunchSection, SettingKeys::launchPathKey(slot), QString());
        m_texts.NomiProg[slot - 1] = programCaption(path);
    }
}

void LanguageLoader::readTranslationTables(const IniDocument &ini)
{
    for (const NumberedTable &table : NumberedTables) {
        const QString section = str(table.name);
        QStringList entries(table.size);
        for (int i = table.first; i <= table.last; ++i)
            entries[i] = ini.value(section, QStringLiteral("%1").arg(table.keyBase + i, table.width, 10, QLatin1Char('0')));
        m_texts.*table.target = entries;
    }
    for (const NamedEntry &entry : NamedEntries)
        (m_texts.*entry.target)[entry.index] = ini.value(str(entry.section), str(entry.key));
}
