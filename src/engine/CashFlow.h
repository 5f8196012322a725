#pragma once

// Where and when the money of an analysis run goes: every expenditure of each option in the
// year it falls, per mile, as it was spent and as present worth. The cost charts, the workbook
// and the printout draw from it; its present worths are the run's results before rounding.

#include "Analysis.h"
#include "model/ProjectData.h"

#include <vector>

namespace velmora {

enum class CashFlowKind { Agency, User, Maintenance };

struct CashFlow {
    int option = 0; // PavementOption
    CashFlowKind kind = CashFlowKind::Agency;
    // The stage (agency and user costs) or the maintenance row the expenditure belongs to.
    int item = 0;
    // Stage years may be fractional; maintenance treatments fall in whole years.
    double year = 0.0;
    double undiscounted = 0.0; // dollars per mile in that year
    double discounted = 0.0;   // present worth per mile, not rounded
};

// The expenditures of both options, asphalt first, each option's agency stages, then its user
// cost stages, then its maintenance treatments row by row. User costs appear only where the run
// counted them (included, no gridlock); zero amounts are left out.
std::vector<CashFlow> CashFlows(const ProjectData& project, const AnalysisResult& run);

// The equal yearly amount over `analysisPeriod` years whose present worth at `discountRate`
// (percent) is `presentValue`; 0 for a period under one year.
double EquivalentUniformAnnualCost(double presentValue, double discountRate, double analysisPeriod);

} // namespace velmora
