#include "engine/protocol/OpenPassword.h"

#include <cmath>

namespace OpenPassword {

namespace {

constexpr double TwoTo32 = 4294967296.0;

// Left rotations for the digits 0..6 (1..3 rotate right by 7, 4 and 3 bits).
constexpr std::array<int, 7> Rotazioni{0, 25, 28, 29, 1, 5, 12};

// Where each byte of the result comes from, per byte move: entry k is the range of the
// source byte copied onto result byte k (ranges 1..4 are bytes 0..3).
// Digit 7: result bytes (high to low) b0 b3 b1 b2; digit 8: b1 b0 b2 b3.
constexpr std::array<int, 4> Mossa7{3, 2, 4, 1};
constexpr std::array<int, 4> Mossa8{4, 3, 1, 2};

double ruota(double value, int left)
{
    if (left == 0)
        return value;
    const double split = std::ldexp(1.0, 32 - left);
    // Exact in doubles: the low part is below 2^(32-left) before the shift.
    return ModDouble(value, split) * std::ldexp(1.0, left) + std::trunc(value / split);
}

BitArray aBit(double value)
{
    BitArray bits{};
    for (int i = 0; i < 32; ++i) {
        bits[static_cast<size_t>(i)] = ModDouble(value, 2.0) != 0.0;
        value = std::trunc(value / 2.0);
    }
    return bits;
}

double daBit(const BitArray &bits)
{
    double value = 0.0;
    for (int i = 31; i >= 0; --i)
        value = value * 2.0 + (bits[static_cast<size_t>(i)] ? 1.0 : 0.0);
    return value;
}

double spostaByte(double value, const std::array<int, 4> &mossa)
{
    const BitArray source = aBit(value);
    BitArray target{};
    for (size_t k = 0; k < mossa.size(); ++k)
        SpostaBit(source, target, mossa[k], static_cast<int>(k) + 1);
    return daBit(target);
}

double leggiPassword(const QString &password)
{
    double p = 0.0;
    for (const QChar c : password) {
        if (c.isDigit())
            p = ModDouble(p * 10.0 + c.digitValue(), TwoTo32);
    }
    return p;
}

} // namespace

double ModDouble(double a, double b)
{
    const double ia = std::trunc(a);
    const double ib = std::trunc(b);
    return ia - ib * std::trunc(ia / ib);
}

void SpostaBit(const BitArray &source, BitArray &target, int sourceRange, int targetRange)
{
    const BitRange from = Intervalli[static_cast<size_t>(sourceRange)];
    const BitRange to = Intervalli[static_cast<size_t>(targetRange)];
    for (int i = 0; i <= from.last - from.first && to.first + i <= to.last; ++i)
        target[static_cast<size_t>(to.first + i)] = source[static_cast<size_t>(from.first + i)];
}

QString CalcolaPassword(QString &nonce, const QString &password)
{
    nonce.remove(QLatin1Char('*'));
    nonce.remove(QLatin1Char('#'));

    // A 9 complements every bit, which commutes with rotations and byte moves.
    int nove = 0;
    bool nonZero = false;
    QString cifre = nonce;
    for (QChar &c : cifre) {
        if (c == QLatin1Char('9')) {
            ++nove;
            c = QLatin1Char('0');
        }
        if (c.isDigit() && c != QLatin1Char('0'))
            nonZero = true;
    }
    if (nove > 0)
        nonZero = true;

    // The published algorithm loads the password at the first digit other than 0, so a
    // nonce of zeros only answers 0.
    double value = nonZero ? leggiPassword(password) : 0.0;
    int rotazione = 0;
    for (const QChar c : std::as_const(cifre)) {
        if (!c.isDigit())
            continue;
        const int d = c.digitValue();
        if (d <= 6) {
            rotazione = (rotazione + Rotazioni[static_cast<size_t>(d)]) % 32;
            continue;
        }
        // Rotations before a byte move must be applied first: the two do not commute.
        value = ruota(value, rotazione);
        rotazione = 0;
        value = spostaByte(value, d == 7 ? Mossa7 : Mossa8);
    }
    value = ruota(value, rotazione);
    if (nove % 2 == 1)
        value = TwoTo32 - 1.0 - value;

    return QStringLiteral("*#") + QString::number(static_cast<quint32>(value)) + QStringLiteral("##");
}

} // namespace OpenPassword
