#include "updater/LanguageMerge.h"

#include "engine/config/IniDocument.h"
#include "updater/IniWriter.h"
#include "updater/UpdateLog.h"
#include "updater/UpdaterFiles.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QFile>

using UpdaterFiles::Crlf;
using UpdaterFiles::CurrentFormat;

const LanguageLayout &LanguageLayout::italian()
{
    static const LanguageLayout layout{
        QStringLiteral("italian"),
        QStringLiteral("Versione attuale lingua ita: "),
        true,
        QStringLiteral("italiano"),
        QStringLiteral("centrale \\m"),
        QStringLiteral("zona \\z"),
        QStringLiteral("prevista \\t\u00B0c in zona \\z modo \\m"),
        {
            {QStringLiteral("tooltip"), QStringLiteral("ccycle"),
             QStringLiteral("Ciclo delle telecamere scelte (clic destro su una telecamera per sceglierla)")},
            {QStringLiteral("tooltip"), QStringLiteral("cmotion"), QStringLiteral("Rilevamento di movimento")},
            {QStringLiteral("tooltip"), QStringLiteral("cstart"), QStringLiteral("Avvia")},
            {QStringLiteral("tooltip"), QStringLiteral("cstop"), QStringLiteral("Ferma")},
            {QStringLiteral("text"), QStringLiteral("PwWhere"),
             QStringLiteral("Inserire la password in Opzioni, scheda Connessione, Password (solo cifre)")},
            {QStringLiteral("text"), QStringLiteral("CmdEmpty"),
             QStringLiteral("Niente da inviare: scrivere una frame come *1*1*11##")},
            {QStringLiteral("text"), QStringLiteral("CmdChars"),
             QStringLiteral("Non inviata: una frame contiene solo cifre, * e #")},
            {QStringLiteral("text"), QStringLiteral("CmdShape"),
             QStringLiteral("Non inviata: una frame inizia con * e finisce con ##")},
            {QStringLiteral("text"), QStringLiteral("CmdWho"),
             QStringLiteral("Non inviata: manca il WHO, il numero dopo il primo *")},
            {QStringLiteral("text"), QStringLiteral("AlUnit"), QStringLiteral("Centrale")},
            {QStringLiteral("text"), QStringLiteral("AlArmed"), QStringLiteral("Inserimento")},
            {QStringLiteral("text"), QStringLiteral("AlBattery"), QStringLiteral("Batteria")},
            {QStringLiteral("text"), QStringLiteral("AlMains"), QStringLiteral("Rete")},
        },
    };
    return layout;
}

const LanguageLayout &LanguageLayout::english()
{
    static const LanguageLayout layout{
        QStringLiteral("english"),
        QStringLiteral("\r\n\r\nVersione lingua eng: "),
        false,
        QStringLiteral("inglese"),
        QStringLiteral("unit \\m"),
        QStringLiteral("zone \\z"),
        QStringLiteral("expected \\t\u00B0c on zone \\z mode \\m"),
        {
            {QStringLiteral("tooltip"), QStringLiteral("ccycle"),
             QStringLiteral("Cycle through the flagged cameras (right-click a camera to flag it)")},
            {QStringLiteral("tooltip"), QStringLiteral("cmotion"), QStringLiteral("Motion detection")},
            {QStringLiteral("tooltip"), QStringLiteral("cstart"), QStringLiteral("Start")},
            {QStringLiteral("tooltip"), QStringLiteral("cstop"), QStringLiteral("Stop")},
            {QStringLiteral("text"), QStringLiteral("PwWhere"),
             QStringLiteral("Enter the password in Options, Connection tab, Password (digits only)")},
            {QStringLiteral("text"), QStringLiteral("CmdEmpty"),
             QStringLiteral("Nothing to send: type a frame such as *1*1*11##")},
            {QStringLiteral("text"), QStringLiteral("CmdChars"),
             QStringLiteral("Not sent: a frame holds only digits, * and #")},
            {QStringLiteral("text"), QStringLiteral("CmdShape"),
             QStringLiteral("Not sent: a frame starts with * and ends with ##")},
            {QStringLiteral("text"), QStringLiteral("CmdWho"),
             QStringLiteral("Not sent: a frame needs its WHO, the number after the first *")},
            {QStringLiteral("text"), QStringLiteral("AlUnit"), QStringLiteral("Control unit")},
            {QStringLiteral("text"), QStringLiteral("AlArmed"), QStringLiteral("Armed")},
            {QStringLiteral("text"), QStringLiteral("AlBattery"), QStringLiteral("Battery")},
            {QStringLiteral("text"), QStringLiteral("AlMains"), QStringLiteral("Mains")},
        },
    };
    return layout;
}

