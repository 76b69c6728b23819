#pragma once
// A small benchmark harness: runs a workload a few times and reports the median.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace lumenark::bench {

// Median wall time in seconds of `repetitions` runs of work; setup runs before each
// run and is not timed.
inline double MedianSeconds(int repetitions, const std::function<void()>& setup, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    if (setup) setup();
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace lumenark::bench
