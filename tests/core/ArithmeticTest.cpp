#include "engine/Arithmetic.h"

#include <gtest/gtest.h>

using namespace velmora;

// Whole years are checked through the costs; a stage may also come in a year with a fraction.
TEST(Arithmetic, DiscountingAndGrowthInRealYears) {
    EXPECT_NEAR(PresentWorth(1000.0, 7.5, 4.0), 745.16, 0.005);
    EXPECT_NEAR(GrownVolume(500.0, 1.0, 100.0, 15.5), 583.38, 0.005);
}

TEST(Arithmetic, RoundWholeTakesHalvesUpOnTheFirstDecimal) {
    const std::pair<double, double> cases[] = {
        {2.5, 3.0}, {2.49, 2.0},          {2.4999999, 2.0},    {-1.5, -1.0}, {-1.6, -2.0},
        {0.0, 0.0}, {110246.4, 110246.0}, {61215.91, 61216.0}, {1e15, 1e15},
    };
    for (const auto& [x, rounded] : cases) EXPECT_EQ(RoundWhole(x), rounded) << x;
}
