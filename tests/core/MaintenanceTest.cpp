#include "engine/Maintenance.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Maintenance, TreatmentCountFitsWholeIntervalsIntoThePeriod) {
    EXPECT_EQ(TreatmentCount(40.0, 7), 5.0);  // years 7 to 35
    EXPECT_EQ(TreatmentCount(40.0, 10), 4.0); // the one in year 40 counts
    EXPECT_EQ(TreatmentCount(40.5, 10), 4.0);
    for (std::int32_t never : {41, 0, -3}) EXPECT_EQ(TreatmentCount(40.0, never), 0.0) << never;
}

TEST(Maintenance, CostDiscountsEveryTreatmentAndRoundsTheOption) {
    std::array<MaintenanceActivity, 4> rows;
    rows[0] = {"Priced only", 0.0, 5000.0, 5, 0.0};
    rows[1] = {"No interval", 10.0, 5000.0, 0, 0.0};
    rows[2] = {"Crack sealing", 1.0, 1000.0, 10, 0.0};
    const std::array<double, 4> counts{8.0, 0.0, 4.0, 0.0};
    // 1000 × (1.04^-10 + 1.04^-20 + 1.04^-30 + 1.04^-40) = 1648.56; the other rows add nothing.
    EXPECT_EQ(MaintenanceCost(rows, counts, 4.0, 1.0), 1649.0);
    EXPECT_EQ(MaintenanceCost(rows, counts, 4.0, 2.0), 824.0); // 824.28
}
