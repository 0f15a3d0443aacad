#pragma once

#include "updater/UpdateError.h"

#include <QList>
#include <QString>

class UpdateLog;

// What differs between the two language files the run brings up to date.
struct LanguageLayout
{
    QString baseName;      // file name without extension: "italian"
    QString versionLine;   // log text in front of the installed version
    bool replacesLog;      // the first language starts the log afresh
    QString languageWord;  // "italiano" in "Apertura lingua italiano ..."
    QString whothermo0;    // [Whothermo] "0"
    QString whothermo1;    // [Whothermo] "1"
    QString dimthermo14;   // [DimThermo] "14"
    // Interface texts the program reads that a new file from an older release lacks: each
    // is added where the merged file has no text for it, and a text it has stays.
    struct Text
    {
        QString section;
        QString key;
        QString value;
    };
    QList<Text> addedTexts;

    static const LanguageLayout &italian();
    static const LanguageLayout &english();
};

enum class MergeOutcome {
    Merged,         // the .lng now has the new interface sections; .old keeps the former file
    AlreadyCurrent, // nothing to do; the .new was dropped
    Failed,         // the .lng and the .new are as they were before the failure
};

inline const QString LanguageMarker = QStringLiteral("# OPEN WEBNET #");

// The merged text: the new file up to the line before its marker line, then the installed file
// from its marker line on. Both are CRLF text; false when either lacks the marker at the start
// of a line (or the new file has nothing above it).
bool mergedLanguageText(const QString &newText, const QString &installedText, QString *merged,
                        bool *newLacksMarker = nullptr);

// The CRLF text with each of the language's added texts that it lacks written above the
// marker (the interface part); a text with nothing above the marker comes back as it was.
QString withAddedTexts(const QString &text, const LanguageLayout &language);

// Brings <folder>/<baseName>.lng to the current format from <baseName>.new, logging each step.
// The former file is kept as a backup (see UpdaterFiles::keepBackup). The .new file is deleted
// only when the installed file is current or the merged file is whole on disk.
MergeOutcome MergeLingua(const LanguageLayout &language, const QString &folder, UpdateLog &log, UpdateError *error);
