#pragma once

// Random numbers as a pure function of (seed, iteration, input, stream), so that a simulation
// gives the same samples whichever thread draws them and in whatever order.

#include <cstdint>

namespace velmora::risk {

// What a number is drawn for; each use has its own stream so that none reuses another's.
enum class Stream : std::uint32_t { Sample, Strata, Scores };

// SplitMix64's finalizer: every input bit reaches every output bit.
constexpr std::uint64_t Mix64(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

constexpr std::uint64_t CounterRandom(std::uint64_t seed, std::uint64_t iteration,
                                      std::uint32_t input, Stream stream) {
    const std::uint64_t key =
        static_cast<std::uint64_t>(input) << 32 | static_cast<std::uint32_t>(stream);
    return Mix64(Mix64(Mix64(seed) ^ iteration) ^ key);
}

// 53 random bits as a number strictly between 0 and 1.
constexpr double UnitInterval(std::uint64_t bits) {
    return (static_cast<double>(bits >> 11) + 0.5) * 0x1p-53;
}

// The high 64 bits of the 128-bit product a x b from 32-bit halves, for compilers without a
// 128-bit integer.
constexpr std::uint64_t MultiplyHighByHalves(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t low = aLow * bLow;
    const std::uint64_t middle = aHigh * bLow + (low >> 32);
    const std::uint64_t cross = aLow * bHigh + (middle & 0xFFFFFFFFu);
    return aHigh * bHigh + (middle >> 32) + (cross >> 32);
}

constexpr std::uint64_t MultiplyHigh(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(a) * b) >> 64);
#else
    return MultiplyHighByHalves(a, b);
#endif
}

// A whole number from 0 to n - 1.
constexpr std::uint64_t Below(std::uint64_t bits, std::uint64_t n) {
    return MultiplyHigh(bits, n);
}

} // namespace velmora::risk
