#include "engine/QueueModel.h"
#include "engine/Arithmetic.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

using namespace velmora;

TEST(QueueModel, NormalCapacityFromLanesTrucksAndTerrain) {
    EXPECT_NEAR(NormalCapacity(4.0, 10.0, Terrain::Level), 4190.476190, 1e-6);
    EXPECT_NEAR(NormalCapacity(6.0, 10.0, Terrain::Level), 2300.0 * 100.0 / 105.0 * 3.0, 1e-9);
    EXPECT_NEAR(NormalCapacity(2.0, 10.0, Terrain::Rolling), 2200.0 * 100.0 / 120.0, 1e-9);
    EXPECT_NEAR(NormalCapacity(2.0, 10.0, Terrain::Mountainous), 2200.0 * 100.0 / 150.0, 1e-9);
    EXPECT_EQ(NormalCapacity(3.0, 0.0, Terrain::Level), 3300.0); // 1.5 lanes per direction
}

TEST(QueueModel, DemandSplitsTheDayByHourAndDirection) {
    const std::array<Hours, 2> demand = StageDemand(HourlyTablesFor(TrafficType::Rural), 10000.0);
    EXPECT_EQ(demand[0][16], 456.0); // 0.49 × 9.3 % × 10000 = 455.7
    EXPECT_EQ(demand[1][16], 474.0); // 474.3
    const double day = std::accumulate(demand[0].begin(), demand[0].end(), 0.0) +
                       std::accumulate(demand[1].begin(), demand[1].end(), 0.0);
    EXPECT_NEAR(day, 10000.0, 24.0);

    const std::array<Hours, 2> urban = StageDemand(HourlyTablesFor(TrafficType::Urban), 10000.0);
    EXPECT_EQ(urban[0][7], 468.0); // 0.60 × 7.8 % × 10000
    // Any type but Urban reads the rural tables.
    EXPECT_EQ(StageDemand(HourlyTablesFor(7), 10000.0), demand);
}

// One open lane (1000 an hour closed, 1400 out of a queue), 24-hour closure; direction 1
// carries 500 an hour but 1300 and 1200 in hours 7 and 8, direction 2 nothing.
TEST(QueueModel, MorningPeakQueuesAndClears) {
    std::array<Hours, 2> demand{};
    demand[0].fill(500.0);
    demand[0][7] = 1300.0;
    demand[0][8] = 1200.0;
    const double normal = NormalCapacity(2.0, 10.0, Terrain::Level);
    const SimulatedDay day = QueueSimulation(demand, normal, 1000.0, 1400.0, {0, 0});
    ASSERT_FALSE(day.gridlock);
    const DirectionDay& d1 = day.direction[0];
    for (int h = 0; h < 24; ++h)
        EXPECT_EQ(d1.queue[h] + day.direction[1].queue[h], h == 7 ? 300 : h == 8 ? 500 : 0) << h;

    const HourlyQuantities q = DeriveHourlyQuantities(d1, {0, 0}, normal, 55.0);
    const struct {
        int hour;
        double queuedServed, queuedArrivals, servedVolume, freeFlowVolume, queueSpeed;
    } hours[] = {{6, 0, 0, 500, 500, 0},
                 {7, 1000, 1300, 1000, 0, 9.10},
                 {8, 1000, 1200, 1000, 0, 9.10},
                 {9, 1000, 500, 1000, 0, 9.10},
                 {10, 0, 0, 500, 500, 0}};
    for (const auto& h : hours) {
        EXPECT_EQ(q.queuedServed[h.hour], h.queuedServed) << h.hour;
        EXPECT_EQ(q.queuedArrivals[h.hour], h.queuedArrivals) << h.hour;
        EXPECT_EQ(q.servedVolume[h.hour], h.servedVolume) << h.hour;
        EXPECT_EQ(q.freeFlowVolume[h.hour], h.freeFlowVolume) << h.hour;
        EXPECT_NEAR(q.queueSpeed[h.hour], h.queueSpeed, 0.005) << h.hour;
        EXPECT_EQ(q.queueDelay[h.hour] > 0.0, h.queuedServed > 0.0) << h.hour;
    }
    // Mean queue of hour 8 over the density gap between queue and approach.
    EXPECT_DOUBLE_EQ(q.queueLength[8], 400.0 / (1000.0 / q.queueSpeed[8] - 1200.0 / 55.0));
}

