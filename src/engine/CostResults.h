#pragma once

#include <array>
#include <string>

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

// Calls visit(name, value) for the 24 results in the order the results form and the CLI list
// them: asphalt agency, user, maintenance and total, then the same for concrete.
template <class Visit>
void ForEachCostResult(const CostResults& r, Visit&& visit) {
    auto option = [&](const char* name, const std::array<double, 4>& agency, double agencySubtotal,
                      const std::array<double, 4>& user, double userSubtotal, double maintenance,
                      double total) {
        const std::string n = name;
        for (int k = 0; k < 4; ++k) visit(n + "Agency[" + std::to_string(k) + "]", agency[k]);
        visit(n + "AgencySubtotal", agencySubtotal);
        for (int k = 0; k < 4; ++k) visit(n + "User[" + std::to_string(k) + "]", user[k]);
        visit(n + "UserSubtotal", userSubtotal);
        visit(n + "MaintenanceCost", maintenance);
        visit(n + "Total", total);
    };
    option("asphalt", r.asphaltAgency, r.asphaltAgencySubtotal, r.asphaltUser,
           r.asphaltUserSubtotal, r.asphaltMaintenanceCost, r.asphaltTotal);
    option("concrete", r.concreteAgency, r.concreteAgencySubtotal, r.concreteUser,
           r.concreteUserSubtotal, r.concreteMaintenanceCost, r.concreteTotal);
}

} // namespace velmora
