#include "engine/UserCost.h"
#include "CoreTestSupport.h"
#include "engine/Arithmetic.h"
#include "engine/QueueModel.h"

#include <gtest/gtest.h>

using namespace velmora;

// Every row of every unit value table against the published values in
// tests/data/user-cost-tables.txt: hours as they stand, dollars scaled to the project's index.
TEST(UserCost, TablesHoldThePublishedValuesAtTheProjectsIndex) {
    constexpr double kCpi = 173.644;
    const UserCostTables t = MakeUserCostTables(30.0, kCpi);
    for (int c = 0; c < 3; ++c) EXPECT_DOUBLE_EQ(t.classFraction[c], c == 0 ? 0.7 : 0.15);
    const auto indexed = [](double base) { return base / kBasePriceIndex * kCpi; };
    std::istringstream in(test::DataFile("user-cost-tables.txt"));
    int stopRows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string table;
        row >> table;
        std::array<double, 3> hours{}, dollars{};
        if (table == "stop") {
            int mph = 0;
            row >> mph;
            for (double& v : hours) row >> v;
            for (double& v : dollars) row >> v;
            ASSERT_EQ(mph, 5 * stopRows) << line;
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(t.stopTimeTable[stopRows][c], hours[c]) << line;
                EXPECT_DOUBLE_EQ(t.stopCostTable[stopRows][c], indexed(dollars[c])) << line;
            }
            ++stopRows;
            continue;
        }
        for (double& v : dollars) row >> v;
        ASSERT_TRUE(row) << line;
        const auto& values = table == "valueOfTime" ? t.valueOfTime : t.idlingCost;
        for (int c = 0; c < 3; ++c) EXPECT_DOUBLE_EQ(values[c], indexed(dollars[c])) << line;
    }
    EXPECT_EQ(stopRows, kSpeedRowCount);
}

TEST(UserCost, SpeedRowsTakeTheWholeMph) {
    const SpeedRows r = SpeedRowsFor(57.9, 40.0);
    EXPECT_EQ((std::array{r.speedIndex, r.costSpeedIndex, r.wzSpeedIndex, r.costWzSpeedIndex}),
              (std::array{11, 11, 8, 8}));
    EXPECT_EQ(SpeedRowsFor(84.9, 5.0).costSpeedIndex, 16);
}

TEST(UserCost, QueuedVehiclesPayDelayIdlingAndStops) {
    StageTraffic traffic;
    traffic.hourly[1].queuedServed[8] = 1000.0;
    traffic.hourly[1].queueDelay[8] = 0.1;
    traffic.hourly[1].queuedArrivals[8] = 1200.0;
    const UserCostComponents c = ValueUserCostComponents(traffic, MakeUserCostTables(0.0, 152.4),
                                                         SpeedRowsFor(55.0, 40.0), 0.0, 2.0);
    EXPECT_NEAR(c[0], 1000.0 * 0.1 * 11.58 * 2.0, 1e-9);
    EXPECT_NEAR(c[1], 1000.0 * 0.1 * 0.6927 * 2.0, 1e-9);
    EXPECT_NEAR(c[2], 1200.0 * 5.84 * 11.58 * 0.001 * 2.0, 1e-9);
    EXPECT_NEAR(c[3], 1200.0 * 83.47 * 0.001 * 2.0, 1e-9);
}

TEST(UserCost, StageValueIsPerMileThenDiscounted) {
    const UserCostComponents c{10.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0};
    EXPECT_EQ(UserStageValue(c, 2.0, 0.0, 4.0), 140.0);
    EXPECT_EQ(UserStageValue(c, 1.0, 15.0, 4.0), 155.0); // 280 / 1.04^15 = 155.48
}
