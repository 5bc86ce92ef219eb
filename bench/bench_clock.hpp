// The clock of the benchmarks: wall-clock seconds since a start.
#pragma once

#include <chrono>

using clock_type = std::chrono::steady_clock;

inline double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}
