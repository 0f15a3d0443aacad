// Any INI text is read without a crash, and no value comes back longer than the reader's bound.
#include "FuzzSupport.h"
#include "engine/config/IniDocument.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const IniDocument ini = IniDocument::fromBytes(bytes);
    // The names the program reads, and the first "[section]" and "key=" of the input itself.
    QList<QPair<QString, QString>> asked = {{QStringLiteral("Option"), QStringLiteral("Gateway")},
                                            {QStringLiteral("option"), QStringLiteral("serverip")}};
    const QString text = QString::fromLatin1(bytes);
    const qsizetype open = text.indexOf(QLatin1Char('['));
    const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
    const qsizetype eq = text.indexOf(QLatin1Char('='), close + 1);
    if (open >= 0 && close > open && eq > close) {
        const QString section = text.mid(open + 1, close - open - 1);
        const QString key = text.mid(close + 1, eq - close - 1).trimmed();
        asked.append({section, key});
    }
    for (const auto &[section, key] : asked)
        FUZZ_PROPERTY(ini.value(section, key).size() <= IniDocument::MaxValueLength);
    return 0;
}
