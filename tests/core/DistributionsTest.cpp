#include "risk/CounterRandom.h"
#include "risk/Distribution.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velmora::risk;

namespace {

UncertainInput Input(DistributionKind kind, std::optional<double> min, std::optional<double> mode,
                     std::optional<double> max, std::optional<double> mean = {},
                     std::optional<double> sd = {}, bool relative = false) {
    return {"", kind, relative, min, mode, max, mean, sd, {}, {}};
}

using K = DistributionKind;

} // namespace

TEST(Distributions, QuantilesAtKnownPoints) {
    UncertainInput terrain = Input(K::Discrete, {}, {}, {});
    terrain.values = {0, 1};
    terrain.probabilities = {0.7, 0.3};
    const UncertainInput relative = Input(K::Uniform, 0.5, {}, 2.0, {}, {}, true);
    const UncertainInput truncated = Input(K::Normal, 100.0, {}, {}, 100.0, 15.0);
    // The input, the project value, whole numbers or not, u and the quantile.
    const std::tuple<UncertainInput, double, bool, double, double> cases[] = {
        {Input(K::Uniform, 3, {}, 5), 0, false, 0.25, 3.5},
        // Below the mode (F = 10 / 25): 45 + sqrt(0.1 x 25 x 10).
        {Input(K::Triangular, 45, 55, 70), 0, false, 0.1, 50.0},
        {Input(K::Triangular, 45, 55, 70), 0, false, 0.9, 70.0 - std::sqrt(0.1 * 25 * 15)},
        // PERT 0, 0, 1 is beta(1, 5), whose quantile is 1 - (1 - u)^(1/5).
        {Input(K::Pert, 0, 0, 1), 0, false, 0.3, 1.0 - std::pow(0.7, 0.2)},
        {Input(K::Pert, 10, 15, 20), 0, false, 0.5, 15.0},
        {Input(K::Normal, {}, {}, {}, 30000, 3000), 0, false, 0.975,
         30000 + 1.959963984540054 * 3000},
        // Truncated at its mean, the median of what is left is the 75th percentile.
        {truncated, 0, false, 0.5, 100.0 + 15.0 * 0.6744897501960817},
        // The median of a lognormal is mean / sqrt(1 + cv^2).
        {Input(K::Lognormal, {}, {}, {}, 50, 10), 0, false, 0.5, 50.0 / std::sqrt(1.04)},
        // Its log has the standard deviation sqrt(ln(1 + cv^2)).
        {Input(K::Lognormal, {}, {}, {}, 50, 10), 0, false, 0.975,
         50.0 / std::sqrt(1.04) * std::exp(1.959963984540054 * std::sqrt(std::log(1.04)))},
        {terrain, 0, true, 0.69, 0.0},
        {terrain, 0, true, 0.71, 1.0},
        // Relative multipliers of a negative project value turn the range around.
        {relative, -10.0, false, 0.0, -20.0},
        {relative, -10.0, false, 1.0, -5.0},
        {Input(K::Uniform, 0.4, {}, 3.6), 0, true, 0.5, 2.0},
        {Input(K::Uniform, 0.4, {}, 3.6), 0, true, 0.3, 1.0},
    };
    for (const auto& [input, base, whole, u, expected] : cases)
        EXPECT_NEAR(Distribution(input, base, whole).Quantile(u), expected,
                    1e-9 * std::max(1.0, std::fabs(expected)))
            << static_cast<int>(input.distribution) << " at " << u;
}

TEST(Distributions, InversesAgreeWithTheirDistributionFunctions) {
    for (double p :
         {1e-300, 1e-20, 1e-5, 0.01, 0.02425, 0.3, 0.5, 0.7, 0.97575, 0.999, 1 - 1e-12}) {
        const double z = NormalQuantile(p);
        EXPECT_NEAR(NormalCdf(z) / p, 1.0, p > 1e-200 ? 1e-13 : 1e-9) << p;
    }
    for (const auto& [a, b] : {std::pair{1.0, 5.0}, {3.0, 3.0}, {4.6, 1.4}, {1.8, 4.2}}) {
        const double logBeta = LogGamma(a) + LogGamma(b) - LogGamma(a + b);
        for (double u = 1e-9; u < 1.0; u += u < 0.001 ? u : 0.0009765625)
            ASSERT_NEAR(RegularizedBeta(BetaQuantile(u, a, b, logBeta), a, b, logBeta), u,
                        1e-14 + 1e-12 * u)
                << a << ", " << b << " at " << u;
    }
}

// A simulation reads PERT quantiles from a table; they keep to the exact ones.
TEST(Distributions, TabulatedPertQuantilesKeepToTheExactOnes) {
    for (const double mode : {12.0, 12.2, 15.0, 19.5, 20.0}) {
        const UncertainInput input = Input(K::Pert, 12, mode, 20);
        Distribution table(input, 0, false);
        table.Tabulate();
        const Distribution exact(input, 0, false);
        for (double u = 1e-9; u < 1.0; u += u < 0.01 ? u : 0.000731)
            ASSERT_NEAR(table.Quantile(u), exact.Quantile(u), 2e-10) << mode << " at " << u;
    }
}

// Shuffles draw their places from the high half of a 128-bit product; a compiler without 128-bit
// integers takes it from 32-bit halves, and every sample depends on the two agreeing.
TEST(Distributions, TheHighHalfOfAProductIsTheSameFromHalves) {
    constexpr std::uint64_t kMost = ~std::uint64_t{0};
    EXPECT_EQ(MultiplyHighByHalves(kMost, kMost), kMost - 1);
    EXPECT_EQ(MultiplyHighByHalves(kMost, 2), 1u);
    EXPECT_EQ(MultiplyHighByHalves(std::uint64_t{1} << 32, std::uint64_t{1} << 32), 1u);
    EXPECT_EQ(MultiplyHighByHalves(0x1234567890ABCDEFu, 0xFEDCBA0987654321u), 0x121FA000A3723A57u);
    for (std::uint64_t i = 0; i < 100000; ++i) {
        const std::uint64_t a = Mix64(i), b = Mix64(~i) >> (i % 64);
        ASSERT_EQ(MultiplyHighByHalves(a, b), MultiplyHigh(a, b)) << a << " x " << b;
    }
}
