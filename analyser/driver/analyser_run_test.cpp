#include "analyser/driver/analyser_run.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The run itself is covered by the end-to-end cases under tests/mirask.
namespace {
TEST(ClockMs, CountsMillisecondsOfCalendarTime) {
  const std::uint32_t before = clock_ms();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const auto elapsed = static_cast<std::int32_t>(clock_ms() - before);
  EXPECT_GE(elapsed, 29);
  EXPECT_LT(elapsed, 5000);
}

TEST(ClockMs, IsTheCalendarTimeModulo2To32) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto now = duration_cast<milliseconds>(std::chrono::system_clock::now().time_since_epoch());
  const auto expected = static_cast<std::uint32_t>(now.count());
  EXPECT_LT(static_cast<std::uint32_t>(clock_ms() - expected), 1000u);
}
}  // namespace
