#include "engine/UserCost.h"
#include "engine/Arithmetic.h"
#include "engine/QueueModel.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// One vehicle an hour in hour 12 of direction 1, passing the work zone without a queue.
StageTraffic OneFreeFlowVehicle() {
    StageTraffic traffic;
    traffic.hourly[0].servedVolume[12] = 1.0;
    traffic.hourly[0].freeFlowVolume[12] = 1.0;
    return traffic;
}

} // namespace

TEST(UserCost, SpeedRowsTakeTheWholeMph) {
    const SpeedRows rows = SpeedRowsFor(57.9, 40.0);
    EXPECT_EQ(rows.speedIndex, 11);
    EXPECT_EQ(rows.costSpeedIndex, 11);
    EXPECT_EQ(rows.wzSpeedIndex, 8);
    EXPECT_EQ(rows.costWzSpeedIndex, 8);
    for (int mph = 5; mph <= 80; mph += 5) {
        EXPECT_EQ(SpeedRowsFor(mph, mph).speedIndex, mph / 5);
        EXPECT_EQ(SpeedRowsFor(mph, mph).costSpeedIndex, mph / 5);
    }
    EXPECT_EQ(SpeedRowsFor(84.9, 5.0).costSpeedIndex, 16);
}

TEST(UserCost, ClassSharesAndIndexedUnitValues) {
    const UserCostTables cars = MakeUserCostTables(0.0, 152.4);
    EXPECT_EQ(cars.classFraction, (std::array<double, 3>{1.0, 0.0, 0.0}));
    EXPECT_EQ(cars.valueOfTime[2], 22.31); // at the base index every value is its base value
    const UserCostTables trucks = MakeUserCostTables(100.0, 173.644);
    EXPECT_EQ(trucks.classFraction, (std::array<double, 3>{0.0, 0.5, 0.5}));
    EXPECT_NEAR(trucks.valueOfTime[0], 13.1942, 0.00005);
    EXPECT_EQ(trucks.stopTimeTable[11][0], 5.84); // hours are not indexed
}

TEST(UserCost, FreeFlowCarPaysTheSpeedChange) {
    // 55 mph to 40 mph: rows 11 and 8.
    const UserCostComponents c = ValueUserCostComponents(
        OneFreeFlowVehicle(), MakeUserCostTables(0.0, 152.4), SpeedRowsFor(55.0, 40.0), 0.0, 1.0);
    EXPECT_NEAR(c[5], (5.84 - 4.42) * 11.58 * 0.001, 1e-12);
    EXPECT_NEAR(c[6], (83.47 - 52.70) * 0.001, 1e-12);
    for (int n : {0, 1, 2, 3, 4}) EXPECT_EQ(c[n], 0.0) << n;
}

TEST(UserCost, EqualSpeedLimitsCostNothingAtTheWorkZone) {
    const UserCostComponents c =
        ValueUserCostComponents(OneFreeFlowVehicle(), MakeUserCostTables(10.0, 173.644),
                                SpeedRowsFor(45.0, 45.0), WorkZoneDelay(1.0, 45.0, 45.0), 3.0);
    for (double component : c) EXPECT_EQ(component, 0.0);
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
    EXPECT_EQ(UserStageValue(c, 1.0, 0.0, 4.0), 280.0);
    EXPECT_EQ(UserStageValue(c, 2.0, 0.0, 4.0), 140.0);
    EXPECT_EQ(UserStageValue(c, 1.0, 15.0, 4.0), RoundWhole(280.0 / std::pow(1.04, 15.0)));
}
