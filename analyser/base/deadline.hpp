// A bound on the time that a long computation (a parse, a count) may take,
// looked at cheaply: the clock is read only every kStepsPerClockLook steps.
#pragma once

#include <chrono>
#include <optional>

using steady_deadline = std::optional<std::chrono::steady_clock::time_point>;

// Steps of work between two looks at the clock.
constexpr unsigned kStepsPerClockLook = 1024;

// Counts one step of work in `steps`; true when there is a deadline, the
// step is one at which the clock is read, and the deadline has passed.
// Without a deadline it costs one test.
inline bool deadline_passed(const steady_deadline& deadline, unsigned& steps) {
  if (!deadline.has_value() || ++steps % kStepsPerClockLook != 0) return false;
  return std::chrono::steady_clock::now() >= *deadline;
}
