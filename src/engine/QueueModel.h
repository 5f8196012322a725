#pragma once

// One typical day of a stage's work zone, hour by hour and in both directions: the demand, the
// capacity of the open lanes, the queue that settles from day to day, and the hourly quantities
// the user cost valuation prices.

#include "model/ProjectData.h"

#include <array>
#include <cstdint>

namespace velmora {

using Hours = std::array<double, 24>;

// Hourly shares of the two-way daily traffic and direction 1's share of each hour, in percent.
struct HourlyTables {
    Hours hourlyPercent;
    Hours directionPercent;
};
// trafficType 1 is urban; every other value reads the rural tables.
const HourlyTables& HourlyTablesFor(std::int32_t trafficType);

// The demand of one direction in every hour of a day with `stageAdt` vehicles both ways.
std::array<Hours, 2> StageDemand(const HourlyTables& tables, double stageAdt);

// Vehicles per hour per direction with every lane open. Needs a terrain of 0 to 2.
double NormalCapacity(double laneCount, double truckPercent, std::int32_t terrain);

// The hours from `start` up to but not including `end`, wrapping past hour 23; equal values
// close the road all day.
struct ClosureWindow {
    int start = 0;
    int end = 0;
    bool Contains(int hour) const {
        return end <= start ? hour >= start || hour < end : hour >= start && hour < end;
    }
};
ClosureWindow ClosureWindowFor(std::int32_t wzTiming);

// What the queue simulation keeps of one direction: whole numbers of vehicles.
struct DirectionDay {
    Hours demand{};
    Hours capacity{};
    Hours excess{};
    Hours queue{};
};

struct SimulatedDay {
    std::array<DirectionDay, 2> direction;
    // The queue grew from day to day, or the capacities never came to rest.
    bool gridlock = false;
};

// Settles the day: passes over the 24 hours until the queue left at midnight repeats, then
// capacities recomputed from where queues remain, until the settled day repeats.
SimulatedDay QueueSimulation(const std::array<Hours, 2>& demand, double normalCapacity,
                             double closureCapacity, double queueCapacity, ClosureWindow window);

// The hourly quantities of one direction that the valuation prices. Queue lengths and delays
// are never negative: a queue never shortens a trip.
struct HourlyQuantities {
    Hours servedVolume{};
    Hours queuedServed{};
    Hours queuedArrivals{};
    Hours freeFlowVolume{};
    Hours queueSpeed{};
    Hours queueLength{};
    Hours queueDelay{};
};
HourlyQuantities DeriveHourlyQuantities(const DirectionDay& day, ClosureWindow window,
                                        double normalCapacity, double speedLimit);

// Hours lost by one vehicle crossing the work zone at its lower speed limit.
inline double WorkZoneDelay(double wzLength, double wzSpeedLimit, double speedLimit) {
    return wzLength / wzSpeedLimit - wzLength / speedLimit;
}

} // namespace velmora
