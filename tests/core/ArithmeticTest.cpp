#include "engine/Arithmetic.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Arithmetic, DiscountingGrowthAndThePriceIndex) {
    EXPECT_NEAR(PresentWorth(1000.0, 10.0, 4.0), 675.564, 0.0005);
    EXPECT_NEAR(PresentWorthPerMile(1000.0, 10.0, 4.0, 2.0), 675.564 / 2, 0.0005);
    EXPECT_NEAR(PresentWorth(1000.0, 7.5, 4.0), 745.16, 0.005); // real years
    EXPECT_EQ(PresentWorth(1000.0, 25.0, 0.0), 1000.0);
    EXPECT_EQ(GrownVolume(500.0, 1.0, 100.0, 0.0), 500.0);
    EXPECT_NEAR(GrownVolume(500.0, 1.0, 100.0, 15.0), 580.48, 0.005);
    EXPECT_DOUBLE_EQ(GrownVolume(1000.0, 0.0, 25.0, 30.0), 250.0);
    EXPECT_NEAR(IndexedCost(11.58, 173.644), 13.1942, 0.00005);
    EXPECT_DOUBLE_EQ(IndexedCost(11.58, 152.4), 11.58);
}

TEST(Arithmetic, RoundWholeTakesHalvesUpOnTheFirstDecimal) {
    const std::pair<double, double> cases[] = {
        {2.5, 3.0}, {2.49, 2.0},          {2.4999999, 2.0},    {-1.5, -1.0}, {-1.6, -2.0},
        {0.0, 0.0}, {110246.4, 110246.0}, {61215.91, 61216.0}, {1e15, 1e15},
    };
    for (const auto& [x, rounded] : cases) EXPECT_EQ(RoundWhole(x), rounded) << x;
}
