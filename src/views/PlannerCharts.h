#pragma once

// The simulated work zone day as a picture, shared by the Work Zone Planner and the printed
// report: each direction's demand against the capacity of its open lanes hour by hour, the
// queue length on a second scale, and the closure hours shaded.

#include "planner/WorkZonePlanner.h"

#include <QString>

class QChart;

namespace velmora {

QChart* MakeHourlyChart(const planner::StageDay& day, const QString& title);

} // namespace velmora
