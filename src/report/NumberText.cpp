#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace velmora {

std::string Fixed(double value, int decimals) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, end);
}

std::string Percent(double share) {
    return std::isfinite(share) ? Fixed(100.0 * share, 1) + " %" : "-";
}

std::string Grouped(std::int64_t value) {
    std::string digits = std::to_string(value);
    const std::size_t first = value < 0 ? 1 : 0;
    for (std::size_t k = digits.size(); k > first + 3; k -= 3) digits.insert(k - 3, ",");
    return digits;
}

std::string WholeNumber(double value) {
    if (!std::isfinite(value) || std::abs(value) > 9e18) return "-";
    return Grouped(std::llround(value));
}

std::string Dollars(double value) {
    if (!std::isfinite(value) || std::abs(value) > 9e18) return "-";
    const std::int64_t whole = std::llround(value);
    return (whole < 0 ? "-$" : "$") + Grouped(whole < 0 ? -whole : whole);
}

} // namespace velmora
