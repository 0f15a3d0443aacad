#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The number conversions that frames, conf.xml and the language tables share. They are
// deliberately lenient or strict in exactly the ways callers rely on; see each function.
namespace NumberConversions {

// The text as a decimal number, blanks around it allowed: "21", " -3 ", "0.5", "+4".
std::optional<double> tryValue(QStringView text);
// As tryValue, but a text that is not a number throws ConversionError.
double value(QStringView text);

// Reads from the start, skipping blanks: optional sign, digits and at most one decimal
// point, up to the first other character. "12#3" is 12, "#3" is 0. Never fails.
double numberValue(QStringView text);

// The text must be a decimal number; rounded to the nearest whole number, halves to the
// even neighbour ("2.5" is 2, "3.5" is 4). Throws ConversionError otherwise.
int wholeNumber(QStringView text);
// As wholeNumber, with no value instead of the exception: for fields that are often no
// number at all ("2#1", a zone on a local bus), where throwing would cost more than reading.
std::optional<int> tryWholeNumber(QStringView text);
// Rounds halves to even; throws ConversionError outside the range of int.
int roundHalfEven(double v);

// A whole number that must lie in 0..255; throws ConversionError otherwise.
quint8 toByte(QStringView text);
quint8 toByte(double v);

} // namespace NumberConversions
