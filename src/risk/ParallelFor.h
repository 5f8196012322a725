#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace velmora::risk {

// Runs task(index, worker) for every index below `count` on `threads` threads, `chunk` indexes
// at a time; worker is 0 .. threads - 1.
template <class Task>
void ParallelFor(unsigned threads, std::size_t count, std::size_t chunk, Task&& task) {
    std::atomic<std::size_t> next{0};
    auto work = [&](unsigned worker) {
        for (;;) {
            const std::size_t begin = next.fetch_add(chunk, std::memory_order_relaxed);
            if (begin >= count) return;
            const std::size_t end = std::min(count, begin + chunk);
            for (std::size_t i = begin; i < end; ++i) task(i, worker);
        }
    };
    std::vector<std::jthread> helpers;
    for (unsigned w = 1; w < threads && w * chunk < count; ++w) helpers.emplace_back(work, w);
    work(0);
}

} // namespace velmora::risk
