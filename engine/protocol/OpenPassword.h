#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The OPEN password answer to a gateway's nonce. Values are unsigned 32-bit numbers held in
// doubles (exact for every such value) and bit arrays, because the published algorithm is
// stated in those terms: each helper can then be checked against one step of it.
namespace OpenPassword {

using BitArray = std::array<bool, 32>;  // index 0 is the least significant bit

// Rewrites nonce in place to its digits (every "*" and "#" removed) and returns the
// answer frame "*#<decimal>##". password is the gateway password as decimal digits.
QString CalcolaPassword(QString &nonce, const QString &password);

// Remainder of the integer parts: trunc(a) - trunc(b) * trunc(trunc(a) / trunc(b)).
double ModDouble(double a, double b);

// Copies source range sourceRange onto target range targetRange (indexes into the range
// table below); both ranges have the same width.
void SpostaBit(const BitArray &source, BitArray &target, int sourceRange, int targetRange);

// The range table: the whole value, then its four bytes from the lowest.
struct BitRange
{
    int first;
    int last;
};
inline constexpr std::array<BitRange, 5> Intervalli{{{0, 31}, {0, 7}, {8, 15}, {16, 23}, {24, 31}}};

} // namespace OpenPassword
