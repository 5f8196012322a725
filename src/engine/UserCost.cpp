#include "UserCost.h"

#include "Arithmetic.h"

namespace velmora {
namespace {

using ClassValues = std::array<double, kVehicleClassCount>;

// Base values at a price index of 152.4.
constexpr ClassValues kValueOfTime{11.58, 18.54, 22.31};
constexpr ClassValues kIdlingCost{0.6927, 0.7681, 0.8248};

// Per 1000 stops from the speed of the row (0 to 80 mph in steps of 5), by class: the added
// hours, and the added operating dollars at the base index.
struct StopRow {
    ClassValues hours;
    ClassValues dollars;
};
constexpr std::array<StopRow, kSpeedRowCount> kStops{{
    {{0, 0, 0}, {0, 0, 0}},
    {{1.02, 0.73, 1.10}, {2.70, 9.25, 33.62}},
    {{1.51, 1.47, 2.27}, {8.83, 20.72, 77.49}},
    {{2.00, 2.20, 3.48}, {15.16, 33.89, 129.97}},
    {{2.49, 2.93, 4.76}, {21.74, 48.40, 190.06}},
    {{2.98, 3.67, 6.10}, {28.67, 63.97, 256.54}},
    {{3.46, 4.40, 7.56}, {36.10, 80.23, 328.21}},
    {{3.94, 5.13, 9.19}, {44.06, 96.88, 403.84}},
    {{4.42, 5.87, 11.09}, {52.70, 113.97, 482.21}},
    {{4.90, 6.60, 13.39}, {62.07, 130.08, 562.14}},
    {{5.37, 7.33, 16.37}, {72.31, 145.96, 642.41}},
    {{5.84, 8.07, 20.72}, {83.47, 160.89, 721.77}},
    {{6.31, 8.80, 27.94}, {95.70, 178.98, 798.99}},
    {{6.78, 9.53, 37.48}, {109.02, 195.84, 912.66}},
    {{7.25, 10.27, 46.45}, {123.61, 217.60, 1014.54}},
    {{7.71, 11.00, 57.05}, {139.53, 237.34, 1120.94}},
    {{8.17, 11.74, 69.41}, {156.85, 257.64, 1231.87}},
}};

} // namespace

UserCostTables MakeUserCostTables(double truckPercent, double currentCpi) {
    UserCostTables t;
    const double half = truckPercent / 2.0;
    t.classFraction = {(100.0 - half - half) * 0.01, half * 0.01, half * 0.01};
    for (int c = 0; c < kVehicleClassCount; ++c) {
        t.valueOfTime[c] = IndexedCost(kValueOfTime[c], currentCpi);
        t.idlingCost[c] = IndexedCost(kIdlingCost[c], currentCpi);
        for (int row = 0; row < kSpeedRowCount; ++row) {
            t.stopTimeTable[row][c] = kStops[row].hours[c];
            t.stopCostTable[row][c] = IndexedCost(kStops[row].dollars[c], currentCpi);
        }
    }
    return t;
}

SpeedRows SpeedRowsFor(double speedLimit, double wzSpeedLimit) {
    return {static_cast<int>(speedLimit) / 5, static_cast<int>(wzSpeedLimit) / 5,
            static_cast<int>(speedLimit * 0.2), static_cast<int>(wzSpeedLimit * 0.2)};
}

UserCostComponents ValueUserCostComponents(const StageTraffic& traffic, const UserCostTables& t,
                                           SpeedRows rows, double workZoneDelay, double days) {
    using namespace UserCostComponent;
    ClassValues stopTime, stopCost, speedChangeTime, speedChangeCost;
    for (int c = 0; c < kVehicleClassCount; ++c) {
        stopTime[c] = t.stopTimeTable[rows.speedIndex][c];
        stopCost[c] = t.stopCostTable[rows.speedIndex][c];
        speedChangeTime[c] = stopTime[c] - t.stopTimeTable[rows.wzSpeedIndex][c];
        speedChangeCost[c] =
            t.stopCostTable[rows.costSpeedIndex][c] - t.stopCostTable[rows.costWzSpeedIndex][c];
    }
    // Each component sums its hours per direction and class, adds the two directions per class,
    // multiplies by the days, and adds the classes from combination trucks down to cars. An hour
    // without vehicles adds exact zeros, so it is skipped.
    std::array<std::array<ClassValues, UserCostComponent::Count>, 2> sums;
    for (int d = 0; d < 2; ++d) {
        const HourlyQuantities& q = traffic.hourly[d];
        std::array<ClassValues, UserCostComponent::Count> sum{};
        for (int h = 0; h < 24; ++h) {
            if (const double queued = q.queuedServed[h] * q.queueDelay[h]; queued != 0.0) {
                for (int c = 0; c < kVehicleClassCount; ++c) {
                    const double queueHours = queued * t.classFraction[c];
                    sum[QueueDelay][c] += queueHours * t.valueOfTime[c];
                    sum[QueueIdling][c] += queueHours * t.idlingCost[c];
                }
            }
            if (const double arrivals = q.queuedArrivals[h]; arrivals != 0.0) {
                for (int c = 0; c < kVehicleClassCount; ++c) {
                    const double share = arrivals * t.classFraction[c];
                    sum[QueueStopTime][c] += share * stopTime[c] * t.valueOfTime[c] * 0.001;
                    sum[QueueStopCost][c] += share * stopCost[c] * 0.001;
                }
            }
            if (const double served = q.servedVolume[h] * workZoneDelay; served != 0.0) {
                for (int c = 0; c < kVehicleClassCount; ++c)
                    sum[WorkZoneSpeed][c] += served * t.classFraction[c] * t.valueOfTime[c];
            }
            if (const double freeFlow = q.freeFlowVolume[h]; freeFlow != 0.0) {
                for (int c = 0; c < kVehicleClassCount; ++c) {
                    const double share = freeFlow * t.classFraction[c];
                    sum[SpeedChangeTime][c] +=
                        share * speedChangeTime[c] * t.valueOfTime[c] * 0.001;
                    sum[SpeedChangeCost][c] += share * speedChangeCost[c] * 0.001;
                }
            }
        }
        sums[d] = sum;
    }
    UserCostComponents components{};
    for (int n = 0; n < UserCostComponent::Count; ++n) {
        double total = 0.0;
        for (int c = kVehicleClassCount - 1; c >= 0; --c)
            total += (sums[0][n][c] + sums[1][n][c]) * days;
        components[n] = total;
    }
    return components;
}

WorkZoneModel MakeWorkZoneModel(const ProjectData& p) {
    return {&HourlyTablesFor(p.trafficType),
            NormalCapacity(p.laneCount, p.truckPercent, p.terrain),
            p.wzLanes * 1000.0,
            p.wzLanes * 1400.0,
            WorkZoneDelay(p.wzLength, p.wzSpeedLimit, p.speedLimit),
            MakeUserCostTables(p.truckPercent, p.currentCpi),
            SpeedRowsFor(p.speedLimit, p.wzSpeedLimit)};
}

double UserStageValue(const UserCostComponents& components, double projectLength, double year,
                      double discountRate) {
    double sum = 0.0;
    for (double component : components) sum += component;
    // Per mile first, then discounted: the other way round from the agency costs.
    return RoundWhole(PresentWorth(sum / projectLength, year, discountRate));
}

} // namespace velmora
