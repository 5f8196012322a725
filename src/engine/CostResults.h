#pragma once

#include <array>
#include <string>

namespace velmora {

// The two pavement options every project compares; results are indexed by them.
namespace PavementOption {
enum : int { Asphalt, Concrete };
// The prefix of the option's result names: "asphaltTotal", "concreteUser[2]".
inline constexpr std::array<const char*, 2> kNames{"asphalt", "concrete"};
// The stages as the results name them: overlays of asphalt, rehabilitations of concrete.
inline constexpr std::array<std::array<const char*, 4>, 2> kStageNames{{
    {"Initial Construction", "1st Overlay", "2nd Overlay", "3rd Overlay"},
    {"Initial Construction", "1st Rehabilitation", "2nd Rehabilitation", "3rd Rehabilitation"},
}};
} // namespace PavementOption

// One option's share of the results: net present value per mile, whole dollars, current dollars.
struct OptionCosts {
    std::array<double, 4> agency{};
    double agencySubtotal = 0.0;
    std::array<double, 4> user{};
    double userSubtotal = 0.0;
    double maintenanceCost = 0.0;
    double total = 0.0;
};

// The 24 results of one analysis run, indexed by PavementOption.
using CostResults = std::array<OptionCosts, 2>;

// Calls visit(name, value) for the 24 results in the order the results form and the CLI list
// them: asphalt agency, user, maintenance and total, then the same for concrete.
template <class Visit>
void ForEachCostResult(const CostResults& results, Visit&& visit) {
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
        const OptionCosts& r = results[option];
        const std::string n = PavementOption::kNames[option];
        for (int k = 0; k < 4; ++k) visit(n + "Agency[" + std::to_string(k) + "]", r.agency[k]);
        visit(n + "AgencySubtotal", r.agencySubtotal);
        for (int k = 0; k < 4; ++k) visit(n + "User[" + std::to_string(k) + "]", r.user[k]);
        visit(n + "UserSubtotal", r.userSubtotal);
        visit(n + "MaintenanceCost", r.maintenanceCost);
        visit(n + "Total", r.total);
    }
}

} // namespace velmora
