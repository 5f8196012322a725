#pragma once

// How the input forms show and read numbers. A user with a German locale still types and reads
// a decimal point: project files, reports and forms share one notation, so nothing here looks
// at the locale.

#include <QString>
#include <cstdint>
#include <optional>

namespace velmora {

// Shortest form with up to 15 significant digits (printf "%.15g" in the C locale): 2, 12.5,
// 173.644, 1e+20.
QString FormatDouble(double value);
QString FormatInteger(std::int32_t value);
// Whole units in groups of three, whatever the locale: "-1,234,567"; "-" for a value that does
// not exist.
QString GroupedNumber(double value);

// An optional sign, digits with an optional decimal point, an optional exponent, and blanks or
// tabs around them; anything else (an empty field, a thousands separator, a comma, "inf") is
// refused, as is a number too large or too small for a double.
std::optional<double> ParseDouble(const QString& text);
// An optional sign and digits, blanks or tabs around them, within the 32-bit range.
std::optional<std::int32_t> ParseInteger(const QString& text);

} // namespace velmora