TEST(QueueModel, NightClosureServesOnlyItsOwnHours) {
    std::array<Hours, 2> demand{};
    demand[0].fill(900.0);
    demand[0][21] = 2000.0; // 1000 queue at 9 PM, 100 fewer each closed hour after
    const ClosureWindow night = ClosureWindowFor(WorkZoneTiming::Night);
    const SimulatedDay day = QueueSimulation(demand, 2095.238, 1000.0, 1400.0, night);
    ASSERT_FALSE(day.gridlock);
    const Hours& queue = day.direction[0].queue;
    EXPECT_EQ((std::array{queue[21], queue[0], queue[5]}), (std::array{1000.0, 700.0, 200.0}));
    const HourlyQuantities q = DeriveHourlyQuantities(day.direction[0], night, 2095.238, 55.0);
    for (int h = 6; h < 20; ++h) {
        EXPECT_EQ(q.servedVolume[h], 0.0) << h;
        EXPECT_EQ(day.direction[0].capacity[h], h == 6 ? 1400.0 : 2095.0) << h;
    }
    // The queue left at 6 AM clears in the open hour 6, which still counts it: 200 of a
    // 500-vehicle deficit is 0.4 of the hour.
    EXPECT_EQ(day.direction[0].queue[6], 0.0);
    EXPECT_EQ((std::array{q.queuedServed[6], q.queuedArrivals[6], q.freeFlowVolume[6]}),
              (std::array{400.0, 360.0, 0.0}));
}

TEST(QueueModel, QueuesThatNeverSettleAreGridlock) {
    // Each queue raises the next hour's capacity above normal, which clears the queue, which
    // lowers the capacity again: around the day the pattern never comes to rest.
    std::array<Hours, 2> alternating{};
    alternating[0] = {1094, 1247, 1053, 931,  1067, 1333, 950,  1000, 137, 1000, 1070, 1256,
                      909,  1288, 1060, 1102, 1091, 1112, 1090, 1316, 690, 1194, 1023, 975};
    const double normal = NormalCapacity(1.0, 10.0, Terrain::Level); // 1047.6, below 1400
    EXPECT_TRUE(QueueSimulation(alternating, normal, 1000.0, 1400.0, {7, 10}).gridlock);
}

// Whole-vehicle truncation can leave an hour whose queue has cleared though its demand met the
// capacity exactly, with no deficit to clear the queue of the hour before: that queue then took
// the whole hour, and every quantity of the hour stays a finite number.
TEST(QueueModel, AQueueClearedWithoutADeficitTookTheWholeHour) {
    DirectionDay day;
    day.demand.fill(900.0);
    day.capacity.fill(1000.0);
    day.demand[9] = 1000.0;
    day.queue[8] = 300.0;
    const HourlyQuantities q = DeriveHourlyQuantities(day, {0, 0}, 2000.0, 55.0);
    // Served: the capacity of hour 8; arrived: the whole demand of hour 9; none flows freely.
    EXPECT_EQ((std::array{q.queuedServed[9], q.queuedArrivals[9], q.freeFlowVolume[9]}),
              (std::array{1000.0, 1000.0, 0.0}));
    EXPECT_NEAR(q.queueSpeed[9], 13.334 * 0.25 + 12.707 * 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(q.queueLength[9], 150.0 / (1000.0 / q.queueSpeed[9] - 1000.0 / 55.0));
    EXPECT_TRUE(std::isfinite(q.queueDelay[9]) && q.queueDelay[9] > 0.0);
}

// Arrivals denser than the queue (heavy trucks on hills) give the model a negative queue length:
// the hour shows no queue and counts no delay, also where the queue moves faster than the speed
// limit and a negative length would otherwise turn into a positive delay.
TEST(QueueModel, ArrivalsDenserThanTheQueueShowNoQueueAndNoDelay) {
    DirectionDay day;
    day.demand.fill(1500.0);
    day.capacity.fill(1000.0);
    day.queue[9] = 500.0;
    for (const double normalCapacity : {1000.0, 500.0}) {
        const HourlyQuantities q = DeriveHourlyQuantities(day, {0, 0}, normalCapacity, 20.0);
        ASSERT_GT(q.queueSpeed[9], 0.0);
        EXPECT_EQ(q.queueLength[9], 0.0) << normalCapacity;
        EXPECT_EQ(q.queueDelay[9], 0.0) << normalCapacity;
    }
}
