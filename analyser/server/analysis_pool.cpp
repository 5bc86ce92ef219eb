#include "analyser/server/analysis_pool.hpp"

#include <optional>

analysis_pool::analysis_pool(int workers, std::size_t queue_capacity) : capacity_(queue_capacity) {
  for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { serve(); });
}

analysis_pool::~analysis_pool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool analysis_pool::run(std::shared_ptr<const mirask::grammar> grammar, job work) {
  std::future<void> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.size() >= capacity_) return false;
    task& t = queue_.emplace_back(task{std::move(grammar), std::move(work), {}});
    finished = t.done.get_future();
  }
  ready_.notify_one();
  finished.get();
  return true;
}

std::size_t analysis_pool::waiting() {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

void analysis_pool::serve() {
  std::shared_ptr<const mirask::grammar> grammar;  // the one `analyser` was made for
  std::optional<mirask::analyser> analyser;
  for (;;) {
    task t;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ready_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      t = std::move(queue_.front());
      queue_.pop_front();
    }
    try {
      if (grammar != t.grammar) {
        analyser.reset();
        grammar.reset();
        analyser.emplace(*t.grammar);
        grammar = t.grammar;
      }
      t.work(*analyser);
      t.done.set_value();
    } catch (...) {
      t.done.set_exception(std::current_exception());
    }
  }
}
