#pragma once

#include <array>

namespace velmora {

// The 24 results of one analysis run: net present value per mile, whole dollars, current dollars.
struct CostResults {
    std::array<double, 4> asphaltAgency{};
    double asphaltAgencySubtotal = 0.0;
    std::array<double, 4> asphaltUser{};
    double asphaltUserSubtotal = 0.0;
    double asphaltMaintenanceCost = 0.0;
    double asphaltTotal = 0.0;

    std::array<double, 4> concreteAgency{};
    double concreteAgencySubtotal = 0.0;
    std::array<double, 4> concreteUser{};
    double concreteUserSubtotal = 0.0;
    double concreteMaintenanceCost = 0.0;
    double concreteTotal = 0.0;
};

} // namespace velmora
