// The merge of a new language file (before the first NUL) into the installed one (after it)
// is settled: merging the new file into the result again gives the result, but for the line
// break that every merge puts at the end.
#include "FuzzSupport.h"
#include "updater/LanguageMerge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [newBytes, installedBytes] = Fuzz::split(Fuzz::bytes(data, size));
    const QString newText = QString::fromLatin1(newBytes);
    QString merged;
    if (!mergedLanguageText(newText, QString::fromLatin1(installedBytes), &merged))
        return 0;
    QString again;
    FUZZ_PROPERTY(mergedLanguageText(newText, merged, &again));
    const auto untilTrailingBreaks = [](const QString &text) {
        qsizetype end = text.size();
        while (end > 0 && (text[end - 1] == QLatin1Char('\r') || text[end - 1] == QLatin1Char('\n')))
            --end;
        return text.left(end);
    };
    FUZZ_PROPERTY(untilTrailingBreaks(again) == untilTrailingBreaks(merged));
    return 0;
}
