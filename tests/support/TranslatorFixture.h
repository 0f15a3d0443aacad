#pragma once

#include "engine/model/EngineState.h"
#include "engine/translator/FrameTranslator.h"
#include "support/RecordingCharacter.h"
#include "support/RecordingDisplayClient.h"
#include "support/RecordingLogPane.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingNotice.h"
#include "support/LinkRecorders.h"
#include "support/RecordingWindowRegistry.h"

#include <QString>
#include <QStringList>

// Sentences that show every placeholder they hold, so a test sees what was filled in and
// in which entry: [light] 12 is "L12[\n|\c|\v]", [thermo] 1 is "T1[\z]", and so on.
void fillLanguageFixture(LanguageTexts &lang);

// A translator wired to recorders, with the fixture language, the C locale and a pinned
// clock (12:34:56, written "12:34:56"), ready for one test.
class TranslatorFixture
{
public:
    TranslatorFixture();

    // Translates a chunk received on the monitor pane; returns the lines it wrote.
    QStringList monitor(const QString &chunk);
    QStringList command(const QString &chunk);
    // The table-driven sentence check of the family tests: the frame on the monitor pane gives
    // exactly one line, the sentence with its frame and one notice with this icon, or, for an
    // empty sentence, the raw line and no notice.
    void checkSentence(const QString &frame, const QString &sentence, int icon);
    // The sentence of the last line written on the monitor pane ("" for a raw line).
    QString lastSentence() const;

    static QString line(const QString &sentence, const QString &frame)
    {
        return QStringLiteral("12:34:56: ") + sentence + QStringLiteral(" (") + frame + QLatin1Char(')');
    }
    static QString raw(const QString &frame) { return QStringLiteral("12:34:56: ") + frame; }

    EngineState state;
    RecordingLogPane Tlog{QStringLiteral("Tlog")};
    RecordingLogPane TlogC{QStringLiteral("TlogC")};
    RecordingNotice notice;
    RecordingCharacter character;
    RecordingWindowRegistry windows;
    RecordingDisplayClient display;
    RecordingStatusBar statusBar;
    RecordingMessageBox messages;
    FrameTranslator translator;
};
