#include "RiskMemory.h"

#include "RiskAnalysis.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string_view>
#if defined(_WIN32)
#include <windows.h>
#elif __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace velmora::risk {
namespace {

// A whole number of the text as a whole, or nullopt.
std::optional<std::uint64_t> ParsedWhole(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::uint64_t EstimateRiskMemory(const RiskDefinitions& definitions) {
    const auto iterations =
        static_cast<std::uint64_t>(std::max<std::int64_t>(definitions.MostIterations(), 0));
    const std::uint64_t columns = definitions.inputs.size() + kResultCount;
    // Correlated samples are reordered, and the summary ranks, on two threads, each with two
    // 8-byte sort keys, two 4-byte positions and an 8-byte value per iteration.
    constexpr std::uint64_t kRankingBytes = 32;
    return iterations *
           (columns * sizeof(double) + sizeof(std::uint8_t) + kRankingThreads * kRankingBytes);
}

std::string MemorySize(std::uint64_t bytes) {
    constexpr double kGigabyte = 1e9, kMegabyte = 1e6;
    const auto value = static_cast<double>(bytes);
    const bool giga = value >= kGigabyte;
    const double amount = giga ? value / kGigabyte : value / kMegabyte;
    // Small amounts keep a decimal, so that two of them never read alike.
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, amount,
                                         std::chars_format::fixed, giga || amount < 10 ? 1 : 0);
    return std::string(buffer, end) + (giga ? " GB" : " MB");
}

std::string MemoryShortfall(const RiskDefinitions& definitions) {
    const std::optional<std::uint64_t> available = AvailableMemory();
    const std::uint64_t needed = EstimateRiskMemory(definitions);
    if (!available || needed <= *available) return {};
    return std::to_string(definitions.MostIterations()) + " iterations need about " +
           MemorySize(needed) + " of memory, and " + MemorySize(*available) + " is available";
}

std::optional<std::uint64_t> AvailableMemory() {
    if (const char* given = std::getenv("VELMORA_AVAILABLE_MEMORY"))
        if (const std::optional<std::uint64_t> bytes = ParsedWhole(given)) return bytes;
#if defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (::GlobalMemoryStatusEx(&status)) return status.ullAvailPhys;
#else
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
#endif
    return std::nullopt;
}

} // namespace velmora::risk
