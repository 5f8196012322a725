#pragma once

// What a risk analysis asks of the machine, known before it runs, so that a front end can refuse
// a run the machine cannot hold instead of running out of memory halfway.

#include "RiskDefinitions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::risk {

// The bytes a risk analysis of `definitions` holds at its largest: each iteration's inputs and
// 24 results, its outcome, and the statistics' scratch for ranking a result. A precision-driven
// run is counted at its most iterations. A floor rather than a ceiling: a run refused on it would
// certainly not have fitted.
std::uint64_t EstimateRiskMemory(const RiskDefinitions& definitions);

// The bytes a new run could have without swapping (Linux: MemAvailable), or nothing when the
// system does not say. VELMORA_AVAILABLE_MEMORY, a number of bytes, stands in for it.
std::optional<std::uint64_t> AvailableMemory();

// "640 MB", "2.4 GB": what a user compares with what the machine shows.
std::string MemorySize(std::uint64_t bytes);

// When a run of `definitions` would not fit in the memory available: "3000 iterations need
// about 1.3 MB of memory, and 1.0 MB is available", to which each front end adds its advice.
// Empty when it fits, or when the system does not say what is available.
std::string MemoryShortfall(const RiskDefinitions& definitions);

} // namespace velmora::risk
