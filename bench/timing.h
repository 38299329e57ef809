#pragma once
// Repeats a measured step and reports the median wall time; the preparation before each
// repetition (clearing the output directory) is not timed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace nobrelt::bench {

inline double MedianSeconds(int repetitions, const std::function<void()>& prepare, const std::function<void()>& step) {
    std::vector<double> seconds;
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        auto start = std::chrono::steady_clock::now();
        step();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    std::size_t middle = seconds.size() / 2;
    return seconds.size() % 2 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2;
}

// Makes the directory exist and be empty, as a fresh output directory.
inline void EmptyDirectory(const std::filesystem::path& directory) {
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
}

}  // namespace nobrelt::bench
