#pragma once
// A small benchmark harness: runs a workload a few times and reports the median.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
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

// A "Name: N kB" field of /proc/self/status, in kilobytes (0 where it cannot be read).
inline long StatusKilobytes(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  const std::string format = std::string(field) + ": %ld kB";
  char line[256];
  long kilobytes = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, format.c_str(), &kilobytes) == 1) break;
  }
  std::fclose(status);
  return kilobytes;
}

// The process's peak resident size in kilobytes (VmHWM), and a reset of it to what is
// resident now, so that the peak of one operation can be read.
inline long PeakResidentKilobytes() { return StatusKilobytes("VmHWM"); }

inline void ResetPeakResident() {
  if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

}  // namespace lumenark::bench
