#pragma once

// Numbers as the program's reports write them for people: a point for decimals whatever the
// locale, commas between thousands.

#include <cstdint>
#include <string>

namespace velmora {

std::string Fixed(double value, int decimals);
// 0.632 as "63.2 %"; "-" for a share that does not exist.
std::string Percent(double share);
// 1234567 as "1,234,567".
std::string Grouped(std::int64_t value);
// Rounded to whole units and grouped: "-1,234,567"; "-" for a value that does not exist.
std::string WholeNumber(double value);
// Whole dollars, rounded: "$61,672", "-$5"; "-" for a value that does not exist.
std::string Dollars(double value);

} // namespace velmora
