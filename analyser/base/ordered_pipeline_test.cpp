#include "analyser/base/ordered_pipeline.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {
// Jobs that take longer the earlier they come, so that later ones finish
// first; each result says which job it belongs to.
std::string slow_first(std::size_t, int& job) {
  std::this_thread::sleep_for(std::chrono::microseconds((50 - job % 50) * 20));
  return std::to_string(job);
}

std::vector<std::string> run_jobs(std::size_t workers, std::size_t window, int jobs) {
  std::vector<std::string> delivered;
  ordered_pipeline<int, std::string> pipeline(workers, window, slow_first,
                                              [&](std::string& r) { delivered.push_back(r); });
  for (int k = 0; k < jobs; ++k) pipeline.push(k);
  pipeline.finish();
  return delivered;
}
}  // namespace

TEST(OrderedPipeline, HandsResultsOnInTheJobsOrderWhateverTheWorkersAndWindow) {
  std::vector<std::string> expected;
  for (int k = 0; k < 200; ++k) expected.push_back(std::to_string(k));
  for (const std::size_t workers : {1, 2, 3, 8}) {
    for (const std::size_t window : {1, 2, 5, 64}) {
      EXPECT_EQ(run_jobs(workers, window, 200), expected)
          << workers << " workers, window " << window;
    }
  }
  EXPECT_TRUE(run_jobs(3, 4, 0).empty());
  // No workers or no window still means one of each.
  EXPECT_EQ(run_jobs(0, 0, 200), expected);
}

TEST(OrderedPipeline, KeepsNoMoreThanTheWindowInFlight) {
  std::atomic<int> started{0};
  int delivered = 0;
  int most_ahead = 0;
  ordered_pipeline<int, int> pipeline(
      4, 6,
      [&](std::size_t, int& job) {
        ++started;
        return job;
      },
      [&](int& job) {
        EXPECT_EQ(job, delivered++);
        most_ahead = std::max(most_ahead, started.load() - delivered);
      });
  for (int k = 0; k < 500; ++k) pipeline.push(k);
  pipeline.finish();
  EXPECT_EQ(delivered, 500);
  EXPECT_LE(most_ahead, 6);
}

TEST(OrderedPipeline, AFailureComesInItsTurnAfterTheResultsBeforeIt) {
  std::vector<int> delivered;
  ordered_pipeline<int, int> pipeline(
      3, 8,
      [](std::size_t, int& job) {
        if (job == 7) throw std::runtime_error("job 7");
        return job;
      },
      [&](int& job) { delivered.push_back(job); });
  try {
    for (int k = 0; k < 100; ++k) pipeline.push(k);
    pipeline.finish();
    FAIL() << "the failure of job 7 did not come";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "job 7");
  }
  EXPECT_EQ(delivered, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

// One worker: job 0 fails once every job is queued, job 1 (begun as soon
// as job 0 ends) waits until the failure has come. The jobs behind it are
// never begun.
TEST(OrderedPipeline, NoJobWaitingBehindAFailureIsBegun) {
  std::atomic<bool> queued{false};
  std::atomic<bool> failed{false};
  std::atomic<int> begun{0};
  {
    ordered_pipeline<int, int> pipeline(
        1, 8,
        [&](std::size_t, int& job) {
          ++begun;
          while (!(job == 0 ? queued : failed)) std::this_thread::yield();
          if (job == 0) throw std::runtime_error("job 0");
          return job;
        },
        [](int&) { FAIL() << "no job before the failure"; });
    for (int k = 0; k < 5; ++k) pipeline.push(k);
    queued = true;
    EXPECT_THROW(pipeline.finish(), std::runtime_error);
    failed = true;
  }  // job 1 ends, the others never begin
  EXPECT_EQ(begun, 2);
}

TEST(OrderedPipeline, AFailingLastJobLeavesNothingBehind) {
  ordered_pipeline<int, int> pipeline(
      2, 4, [](std::size_t, int&) -> int { throw std::runtime_error("only job"); },
      [](int&) { FAIL() << "a result of a failed job"; });
  pipeline.push(0);
  EXPECT_THROW(pipeline.finish(), std::runtime_error);
}

TEST(OrderedPipeline, EachWorkerKeepsItsNumber) {
  // A worker's number indexes tools of its own: no two threads share one.
  std::vector<std::atomic<int>> busy(3);
  std::atomic<bool> shared{false};
  ordered_pipeline<int, int> pipeline(
      3, 12,
      [&](std::size_t worker, int& job) {
        if (worker >= busy.size() || busy[worker]++ != 0) shared = true;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        if (worker < busy.size()) --busy[worker];
        return job;
      },
      [](int&) {});
  for (int k = 0; k < 300; ++k) pipeline.push(k);
  pipeline.finish();
  EXPECT_FALSE(shared);
}
