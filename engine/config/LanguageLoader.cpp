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

namespace {

const QString Extension = QStringLiteral(".lng");

QString str(const char *latin1) { return QString::fromLatin1(latin1); }

// Entries whose key is their decimal number, from first to last; the rest stay empty.
QStringList decimalTable(const IniDocument &ini, const QString &section, int first, int last, int size)
{
    QStringList table(size);
    for (int i = first; i <= last; ++i)
        table[i] = ini.value(section, QString::number(i));
    return table;
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
    LanguageTexts &t = m_texts;
    t.Lingua = language;

    const QString menu = QStringLiteral("menu");
    t.menu.clear();
    for (const char *key : {"File", "Save", "Exit", "Tool", "Find", "Donate", "About", "Help", "Agg", "Options",
                            "windows", "waux", "wprobe", "wcamera", "wvolt", "wcurrent", "wwatt", "Language"})
        t.menu.insert(str(key), ini.value(menu, str(key)));
    t.Cfind = t.menu.value(QStringLiteral("Find"));

    const QString tooltip = QStringLiteral("tooltip");
    t.tooltip.clear();
    t.TooltipBarra.fill(QString());
    // "but1".."but8" onto toolbar buttons 1, 3, 5, 6, 7, 8, 9, 11 (the others are separators).
    static constexpr int Buttons[8] = {1, 3, 5, 6, 7, 8, 9, 11};
    for (int i = 0; i < 8; ++i) {
        const QString key = QStringLiteral("but") + QString::number(i + 1);
        t.tooltip.insert(key, ini.value(tooltip, key));
        t.TooltipBarra[Buttons[i]] = t.tooltip.value(key);
    }
    t.cexp = ini.value(tooltip, QStringLiteral("cexp"));
    t.tooltip.insert(QStringLiteral("cexp"), t.cexp);
    // The camera window's own controls.
    for (const char *key : {"ccycle", "cmotion", "cstart", "cstop"})
        t.tooltip.insert(str(key), ini.value(tooltip, str(key)));
    const QString twoBlanks = QStringLiteral("  ");
    t.VociEnergia = {twoBlanks + t.menu.value(QStringLiteral("wvolt")),
                     twoBlanks + t.menu.value(QStringLiteral("wcurrent")),
                     twoBlanks + t.menu.value(QStringLiteral("wwatt"))};
    t.Isend = t.tooltip.value(QStringLiteral("but5"));

    const QString text = QStringLiteral("text");
    t.text.clear();
    t.Lcom = ini.value(text, QStringLiteral("Command"));
    t.Lmon = ini.value(text, QStringLiteral("Monitor"));

    const QString error = QStringLiteral("error");
    t.error.clear();
    for (const char *key : {"xmlActDup", "xmlGrDup", "xmlAuxDup", "xmlLoadDup", "xmlProbeDup", "xmlCameraDup",
                            "xmlf420Dup", "xml200Dup", "xmlGrErr", "xmlAuxErr", "xmlLoadErr", "xmlProbeErr",
                            "xmlCameraErr", "xmlf420Err", "xml200Err", "xmlcenAErr", "xmlcenDErr", "xmlgen",
                            "xmlold", "iniold", "comdetect", "nodetect", "xmlNoAttr", "xmlNotNum", "xmlOutRange"})
        t.error.insert(str(key), ini.value(error, str(key)));

    // An older file still loads: what it lacks stays empty.
    if (ini.value(QStringLiteral("Version"), QStringLiteral("ini")) != QLatin1String(CurrentVersion))
        m_messages.message(t.error.value(QStringLiteral("iniold")), ProgramIdentity::Title);

    const auto readTexts = [&](std::initializer_list<const char *> keys) {
        for (const char *key : keys)
            t.text.insert(str(key), ini.value(text, str(key)));
    };
    readTexts({"txtPwCon", "PortErr", "txtFile", "IpAdr", "Port", "Exit", "NoAck", "NoCon", "WaitCon", "StatCon", "Open",
               "Lastmsg", "Refresh"});
    for (int i = 0; i < 6; ++i) {
        const QString key = QStringLiteral("Pcam") + QString::number(i);
        t.TestiPcam[i] = ini.value(text, key);
        t.text.insert(key, t.TestiPcam[i]);
    }
    readTexts({"Useagent", "Agnone", "Aghide", "Agsound"});

    for (int slot = 1; slot <= 2; ++slot) {
        const QString path = m_settings.read(SettingKeys::LaunchSection, SettingKeys::launchPathKey(slot), QString());
        t.NomiProg[slot - 1] = programCaption(path);
    }

    readTexts({"Options", "RClick", "NoComm", "NoUsb"});
    t.TitoloApp = ProgramIdentity::TitoloApp;
    readTexts({"Stop", "StartMon", "Traystart", "Traystop", "LogStart", "LogStop", "ErrTrad", "Monstart",
               "Comstart", "Comstop", "UpdChk", "link", "UpdReady", "UpdAct", "UpdNew", "UpdDwn", "NoUpd",
               "UpdErr"});
    // The update window shows each sentence of these two on its own line.
    for (const char *key : {"NoUpd", "UpdErr"})
        t.text[str(key)].replace(QStringLiteral(". "), QStringLiteral(".\r\n"));

    readTexts({"nofound", "ontop", "Connection", "General", "Protocol", "Colmon", "ColCom", "Stupmon", "Stupmin",
               "Stupchk", "Launch", "Degrees"});
    // Read once here rather than looked up for every sentence that is spoken.
    t.degreesWord = t.text.value(QStringLiteral("Degrees"));
    readTexts({"OptPwd", "OptDetect", "OptChum", "OptNotices", "OptFx", "OptColours", "OptTras", "OptPos", "OptTry",
               "OptNotice", "OptSpeak", "OptLog", "OptFore", "OptBack", "OptPick", "OptClear"});
    // Why the command box refused a text, where the password goes, the alarm window's captions.
    readTexts({"CmdEmpty", "CmdChars", "CmdShape", "CmdWho", "PwWhere", "AlUnit", "AlArmed", "AlBattery", "AlMains"});
    // Names a screen reader says for controls that show only a picture or a symbol.
    readTexts({"LogClear", "FindClose", "SendFrame", "CmdBox", "LampBus", "LampChum"});
    for (int i = 0; i < 9; ++i) {
        const QString key = QStringLiteral("Who") + QString::number(i);
        t.NomiWho[i] = ini.value(text, key);
        t.text.insert(key, t.NomiWho[i]);
    }

    const auto table = [&](const char *section, int first, int last, int size) {
        return decimalTable(ini, str(section), first, last, size);
    };
    t.wholight = table("wholight", 0, 3, 4);
    // "0#" and "1#" are the ramp texts of entries 31 and 32, so command 31 (down one level)
    // keeps its text after them.
    const QString light = QStringLiteral("light");
    t.light = table("light", 0, 30, 34);
    t.light[31] = ini.value(light, QStringLiteral("0#"));
    t.light[32] = ini.value(light, QStringLiteral("1#"));
    t.light[33] = ini.value(light, QStringLiteral("31"));
    t.automation = table("automation", 0, 2, 4);
    t.power = table("power", 0, 3, 8);
    const QString power = QStringLiteral("power");
    t.power[4] = ini.value(power, QStringLiteral("v"));
    t.power[5] = ini.value(power, QStringLiteral("a"));
    t.power[6] = ini.value(power, QStringLiteral("w"));
    t.power[7] = ini.value(power, QStringLiteral("e"));
    t.whopower = table("whopower", 0, 2, 3);
    t.thermo = table("thermo", 0, 315, 316);
    t.whothermo = table("whothermo", 0, 1, 2);
    t.dimthermo = table("dimthermo", 0, 19, 32);
    t.modthermo = table("modthermo", 1, 3, 4);
    // Offsets come as two digits, except "4" (local off) and "5" (local protection), which
    // win over "04" and "05" even when they are missing.
    const QString knob = QStringLiteral("knobthermo");
    t.knobthermo = QStringList(14);
    for (int i = 0; i <= 13; ++i)
        t.knobthermo[i] = ini.value(knob, QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    t.knobthermo[4] = ini.value(knob, QStringLiteral("4"));
    t.knobthermo[5] = ini.value(knob, QStringLiteral("5"));
    t.valvethermo = table("valvethermo", 0, 9, 10);
    t.devmodel = table("devmodel", 0, 27, 28);
    t.device = table("device", 0, 24, 25);
    t.daydevice = table("daydevice", 0, 6, 7);
    t.security = table("security", 0, 31, 32);
    t.whosecurity = table("whosecurity", 0, 0, 3);
    t.aux = table("aux", 0, 10, 16);
    t.video = table("video", 0, 300, 301);
    // Cameras by bus address: 4000..4499 are entries 0..499, the generic unit 5000 is 500.
    const QString whovideo = QStringLiteral("whovideo");
    t.whovideo = QStringList(501);
    for (int i = 0; i < 500; ++i)
        t.whovideo[i] = ini.value(whovideo, QString::number(4000 + i));
    t.whovideo[500] = ini.value(whovideo, QStringLiteral("5000"));
    t.audio = table("audio", 0, 100, 101);
}
