// Any nonce and password (split at the first NUL) give an answer frame "*#<digits>##", and
// the nonce is left as its digits.
#include "FuzzSupport.h"
#include "engine/protocol/OpenPassword.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [nonceBytes, passwordBytes] = Fuzz::split(Fuzz::bytes(data, size));
    QString nonce = QString::fromLatin1(nonceBytes);
    const QString answer = OpenPassword::CalcolaPassword(nonce, QString::fromLatin1(passwordBytes));
    FUZZ_PROPERTY(!nonce.contains(QLatin1Char('*')) && !nonce.contains(QLatin1Char('#')));
    FUZZ_PROPERTY(answer.startsWith(QLatin1String("*#")) && answer.endsWith(QLatin1String("##")));
    const QStringView digits = QStringView(answer).mid(2, answer.size() - 4);
    FUZZ_PROPERTY(!digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }));
    return 0;
}
