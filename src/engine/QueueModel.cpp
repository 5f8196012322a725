#include "QueueModel.h"

#include "Arithmetic.h"

namespace velmora {
namespace {

constexpr HourlyTables kRural{
    {1.8, 1.5, 1.3, 1.3, 1.5, 1.8, 2.5, 3.5, 4.2, 5.0, 5.4, 5.6,
     5.7, 6.4, 6.8, 7.3, 9.3, 7.0, 5.5, 4.7, 3.8, 3.2, 2.6, 2.3},
    {48, 48, 45, 53, 53, 53, 57, 56, 56, 54, 51, 51,
     50, 52, 51, 53, 49, 43, 47, 47, 46, 48, 48, 47},
};
constexpr HourlyTables kUrban{
    {1.2, 0.8, 0.7, 0.5, 0.7, 1.7, 5.1, 7.8, 6.3, 5.2, 4.7, 5.3,
     5.6, 5.7, 5.9, 6.5, 7.9, 8.5, 5.9, 3.9, 3.3, 2.8, 2.3, 1.7},
    {47, 43, 46, 48, 57, 58, 63, 60, 59, 55, 46, 49,
     50, 50, 49, 46, 45, 40, 46, 48, 47, 47, 48, 45},
};

// Passenger-car equivalent of a truck on level, rolling and mountainous terrain.
constexpr std::array<double, 3> kTruckEquivalent{1.5, 3.0, 6.0};

// The day settles within 50 passes or the queue grows for good.
constexpr int kPassLimit = 50;
// Capacities follow the queues and the queues the capacities; a day whose pattern keeps
// alternating never settles, and is reported as gridlock rather than run forever.
constexpr int kOuterLimit = 100;

double NotBelowZero(double x) {
    return x < 0.0 ? 0.0 : x;
}

int HourBefore(int h) {
    return h == 0 ? 23 : h - 1;
}

// The vehicles of an hour that still met the queue left from the hour before, which cleared
// part-way through this hour: `flow` × queue[p] / −excess[h]. Truncated arrays can show a
// cleared queue in an hour without a deficit; the queue then took the whole hour.
double ClearingShare(double flow, double queueBefore, double excess) {
    const double deficit = excess * -1.0;
    if (deficit == 0.0) return RoundWhole(flow);
    return RoundWhole((flow * queueBefore) / deficit);
}

} // namespace

const HourlyTables& HourlyTablesFor(std::int32_t trafficType) {
    return trafficType == TrafficType::Urban ? kUrban : kRural;
}

std::array<Hours, 2> StageDemand(const HourlyTables& t, double stageAdt) {
    std::array<Hours, 2> demand;
    for (int h = 0; h < 24; ++h) {
        const double share = t.hourlyPercent[h] * 0.01;
        demand[0][h] = RoundWhole((t.directionPercent[h] * 0.01) * share * stageAdt);
        demand[1][h] = RoundWhole(((100.0 - t.directionPercent[h]) * 0.01) * share * stageAdt);
    }
    return demand;
}

double NormalCapacity(double laneCount, double truckPercent, std::int32_t terrain) {
    const double lanesPerDirection = laneCount * 0.5;
    const double base = lanesPerDirection <= 2.0 ? 2200.0 : 2300.0;
    const double heavyVehicleFactor =
        100.0 / (100.0 + truckPercent * (kTruckEquivalent[terrain] - 1.0));
    return (heavyVehicleFactor * base) * lanesPerDirection;
}

ClosureWindow ClosureWindowFor(std::int32_t wzTiming) {
    return wzTiming == WorkZoneTiming::FullDay ? ClosureWindow{0, 0} : ClosureWindow{20, 6};
}

SimulatedDay QueueSimulation(const std::array<Hours, 2>& demand, double normalCapacity,
                             double closureCapacity, double queueCapacity, ClosureWindow window) {
    // Direction 1 opens the day with the unrounded capacity and direction 2 with the whole one;
    // later hours the other way round.
    const double wholeNormal = WholePart(normalCapacity);
    const std::array<std::array<double, 2>, 2> openCapacity{
        {{normalCapacity, wholeNormal}, {wholeNormal, normalCapacity}}};
    std::array<Hours, 2> capacity, excess, queue{};
    bool gridlock = false;
    double lastOuterTotal = 0.0;

    for (int outer = 1;; ++outer) {
        bool overloaded = false;
        for (int d = 0; d < 2; ++d) {
            for (int h = 0; h < 24; ++h) {
                if (window.Contains(h))
                    capacity[d][h] = closureCapacity;
                else if (queue[d][HourBefore(h)] != 0.0)
                    capacity[d][h] = queueCapacity;
                else
                    capacity[d][h] = openCapacity[d][h == 0 ? 0 : 1];
                excess[d][h] = demand[d][h] - capacity[d][h];
                overloaded |= excess[d][h] > 0.0;
            }
        }
        // Demand within capacity in every hour of a day that starts without queues: none forms,
        // and the day is settled as it began.
        if (!overloaded && outer == 1) break;

        // Passes over the day until the queue carried past midnight repeats.
        Hours& q1 = queue[0];
        Hours& q2 = queue[1];
        const Hours& e1 = excess[0];
        const Hours& e2 = excess[1];
        q1[0] = q2[0] = 0.0;
        double previousTotal = 0.0;
        double total = 0.0;
        for (int pass = 1;; ++pass) {
            double sum = 0.0;
            for (int h = 1; h < 24; ++h) {
                q1[h] = NotBelowZero(q1[h - 1] + e1[h]);
                q2[h] = NotBelowZero(q2[h - 1] + e2[h]);
                sum = WholePart(sum + q1[h] + q2[h]);
            }
            q1[0] = NotBelowZero(q1[23] + e1[0]);
            q2[0] = NotBelowZero(q2[23] + e2[0]);
            total = WholePart(sum + q1[0] + q2[0]);
            if (total == previousTotal) break;
            if (pass > kPassLimit) {
                gridlock = true;
                break;
            }
            previousTotal = total;
        }
        if (gridlock || total == lastOuterTotal) break;
        if (outer == kOuterLimit) {
            gridlock = true;
            break;
        }
        lastOuterTotal = total;
    }

    SimulatedDay day;
    day.gridlock = gridlock;
    for (int d = 0; d < 2; ++d) {
        DirectionDay& out = day.direction[d];
        out.demand = demand[d];
        for (int h = 0; h < 24; ++h) {
            out.capacity[h] = WholePart(capacity[d][h]);
            out.excess[h] = WholePart(excess[d][h]);
            out.queue[h] = WholePart(queue[d][h]);
        }
    }
    return day;
}

HourlyQuantities DeriveHourlyQuantities(const DirectionDay& day, ClosureWindow window,
                                        double normalCapacity, double speedLimit) {
    HourlyQuantities q;
    for (int h = 0; h < 24; ++h) {
        const int p = HourBefore(h);
        const double demand = day.demand[h];
        const double capacity = day.capacity[h];
        const bool queued = day.queue[h] != 0.0;
        const bool queuedBefore = day.queue[p] != 0.0;

        if (window.Contains(h)) {
            const double arriving = day.queue[p] + demand;
            q.servedVolume[h] = arriving < capacity ? arriving : capacity;
        }
        if (queued) {
            q.queuedServed[h] = capacity;
            q.queuedArrivals[h] = demand;
        } else if (queuedBefore) {
            q.queuedServed[h] = ClearingShare(day.capacity[p], day.queue[p], day.excess[h]);
            q.queuedArrivals[h] = ClearingShare(demand, day.queue[p], day.excess[h]);
        }
        const double served = q.servedVolume[h];
        if (served > 0.0 && served < capacity)
            q.freeFlowVolume[h] = q.queuedServed[h] != 0.0 ? demand - q.queuedArrivals[h] : served;

        if (queued || queuedBefore) {
            const double r = capacity / normalCapacity;
            q.queueSpeed[h] = 13.334 * (r * r) + 12.707 * r;
        }
        const double speed = q.queueSpeed[h];
        if (speed > 0.0) {
            // Mean queue of the hour over the difference between the density in the queue and
            // that of the approaching traffic. Equal densities give the model no queue length.
            const double densityGap = capacity / speed - demand / speedLimit;
            // Arrivals denser than the queue (heavy trucks on hills) give a negative length, and
            // a queue faster than the speed limit (more work zone lanes than the road has in a
            // direction) a negative delay. A queue never shortens a trip: such an hour counts none.
            if (densityGap != 0.0)
                q.queueLength[h] = NotBelowZero((day.queue[p] + day.queue[h]) * 0.5 / densityGap);
            q.queueDelay[h] =
                NotBelowZero(q.queueLength[h] / speed - q.queueLength[h] / speedLimit);
        }
    }
    return q;
}

} // namespace velmora
