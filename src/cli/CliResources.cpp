// What a risk analysis asks of the machine: threads and memory, refused up front when the
// machine cannot give them, rather than found out by a run that swaps or dies halfway.

#include "Cli.h"
#include "risk/RiskMemory.h"

#include <charconv>
#include <ostream>
#include <thread>

namespace velmora::cli {

bool ThreadsOf(const Arguments& arguments, unsigned& threads, std::ostream& err) {
    threads = 0;
    if (!arguments.threads) return true;
    const std::string& text = *arguments.threads;
    std::int64_t count = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (end != text.data() + text.size() ||
        (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        err << "velmora-cli: --threads needs a whole number, not " << text << '\n';
        return false;
    }
    if (text.starts_with('-') || (ec == std::errc() && count < 1)) {
        err << "velmora-cli: --threads must be 1 or more\n";
        return false;
    }
    // More threads than this only share the cores, and each holds a stack and a copy of the
    // project: a million of them took gigabytes.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::int64_t most = 4 * static_cast<std::int64_t>(cores);
    if (ec != std::errc() || count > most) {
        err << "velmora-cli: --threads must be at most " << most << ", four for each of the "
            << cores << " cores of this machine, not " << text << '\n';
        return false;
    }
    threads = static_cast<unsigned>(count);
    return true;
}

bool RiskFitsInMemory(const std::string& file, const risk::RiskDefinitions& definitions,
                      std::ostream& err) {
    const std::string shortfall = risk::MemoryShortfall(definitions);
    if (shortfall.empty()) return true;
    err << "velmora-cli: " << file << ": " << shortfall
        << "; run fewer iterations (--iterations N), or stop at a precision "
           "(--precision D with --max-iterations N)\n";
    return false;
}

} // namespace velmora::cli
