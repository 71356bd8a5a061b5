#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace engine {

/// Calls `work(i)` for every `i` below `count`, on as many threads as the machine has cores (a
/// few at most), and returns once every call has returned. For lookups on the disk that do not
/// depend on each other: the system answers them on every core at the same time. Each call may
/// write only to what belongs to its own `i`.
template <typename Work> void ForEachAtOnce(std::size_t count, const Work& work) {
    // Below this many, starting a thread costs more than it saves.
    constexpr std::size_t kPerThread = 512;
    constexpr std::size_t kBatch = 64;
    const std::size_t threads =
        std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), 4,
                               (count + kPerThread - 1) / kPerThread});
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        for (std::size_t start; (start = next.fetch_add(kBatch)) < count;)
            for (std::size_t i = start; i < std::min(count, start + kBatch); ++i)
                work(i);
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace engine
