// The workers that analyse: a fixed number of threads, each with an
// analyser of its own for the grammar its current job brings (a new one
// when a reload brought a new grammar), fed by a bounded queue. A job that
// finds the queue full is refused at once, so a flood of requests gets
// answers saying so instead of an ever longer wait.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "analyser/library/mirask.hpp"

class analysis_pool {
 public:
  using job = std::function<void(mirask::analyser&)>;

  analysis_pool(int workers, std::size_t queue_capacity);
  // Lets the queued jobs finish, then ends the workers.
  ~analysis_pool();
  analysis_pool(const analysis_pool&) = delete;
  analysis_pool& operator=(const analysis_pool&) = delete;

  // Runs `work` on a worker with an analyser of `grammar` and waits until it
  // is done; an exception it throws is thrown here. False, without running
  // it, when the queue is full.
  bool run(std::shared_ptr<const mirask::grammar> grammar, job work);

  // Jobs in the queue, not yet taken by a worker.
  std::size_t waiting();

 private:
  struct task {
    std::shared_ptr<const mirask::grammar> grammar;
    job work;
    std::promise<void> done;
  };
  void serve();

  std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<task> queue_;
  bool closing_ = false;
  std::vector<std::thread> workers_;
};
