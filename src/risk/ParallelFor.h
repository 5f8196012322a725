#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::risk {

// Runs task(index, worker) for every index below `count` on `threads` threads, `chunk` indexes
// at a time; worker is 0 .. threads - 1. The first exception any thread throws (out of memory,
// say) stops the others taking more work and is thrown again on the calling thread once all
// have stopped: nothing a worker throws may end the program.
template <class Task>
void ParallelFor(unsigned threads, std::size_t count, std::size_t chunk, Task&& task) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&](unsigned worker) {
        try {
            for (;;) {
                const std::size_t begin = next.fetch_add(chunk, std::memory_order_relaxed);
                if (begin >= count) return;
                const std::size_t end = std::min(count, begin + chunk);
                for (std::size_t i = begin; i < end; ++i) task(i, worker);
            }
        } catch (...) {
            next = count;
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        try {
            for (unsigned w = 1; w < threads && w * chunk < count; ++w)
                helpers.emplace_back(work, w);
        } catch (...) {
            // No thread to be had: those that started, and this one, do the work.
        }
        work(0);
    }
    if (failure) std::rethrow_exception(failure);
}

} // namespace velmora::risk
