// Jobs worked on by several threads, their results handed on in the order
// the jobs came: the batch runs analyse sentences on N threads and still
// write them as one thread would. At most `window` jobs are in flight, so
// memory does not grow with the input; a producer that finds the window
// full first hands on what is done and then waits.
//
// Each worker has a number from 0, so that it can keep tools of its own
// (an analyser, its nodes, its buffers) in a table indexed by it. What a
// worker throws is kept with its job and thrown from push or finish when
// that job's turn comes, after every result before it has been handed on;
// the jobs behind it are then dropped. Threads that cannot be started end
// the run through fatal_error.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "analyser/base/fatal_error.hpp"

// Jobs in flight per worker that keep every worker busy while the oldest
// job is awaited: a window of this many times the workers.
constexpr std::size_t kJobsPerWorker = 8;

template <typename Job, typename Result>
class ordered_pipeline {
 public:
  using work_function = std::function<Result(std::size_t worker, Job& job)>;
  using deliver_function = std::function<void(Result& result)>;

  ordered_pipeline(std::size_t workers, std::size_t window, work_function work,
                   deliver_function deliver)
      : window_(window < 1 ? 1 : window), work_(std::move(work)), deliver_(std::move(deliver)) {
    const std::size_t count = workers < 1 ? 1 : workers;
    threads_.reserve(count);
    try {
      for (std::size_t k = 0; k < count; ++k) threads_.emplace_back([this, k] { serve(k); });
    } catch (const std::system_error&) {
      stop();  // the threads started end before the run does
      fatal_error("the threads cannot be started");
    } catch (...) {
      stop();  // out of memory for a thread: the ones started end first, too
      throw;
    }
  }

  // Stops the workers; results not yet handed on are dropped.
  ~ordered_pipeline() { stop(); }
  ordered_pipeline(const ordered_pipeline&) = delete;
  ordered_pipeline& operator=(const ordered_pipeline&) = delete;

  // Queues `job` behind the others.
  void push(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    deliver_done(lock, window_ - 1);
    slots_.emplace_back(std::move(job));
    lock.unlock();
    job_waiting_.notify_one();
  }

  // Hands on every result still in flight, in order.
  void finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    deliver_done(lock, 0);
  }

 private:
  enum class stage { waiting, taken, done };
  struct slot {
    explicit slot(Job&& given) : job(std::move(given)) {}
    Job job;
    stage at = stage::waiting;
    std::optional<Result> result;
    std::exception_ptr failure;
  };

  // Hands on the results at the front while they are done, and waits for
  // the front until no more than `keep` jobs are in flight.
  void deliver_done(std::unique_lock<std::mutex>& lock, std::size_t keep) {
    while (!slots_.empty()) {
      if (slots_.front().at != stage::done) {
        if (slots_.size() <= keep) return;
        result_ready_.wait(lock, [this] { return slots_.front().at == stage::done; });
      }
      slot front = std::move(slots_.front());
      slots_.pop_front();
      --taken_;
      lock.unlock();
      if (front.failure) {
        drop_waiting_jobs();
        std::rethrow_exception(front.failure);
      }
      deliver_(*front.result);
      lock.lock();
    }
  }

  void stop() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    job_waiting_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  // After a failure: no job still waiting is begun.
  void drop_waiting_jobs() {
    const std::lock_guard<std::mutex> lock(mutex_);
    while (!slots_.empty() && slots_.back().at == stage::waiting) slots_.pop_back();
  }

  void serve(std::size_t worker) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      job_waiting_.wait(lock, [this] { return stopping_ || taken_ < slots_.size(); });
      if (stopping_) return;
      // Slots before taken_ are taken or done; a deque keeps their places
      // while others are added behind them.
      slot& mine = slots_[taken_++];
      mine.at = stage::taken;
      lock.unlock();
      run(worker, mine);
      lock.lock();
      mine.at = stage::done;
      result_ready_.notify_all();
    }
  }

  void run(std::size_t worker, slot& mine) {
    try {
      mine.result.emplace(work_(worker, mine.job));
    } catch (...) {
      mine.failure = std::current_exception();
    }
  }

  const std::size_t window_;
  work_function work_;
  deliver_function deliver_;
  std::mutex mutex_;
  std::condition_variable job_waiting_;
  std::condition_variable result_ready_;
  std::deque<slot> slots_;  // the jobs in flight, oldest first
  std::size_t taken_ = 0;   // how many of them the workers have begun
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
