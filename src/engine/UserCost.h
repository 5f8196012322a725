#pragma once

// Prices one typical work zone day of a stage for passenger cars, single-unit trucks and
// combination trucks, over the stage's working days, as present worth per mile.

#include "QueueModel.h"

#include <array>

namespace velmora {

inline constexpr int kVehicleClassCount = 3; // passenger cars, single-unit trucks, combination
inline constexpr int kSpeedRowCount = 17;    // 0 to 80 mph in steps of 5

// The unit values of one run, scaled to the project's price index.
struct UserCostTables {
    std::array<double, kVehicleClassCount> classFraction{};
    std::array<double, kVehicleClassCount> valueOfTime{};
    std::array<double, kVehicleClassCount> idlingCost{};
    // Per 1000 stops from the speed of the row: added hours, and added operating dollars.
    std::array<std::array<double, kVehicleClassCount>, kSpeedRowCount> stopTimeTable{};
    std::array<std::array<double, kVehicleClassCount>, kSpeedRowCount> stopCostTable{};
};
UserCostTables MakeUserCostTables(double truckPercent, double currentCpi);

// The rows of a speed in the speed change tables: queue stops and speed change time take the
// whole mph divided by 5, the speed change operating cost the whole part of mph times 0.2.
struct SpeedRows {
    int speedIndex = 0;
    int wzSpeedIndex = 0;
    int costSpeedIndex = 0;
    int costWzSpeedIndex = 0;
};
// Needs speeds of 0 up to but not including 85 mph.
SpeedRows SpeedRowsFor(double speedLimit, double wzSpeedLimit);

// One stage's day as both directions saw it.
struct StageTraffic {
    std::array<DirectionDay, 2> day;
    std::array<HourlyQuantities, 2> hourly;
};

// The seven components of a stage, each in dollars over the stage's days, in the order they are
// added up and listed (velmora-cli compute --json).
namespace UserCostComponent {
enum : int {
    QueueDelay,
    QueueIdling,
    QueueStopTime,
    QueueStopCost,
    WorkZoneSpeed, // every vehicle through the work zone at its lower speed limit
    SpeedChangeTime,
    SpeedChangeCost,
    Count
};
} // namespace UserCostComponent
using UserCostComponents = std::array<double, UserCostComponent::Count>;
UserCostComponents ValueUserCostComponents(const StageTraffic& traffic,
                                           const UserCostTables& tables, SpeedRows rows,
                                           double workZoneDelay, double days);

// The run-wide quantities of the work zone model, shared by both options and every stage.
struct WorkZoneModel {
    const HourlyTables* hourlyTables = nullptr;
    double normalCapacity = 0.0;
    double closureCapacity = 0.0;
    double queueCapacity = 0.0;
    double workZoneDelay = 0.0;
    UserCostTables tables;
    SpeedRows rows;
};
// Needs a project that PrepareAnalysis let through with user costs included.
WorkZoneModel MakeWorkZoneModel(const ProjectData& project);

// The components of a stage added in order, per mile, discounted to the stage's year, rounded.
double UserStageValue(const UserCostComponents& components, double projectLength, double year,
                      double discountRate);

} // namespace velmora
