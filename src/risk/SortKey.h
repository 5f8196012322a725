#pragma once

// The bits of a double turned so that unsigned order is numeric order, -0 before 0 and NaN at
// either end: what the radix sort and the radix selection of the statistics work on.

#include <bit>
#include <cstdint>

namespace velmora::risk {

inline std::uint64_t SortKey(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}
inline std::uint64_t SortKey(std::uint64_t key) {
    return key;
}

// The bits of the value whose sort key is `key`.
inline std::uint64_t ValueBits(std::uint64_t key) {
    return key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key;
}
inline double KeyValue(std::uint64_t key) {
    return std::bit_cast<double>(ValueBits(key));
}

} // namespace velmora::risk
