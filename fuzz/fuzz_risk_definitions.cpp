// Any bytes given as risk definitions must be refused with a message that holds no control
// character, or pass the check and then run: definitions that pass must read back as written,
// and every sample they draw must be a number, every result of an iteration not refused too.
#include "risk/RiskAnalysis.h"
#include "risk/RiskDefinitionsCheck.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool HoldsAControl(std::string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && k + 1 < text.size() &&
            (static_cast<unsigned char>(text[k + 1]) & 0xE0) == 0x80)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    using namespace velmora::risk;
    // Queues at the work zone, so that traffic inputs reach the queue model.
    static const ProjectData project = [] {
        ProjectData p;
        p.aadt = 30000.0;
        p.laneCount = 4.0;
        return p;
    }();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedDefinitions parsed = ParseRiskDefinitions(text);
    if (!parsed.ok()) {
        if (HoldsAControl(parsed.error)) std::abort();
        return 0;
    }
    const std::string written = RiskDefinitionsText(parsed.definitions);
    const ParsedDefinitions again = ParseRiskDefinitions(written);
    if (!again.ok() || RiskDefinitionsText(again.definitions) != written) std::abort();

    const DefinitionsCheck check = CheckRiskDefinitions(parsed.definitions, project);
    if (!check.ok()) {
        if (HoldsAControl(check.error)) std::abort();
        return 0;
    }
    RiskDefinitions d = parsed.definitions;
    d.iterations = 20;
    d.precision.reset();
    d.maxIterations.reset();
    const RiskAnalysis a = RunRiskAnalysis(project, d, {1, nullptr});
    if (!a.error.empty() || a.iterations != 20) std::abort();
    for (const auto& column : a.inputs)
        for (double v : column)
            if (!std::isfinite(v)) std::abort();
    for (std::size_t i = 0; i < a.outcome.size(); ++i)
        for (const auto& column : a.results)
            if (!(a.outcome[i] & kRefused) && !std::isfinite(column[i])) std::abort();
    return 0;
}
