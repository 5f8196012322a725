#pragma once

// The work zone planner: one stage's simulated day for any closure window, and the search over
// every window of whole consecutive hours for the closure schedule that costs road users least.
// It runs the analysis's own queue model and valuation, so the project's own window gives each
// stage the user cost Compute Costs gives it.

#include "PlannerSettings.h"
#include "engine/HandOff.h"
#include "engine/UserCost.h"
#include "model/ProjectData.h"

#include <array>
#include <string>
#include <vector>

namespace velmora::planner {

// One hour of one direction of a simulated day.
struct HourRow {
    double demand = 0.0;
    double capacity = 0.0;
    double queue = 0.0; // vehicles waiting at the end of the hour
    double queueMiles = 0.0;
    double delayMinutes = 0.0; // per vehicle that met the queue
    double served = 0.0;       // vehicles through the work zone point
    bool closed = false;
};

// What a window does to a stage's working days, and the day it gives.
struct StageDay {
    ClosureWindow window;
    double year = 0.0;
    double days = 0.0;
    std::array<std::array<HourRow, 24>, 2> hours{}; // by direction, then hour
    bool gridlock = false;
    // The seven components over the stage's days, and their present worth per mile (0 when the
    // day never settles), whatever the inclusion switches say.
    UserCostComponents components{};
    double userCost = 0.0;
};

// The reasons a candidate is not feasible, as bits.
namespace Broken {
enum : unsigned {
    Gridlock = 1,     // the queue never clears: no finite cost
    NoWorkTime = 2,   // the window is no longer than the setup time
    QueueLength = 4,  // longer than maxQueueMiles
    Delay = 8,        // longer than maxDelayMinutes
    Days = 16,        // more than maxDays
    ClosedHours = 32, // stands in an hour of noClosure
};
} // namespace Broken

struct Candidate {
    ClosureWindow window;
    int hours = 0;
    double days = 0.0;
    double closures = 0.0;
    // Present worth per mile, whole dollars; all 0 when the window is gridlocked or unworkable.
    double userCost = 0.0;
    double closureCost = 0.0;
    double total = 0.0;
    double maxQueueMiles = 0.0;
    double maxDelayMinutes = 0.0;
    unsigned broken = 0;
    bool gridlock() const { return broken & Broken::Gridlock; }
    bool feasible() const { return broken == 0; }
    // Gridlocked and unworkable windows have no cost to compare.
    bool priced() const { return !(broken & (Broken::Gridlock | Broken::NoWorkTime)); }
};

struct StageSearch {
    int stage = 0;
    double year = 0.0;
    Candidate projectWindow;
    // Every window (kWindowCount), cheapest feasible first, then the infeasible ones by total,
    // then those without a cost.
    std::vector<Candidate> candidates;
    // The place of `window` in the ranking, or -1 when it is none of the candidates.
    int RankOf(ClosureWindow window) const;
};

struct OptionSearch {
    std::array<StageSearch, 4> stages;
};

struct PlannerRun {
    // Set when the project cannot be analysed; nothing else is then.
    Refusal refusal;
    std::array<OptionSearch, 2> options; // indexed by PavementOption
    bool ok() const { return refusal.text.empty(); }
};

// Every start hour with every length of 1 to 23 hours, and the 24-hour closure once.
inline constexpr int kWindowCount = 24 * 23 + 1;
const std::array<ClosureWindow, kWindowCount>& CandidateWindows();
int WindowHours(ClosureWindow window);
bool SameWindow(ClosureWindow a, ClosureWindow b);
ClosureWindow ProjectWindow(const ProjectData& project, int option);

// The project as the planner reads it: road users are priced whatever the inclusion switches
// say, so both say Include before the hand-off decides.
struct PreparedProject {
    ProjectData project;
    Refusal refusal;
    WorkZoneModel model;
    bool ok() const { return refusal.text.empty(); }
};
PreparedProject PrepareProject(const ProjectData& project);

// The working days of a stage closed in `window`: its days to complete, scaled by the productive
// hours of the project's window over those of `window` (hours less the setup time, a 24-hour
// closure all 24), whole days as the analysis counts them. 0 when `window` has no productive hour.
double WindowDays(double daysToComplete, ClosureWindow projectWindow, ClosureWindow window,
                  double setupHours);

// The day of a demand given hour by hour in both directions, valued over `days`; its year and
// user cost are the caller's.
StageDay SimulateDemand(const WorkZoneModel& model, double speedLimit,
                        const std::array<Hours, 2>& demand, ClosureWindow window, double days);

// The simulated day of stage `stage` (0 initial, 1 to 3 the rehabilitations) of an option.
StageDay SimulateStage(const PreparedProject& prepared, int option, int stage, ClosureWindow window,
                       double setupHours);

// "Asphalt", "Concrete".
const char* OptionName(int option);
// As the option's forms name its stages: "1st Overlay" for asphalt, "1st Rehabilitation" for
// concrete.
const char* StageName(int option, int stage);
// The user cost components as the planner lists them: "Queue delay", "Queue stops, time".
const char* ComponentName(int component);

// How people read an hour of the day: "12 AM", "8 PM".
std::string HourText(int hour);
// How people read a window: "8 PM-6 AM", "10 AM-12 PM", "24 hours".
std::string WindowText(ClosureWindow window);
// The limits a candidate breaks, in words joined by ", ": "gridlock, queue too long"; empty when
// it is feasible.
std::string BrokenText(unsigned broken);

// The whole search: every window for every stage of both options.
PlannerRun SearchClosures(const ProjectData& project, const PlannerSettings& settings);
// The same on a project prepared once for the search and the days it shows.
PlannerRun SearchClosures(const PreparedProject& prepared, const PlannerSettings& settings);

} // namespace velmora::planner
