// The time a request has left.
#pragma once

#include <algorithm>
#include <chrono>

class deadline {
 public:
  explicit deadline(std::chrono::microseconds limit) : end_(clock::now() + limit) {}
  // What is left, at least a microsecond: a parse given that stops at once
  // with the outcome "timeout" (a time of 0 would mean no limit).
  std::chrono::microseconds left() const {
    const auto rest = std::chrono::duration_cast<std::chrono::microseconds>(end_ - clock::now());
    return std::max(rest, std::chrono::microseconds(1));
  }

 private:
  using clock = std::chrono::steady_clock;
  clock::time_point end_;
};
