#include "analyser/base/ordered_pipeline.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

namespace {
// The address space the process takes now, in bytes.
rlim_t address_space_in_use() {
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  return pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// Starts a pipeline of many workers in an address space all but full, so
// that no thread gets a stack; exits with status 3 and the fatal text on
// standard error.
void start_without_room() {
  const rlim_t room = address_space_in_use() + (4 << 20);
  const rlimit limit{room, room};
  setrlimit(RLIMIT_AS, &limit);
  try {
    ordered_pipeline<int, int> pipeline(
        64, 8, [](std::size_t, int& job) { return job; }, [](int&) {});
  } catch (const fatal_end& end) {
    std::fputs(end.text, stderr);
    std::exit(3);
  }
  std::exit(0);
}
}  // namespace

// Threads that cannot be started end the run with a text of their own, once
// those started have ended.
TEST(OrderedPipelineDeathTest, ThreadsThatCannotBeStartedEndTheRun) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs the address space it reserves";
#endif
  EXPECT_EXIT(start_without_room(), ::testing::ExitedWithCode(3), "the threads cannot be started");
}
