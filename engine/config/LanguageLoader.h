#pragma once

#include <QString>
#include <QStringList>

class IniDocument;
struct LanguageTexts;
class MessageBoxService;
class ProgramSettings;

// Reads one language file of the program folder into LanguageTexts: the captions and
// tooltips of the main window (kept as data), the [text] and [error] texts and the twenty
// translation tables of the frame translator.
//
// CaricaLingua traps nothing: an error reaches its caller. Only the format-version message
// is shown from inside it. After it returns, the shell applies the captions to its widgets,
// clears the first status-bar panel and, when the auxiliary-channel window is loaded,
// relabels its keep-on-top box with text("ontop"); no other open window is relabelled.
class LanguageLoader
{
public:
    static constexpr const char *CurrentVersion = "1.0.4";

    LanguageLoader(LanguageTexts &texts, const ProgramSettings &settings, MessageBoxService &messages,
                   const QString &programFolder);

    void CaricaLingua(const QString &language);

    // Base names of the ".lng" files of a folder, sorted without regard to case.
    static QStringList availableLanguages(const QString &programFolder);
    // The file CaricaLingua reads; a file whose name differs only in case counts as the same
    // (files copied from Windows keep whatever capitals they had).
    static QString languageFile(const QString &programFolder, const QString &language);
    // Tray caption of a user program: the file name without folder and without ".exe";
    // "..." for an empty path.
    static QString programCaption(const QString &path);

private:
    void readKeyedSections(const IniDocument &ini);
    void deriveFromMenuAndTooltips();
    void readTexts(const IniDocument &ini);
    void readProgramCaptions();
    void readTranslationTables(const IniDocument &ini);

    LanguageTexts &m_texts;
    const ProgramSettings &m_settings;
    MessageBoxService &m_messages;
    QString m_folder;
};