namespace {

// Position of the marker where it starts a line, or -1.
qsizetype markerLine(const QString &text)
{
    if (text.startsWith(LanguageMarker))
        return 0;
    const qsizetype at = text.indexOf(Crlf + LanguageMarker);
    return at < 0 ? -1 : at + Crlf.size();
}

} // namespace

bool mergedLanguageText(const QString &newText, const QString &installedText, QString *merged,
                        bool *newLacksMarker)
{
    const qsizetype inNew = markerLine(newText);
    if (inNew <= 0) { // a new file with nothing above the marker has no interface sections to give
        if (newLacksMarker)
            *newLacksMarker = true;
        return false;
    }
    const qsizetype inInstalled = markerLine(installedText);
    if (inInstalled < 0) {
        if (newLacksMarker)
            *newLacksMarker = false;
        return false;
    }
    *merged = newText.left(inNew - Crlf.size()) + Crlf + installedText.mid(inInstalled) + Crlf;
    return true;
}

QString withAddedTexts(const QString &text, const LanguageLayout &language)
{
    // Nothing above the marker: the merge refuses such a file, and it is left for it to say so.
    const qsizetype marker = markerLine(text);
    if (marker <= 0)
        return text;
    QString head = text.left(marker);
    const IniDocument present = IniDocument::fromBytes(Windows1252::encode(head));
    for (const LanguageLayout::Text &added : language.addedTexts) {
        if (present.value(added.section, added.key).isEmpty())
            head = withIniValue(head, added.section, added.key, added.value);
    }
    return head + text.mid(marker);
}

MergeOutcome MergeLingua(const LanguageLayout &language, const QString &folder, UpdateLog &log, UpdateError *error)
{
    const QDir dir(folder);
    const QString lngName = language.baseName + QStringLiteral(".lng");
    const QString newName = language.baseName + QStringLiteral(".new");
    const QString lngPath = dir.filePath(lngName);
    const QString newPath = dir.filePath(newName);

    const QString version = LeggiIni(QStringLiteral("Version"), QStringLiteral("ini"), lngPath);
    const QString versionLine = language.versionLine + version + Crlf;
    if (language.replacesLog)
        log.setText(versionLine);
    else
        log.append(versionLine);

    if (version == CurrentFormat) {
        log.append(QStringLiteral("Aggiornamento non necessario"));
        QFile::remove(newPath);
        return MergeOutcome::AlreadyCurrent;
    }

    const QString opening = QStringLiteral("Apertura lingua %1 ").arg(language.languageWord);
    QString newText;
    log.append(opening + CurrentFormat + QStringLiteral(" ... "));
    if (!UpdaterFiles::readLines(newPath, &newText, nullptr, error))
        return MergeOutcome::Failed;
    if (newText.isEmpty()) {
        failStep(error, UpdateError::emptyFile(newName));
        return MergeOutcome::Failed;
    }
    log.append(QStringLiteral("OK") + Crlf);

    QString installedText;
    QByteArray installedBytes;
    log.append(opening + version + QStringLiteral(" ... "));
    if (!UpdaterFiles::readLines(lngPath, &installedText, &installedBytes, error))
        return MergeOutcome::Failed;
    if (installedText.isEmpty()) {
        failStep(error, UpdateError::emptyFile(lngName));
        return MergeOutcome::Failed;
    }
    log.append(QStringLiteral("OK") + Crlf);
    UpdaterFiles::processPendingEvents();

    log.append(QStringLiteral("Scrittura nuova lingua %1 ... ").arg(language.languageWord));
    QString merged;
    bool newLacksMarker = false;
    if (!mergedLanguageText(withAddedTexts(newText, language), installedText, &merged, &newLacksMarker)) {
        failStep(error, UpdateError::noMarker(LanguageMarker, newLacksMarker ? newName : lngName));
        return MergeOutcome::Failed;
    }
    // The three entries are set in the text, so the file is written once and whole: a step that
    // fails leaves the installed file as it was and the .new file in place.
    merged = withIniValue(merged, QStringLiteral("Whothermo"), QStringLiteral("0"), language.whothermo0);
    merged = withIniValue(merged, QStringLiteral("Whothermo"), QStringLiteral("1"), language.whothermo1);
    merged = withIniValue(merged, QStringLiteral("DimThermo"), QStringLiteral("14"), language.dimthermo14);
    // The backup is a copy, not a move: the installed file never goes missing.
    if (!UpdaterFiles::keepBackup(folder, language.baseName, installedBytes, error))
        return MergeOutcome::Failed;
    if (!UpdaterFiles::writeAtomically(lngPath, Windows1252::encode(merged), error))
        return MergeOutcome::Failed;
    log.append(QStringLiteral("OK") + Crlf);

    QFile::remove(newPath);
    return MergeOutcome::Merged;
}
