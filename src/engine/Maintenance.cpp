#include "Maintenance.h"

#include "Arithmetic.h"

namespace velmora {

double MaintenanceCost(const std::array<MaintenanceActivity, 4>& rows,
                       const std::array<double, 4>& treatmentCount, double discountRate,
                       double projectLength) {
    std::array<double, 4> rowCost{};
    for (int r = 0; r < 4; ++r) {
        const MaintenanceActivity& row = rows[r];
        if (!(row.quantity > 0.0) || !(treatmentCount[r] > 0.0)) continue;
        for (double k = 1.0; k <= treatmentCount[r]; k += 1.0) {
            const double year = k * row.yearsBetween;
            rowCost[r] += (1.0 / std::pow(1.0 + discountRate / 100.0, year)) * row.unitPrice *
                          row.quantity / projectLength;
        }
    }
    return RoundWhole(rowCost[3] + rowCost[2] + rowCost[1] + rowCost[0]);
}

} // namespace velmora
