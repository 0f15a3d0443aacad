// Any language file is loaded without a crash; what the loader throws is an error it reports
// to its caller, not a fault.
#include "FuzzSupport.h"
#include "engine/config/LanguageLoader.h"
#include "engine/config/ProgramSettings.h"
#include "engine/model/LanguageTexts.h"

#include <QFile>
#include <QTemporaryDir>

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    static QTemporaryDir dir;
    static ProgramSettings settings(dir.filePath(QStringLiteral("settings.ini")));
    QFile file(dir.filePath(QStringLiteral("fuzz.lng")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(Fuzz::bytes(data, size));
    file.close();

    LanguageTexts texts;
    SilentMessageBox messages;
    try {
        LanguageLoader(texts, settings, messages, dir.path()).CaricaLingua(QStringLiteral("fuzz"));
    } catch (const std::exception &) {
    }
    return 0;
}
