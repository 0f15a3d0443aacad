#include "engine/protocol/NumberConversions.h"

#include "engine/protocol/ConversionError.h"

#include <QVarLengthArray>

#include <cmath>
#include <limits>

namespace NumberConversions {

std::optional<double> tryValue(QStringView text)
{
    // Blanks around a field are rare: the library trims only when an end is one.
    const QStringView t =
        !text.isEmpty() && (text.front().isSpace() || text.back().isSpace()) ? text.trimmed() : text;
    if (t.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: no exponent, no hexadecimal, no thousands separators.
    // Bus fields are nearly always short runs of digits: those are read on the way.
    const bool shortRun = t.size() <= 9;
    qint64 n = 0;
    qsizetype i = 0;
    const bool negative = t[0] == QLatin1Char('-');
    if (negative || t[0] == QLatin1Char('+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= '0' && c <= '9') {
            digits = true;
            if (shortRun)
                n = n * 10 + (c - '0');
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    if (!point && shortRun)
        return double(negative ? -n : n);
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

double value(QStringView text)
{
    const auto v = tryValue(text);
    if (!v)
        throw ConversionError("not a number: " + text.toString().toStdString());
    return *v;
}

namespace {

// numberValue for a run with a decimal point or of more than nine characters.
double generalNumberValue(QStringView text)
{
    QVarLengthArray<QChar, 32> run;
    bool point = false;
    bool started = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        if (!started && (c == QLatin1Char('+') || c == QLatin1Char('-'))) {
            run.append(c);
            started = true;
            continue;
        }
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            run.append(c);
        } else if (c == QLatin1Char('.') && !point) {
            run.append(c);
            point = true;
        } else {
            break;
        }
        started = true;
    }
    bool ok = false;
    const double v = QStringView(run.constData(), run.size()).toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

double numberValue(QStringView text)
{
    // Frames call this for every address: a short run of digits is read in one pass, without
    // gathering it first.
    qint64 n = 0;
    qsizetype run = 0; // characters of the number so far, its sign included
    bool negative = false;
    bool digits = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        if (run == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'))) {
            negative = c == QLatin1Char('-');
            ++run;
            continue;
        }
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (++run > 9)
                return generalNumberValue(text);
            n = n * 10 + (c.unicode() - '0');
            digits = true;
        } else if (c == QLatin1Char('.')) {
            return generalNumberValue(text);
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    return double(negative ? -n : n);
}

namespace {

// Rounded half to even; no value when it lies outside the range of int. `v` is finite.
std::optional<int> roundedHalfEven(double v)
{
    // Whole numbers, as nearly every field is, need no rounding.
    if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()) {
        const int whole = static_cast<int>(v);
        if (whole == v)
            return whole;
    }
    double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(r);
}
} // namespace

int roundHalfEven(double v)
{
    if (!std::isfinite(v))
        throw ConversionError("not a finite number");
    const auto r = roundedHalfEven(v);
    if (!r)
        throw ConversionError("number out of range");
    return *r;
}

namespace {

// A sign and up to eight digits, or nine digits, as nearly every field is: its value, read
// without the round trip through a double. Nothing for any other text.
std::optional<int> shortWholeNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    const bool negative = text[0] == QLatin1Char('-');
    qsizetype i = negative || text[0] == QLatin1Char('+') ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    int n = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return negative ? -n : n;
}

} // namespace

int wholeNumber(QStringView text)
{
    if (const auto n = shortWholeNumber(text))
        return *n;
    return roundHalfEven(value(text));
}

std::optional<int> tryWholeNumber(QStringView text)
{
    if (const auto n = shortWholeNumber(text))
        return n;
    const auto v = tryValue(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return roundedHalfEven(*v);
}

quint8 toByte(double v)
{
    const int n = roundHalfEven(v);
    if (n < 0 || n > 255)
        throw ConversionError("byte out of range");
    return static_cast<quint8>(n);
}

quint8 toByte(QStringView text)
{
    return toByte(value(text));
}

} // namespace NumberConversions
