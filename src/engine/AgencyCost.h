#pragma once

// What the road agency pays for the work of each stage: the pay items priced with the unit
// prices, plus mobilization and traffic control, discounted to present worth per mile.

#include "model/ProjectData.h"

#include <array>

namespace velmora {

// Tons of a layer over the whole project: width in ft, thickness in inches, unit weight in pcf,
// length in miles. 2.64 is 5280 ft per mile over 2000 lb per ton.
inline double LayerTons(double width, double thickness, double unitWeight, double length) {
    return thickness * 0.0833333333333333 * width * unitWeight * length * 2.64;
}

// The paved width of the project, shared by both options.
inline double PavedWidth(const ProjectData& project) {
    return (project.shoulderCount * project.shoulderWidth) +
           (project.laneWidth * project.laneCount);
}

// The pay items of one stage, before mobilization and traffic control, in dollars per project.
double AsphaltStageCost(const ProjectData& project, int stage);
double ConcreteStageCost(const ProjectData& project, int stage);

// The stage cost with mobilization and traffic control, both taken on the stage cost alone.
double StageTotal(double stageCost, double mobilizationPct, double trafficControlPct);

// The rounded present worth per mile of the four stages of each option.
struct AgencyCosts {
    std::array<double, 4> asphalt{};
    std::array<double, 4> concrete{};
};
AgencyCosts ComputeAgencyCosts(const ProjectData& project);

} // namespace velmora
