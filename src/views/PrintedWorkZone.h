#pragma once

// The printed report's page of the work zone planner, for a project with planner settings.

#include "report/WorkZoneReport.h"
#include "views/PrintedPages.h"

namespace velmora {

// The settings in force, the simulated day of the stage that costs road users most at its
// project window, and for every stage of both options its three best windows beside the
// project's own, with what the project's window costs more.
void AddWorkZonePage(PrintedPages& pages, const WorkZoneReport& report);

} // namespace velmora
