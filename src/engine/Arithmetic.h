#pragma once

// The arithmetic every cost of the engine shares: discounting, traffic growth, the price index of
// the user cost unit values, and the one rounding rule. Each keeps its order of operations,
// because results are compared to the whole dollar and a reordered product can move a half.

#include <cmath>
#include <cstdint>

namespace velmora {

// The price index at which every dollar value of the user cost model is held.
inline constexpr double kBasePriceIndex = 152.4;

// amount × (1 / (1 + discountRate / 100)^year); year and rate are real numbers.
inline double PresentWorth(double amount, double year, double discountRate) {
    return amount * (1.0 / std::pow(1.0 + discountRate / 100.0, year));
}

inline double PresentWorthPerMile(double amount, double year, double discountRate,
                                  double projectLength) {
    return PresentWorth(amount, year, discountRate) / projectLength;
}

// The daily volume of `percent` of `aadt`, compounded from year 0 to `year`.
inline double GrownVolume(double aadt, double trafficGrowth, double percent, double year) {
    return aadt * (percent / 100.0) * std::pow(1.0 + trafficGrowth / 100.0, year);
}

// A base value held at kBasePriceIndex, scaled to the project's index. The quotient is a constant
// of the program; only the multiplication happens at run time.
constexpr double IndexedCost(double base, double currentCpi) {
    return (base / kBasePriceIndex) * currentCpi;
}

// The whole part, fractions dropped toward zero. Kept off the C library because the queue
// simulation calls it in its innermost loop.
inline double WholePart(double x) {
    return std::fabs(x) < 0x1p52 ? static_cast<double>(static_cast<std::int64_t>(x)) : x;
}

// floor(x), by integer conversion where the fraction is representable. Every hourly vehicle
// count of a run goes through it twice.
inline double Floor(double x) {
    if (!(std::fabs(x) < 0x1p52)) return std::floor(x);
    const double whole = static_cast<double>(static_cast<std::int64_t>(x));
    return whole > x ? whole - 1.0 : whole;
}

// Halves go up, decided on the first decimal digit alone: 2.5 → 3, 2.49 → 2, −1.5 → −1.
inline double RoundWhole(double x) {
    const double f = Floor(x);
    const double d = Floor(10.0 * x) - 10.0 * f;
    return d >= 5.0 ? f + 1.0 : f;
}

} // namespace velmora
