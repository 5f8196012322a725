// What a risk analysis asks of the machine: threads and memory, refused up front when the
// machine cannot give them, rather than found out by a run that swaps or dies halfway.

#include "Cli.h"
#include "risk/RiskMemory.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace velmora::cli {
namespace {

// A whole number of the text as a whole, or nullopt.
std::optional<std::uint64_t> WholeNumber(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "640 MB", "2.4 GB": what a user compares with what the machine shows.
std::string Size(std::uint64_t bytes) {
    constexpr double kGigabyte = 1e9, kMegabyte = 1e6;
    const auto value = static_cast<double>(bytes);
    const bool giga = value >= kGigabyte;
    char buffer[32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, giga ? value / kGigabyte : value / kMegabyte,
                      std::chars_format::fixed, giga ? 1 : 0);
    return std::string(buffer, end) + (giga ? " GB" : " MB");
}

} // namespace

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

std::optional<std::uint64_t> AvailableMemory() {
    if (const char* given = std::getenv("VELMORA_AVAILABLE_MEMORY"))
        if (const std::optional<std::uint64_t> bytes = WholeNumber(given)) return bytes;
    // What Linux could give a new run without swapping: free memory and the caches it can drop.
    std::ifstream meminfo("/proc/meminfo");
    for (std::string key; meminfo >> key;) {
        std::uint64_t kilobytes = 0;
        if (key == "MemAvailable:" && meminfo >> kilobytes) return kilobytes * 1024;
        meminfo.ignore(256, '\n');
    }
#if defined(_SC_AVPHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = ::sysconf(_SC_AVPHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
#endif
    return std::nullopt;
}

bool RiskFitsInMemory(const std::string& file, const risk::RiskDefinitions& definitions,
                      std::ostream& err) {
    const std::optional<std::uint64_t> available = AvailableMemory();
    const std::uint64_t needed = risk::EstimateRiskMemory(definitions);
    if (!available || needed <= *available) return true;
    err << "velmora-cli: " << file << ": " << definitions.MostIterations()
        << " iterations need about " << Size(needed) << " of memory, and " << Size(*available)
        << " is available; run fewer iterations (--iterations N), or stop at a precision "
           "(--precision D with --max-iterations N)\n";
    return false;
}

} // namespace velmora::cli
