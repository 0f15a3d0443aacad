#include "TemperatureText.h"

#include <charconv>
#include <cstdlib>

QString TemperatureText::text(int tenths)
{
    const QLocale current;
    if (current != m_locale)
        read(current);
    // From 1000 degrees on, a locale's digit grouping would come in.
    if (!m_plain || std::abs(tenths) >= 10000)
        return current.toString(tenths / 10.0);

    char whole[12];
    const auto end = std::to_chars(whole, whole + sizeof whole, std::abs(tenths) / 10).ptr;
    const int tenth = std::abs(tenths) % 10;
    QString text;
    text.reserve(m_minus.size() + int(end - whole) + m_point.size() + 1);
    if (tenths < 0)
        text += m_minus;
    text += QLatin1String(whole, end);
    if (tenth != 0) {
        text += m_point;
        text += QLatin1Char(char('0' + tenth));
    }
    return text;
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
