#include "analyser/server/grammar_store.hpp"

#include <algorithm>
#include <utility>

grammar_store::grammar_store(std::string configuration, mirask::load_options options)
    : configuration_(std::move(configuration)),
      options_(std::move(options)),
      current_(std::make_shared<const mirask::grammar>(mirask::grammar::load(configuration_, options_))) {}

std::shared_ptr<const mirask::grammar> grammar_store::current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

reload_outcome grammar_store::reload() {
  std::lock_guard<std::mutex> one_at_a_time(reload_mutex_);
  reload_outcome outcome;
  std::shared_ptr<const mirask::grammar> loaded;
  try {
    loaded = std::make_shared<const mirask::grammar>(mirask::grammar::load(configuration_, options_));
  } catch (const mirask::error& e) {
    outcome.problems.push_back(error_line(e, configuration_));
    return outcome;
  }
  for (const mirask::problem& p : loaded->problems()) outcome.problems.push_back(p.to_string());
  if (!outcome.problems.empty()) return outcome;
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = std::move(loaded);
  outcome.replaced = true;
  return outcome;
}

std::string error_line(const mirask::error& e, const std::string& configuration) {
  std::string place = e.file().empty() ? configuration : e.file();
  if (e.line() > 0) place += ":" + std::to_string(e.line()) + ":" + std::to_string(std::max(e.column(), 1L));
  return place + ": error: " + e.message();
}
