#include "engine/Arithmetic.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Arithmetic, PresentWorthDiscountsByRealYears) {
    EXPECT_NEAR(PresentWorth(1000.0, 10.0, 4.0), 675.564, 0.0005);
    EXPECT_NEAR(PresentWorthPerMile(1000.0, 10.0, 4.0, 2.0), 675.564 / 2, 0.0005);
    EXPECT_EQ(PresentWorth(1000.0, 0.0, 4.0), 1000.0);
    EXPECT_DOUBLE_EQ(PresentWorth(1000.0, 7.5, 4.0), 1000.0 / std::pow(1.04, 7.5));
    EXPECT_EQ(PresentWorth(1000.0, 25.0, 0.0), 1000.0);
}

TEST(Arithmetic, GrownVolumeCompoundsFromYearZero) {
    EXPECT_EQ(GrownVolume(500.0, 1.0, 100.0, 0.0), 500.0);
    EXPECT_DOUBLE_EQ(GrownVolume(500.0, 1.0, 100.0, 15.0), 500.0 * std::pow(1.01, 15.0));
    EXPECT_DOUBLE_EQ(GrownVolume(1000.0, 0.0, 25.0, 30.0), 250.0);
}

TEST(Arithmetic, IndexedCostScalesBaseValuesToTheProjectIndex) {
    EXPECT_DOUBLE_EQ(IndexedCost(152.4, 173.644), 173.644);
    EXPECT_NEAR(IndexedCost(11.58, 173.644), 13.1942, 0.00005);
    EXPECT_DOUBLE_EQ(IndexedCost(11.58, 152.4), 11.58);
}

TEST(Arithmetic, RoundWholeTakesHalvesUpOnTheFirstDecimal) {
    EXPECT_EQ(RoundWhole(2.5), 3.0);
    EXPECT_EQ(RoundWhole(2.49), 2.0);
    EXPECT_EQ(RoundWhole(2.4999999), 2.0);
    EXPECT_EQ(RoundWhole(-1.5), -1.0);
    EXPECT_EQ(RoundWhole(-1.6), -2.0);
    EXPECT_EQ(RoundWhole(110246.4), 110246.0);
    EXPECT_EQ(RoundWhole(61215.91), 61216.0);
    EXPECT_EQ(RoundWhole(0.0), 0.0);
    EXPECT_EQ(RoundWhole(1e15), 1e15);
}
