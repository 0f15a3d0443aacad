#include "engine/translator/TemperatureText.h"

#include <charconv>
#include <cstdlib>

void TemperatureText::write(int tenths, QString &text)
{
    const QLocale current;
    if (current != m_locale)
        read(current);
    // From 1000 degrees on, a locale's digit grouping would come in.
    if (!m_plain || std::abs(tenths) >= 10000) {
        text = current.toString(tenths / 10.0);
        return;
    }

    char whole[12];
    const auto end = std::to_chars(whole, whole + sizeof whole, std::abs(tenths) / 10).ptr;
    const int tenth = std::abs(tenths) % 10;
    text.truncate(0);
    if (tenths < 0)
        text += m_minus;
    text += QLatin1String(whole, end);
    if (tenth != 0) {
        text += m_point;
        text += QLatin1Char(char('0' + tenth));
    }
}

void TemperatureText::read(const QLocale &locale)
{
    m_locale = locale;
    m_minus = locale.negativeSign();
    m_point = locale.decimalPoint();
    m_plain = locale.zeroDigit() == QLatin1String("0")
        && locale.toString(-12.5) == m_minus + QStringLiteral("12") + m_point + QStringLiteral("5")
        && locale.toString(0.5) == QStringLiteral("0") + m_point + QStringLiteral("5")
        && locale.toString(20.0) == QLatin1String("20");
}
