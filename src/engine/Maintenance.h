#pragma once

// Recurring maintenance: treatments repeated at a fixed interval within the analysis period.

#include "model/ProjectData.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace velmora {

// The number of treatments within the analysis period, the first one a full interval after the
// start; 0 when no interval is set. The maintenance form shows it as the interval is typed.
inline double TreatmentCount(double analysisPeriod, std::int32_t yearsBetween) {
    if (yearsBetween <= 0) return 0.0;
    return std::trunc(analysisPeriod / yearsBetween);
}

// The rounded present worth per mile of every treatment of the four rows of an option, with the
// rows' treatment counts as given in `treatmentCount`.
double MaintenanceCost(const std::array<MaintenanceActivity, 4>& rows,
                       const std::array<double, 4>& treatmentCount, double discountRate,
                       double projectLength);

} // namespace velmora
