// The grammar the server analyses with, and its reload: a new grammar from
// the same configuration replaces the one in service only when it loaded
// without any problem; requests in flight keep the grammar they started
// with, which lives as long as they hold it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analyser/library/mirask.hpp"

struct reload_outcome {
  bool replaced = false;
  // Each as "FILE:LINE:COL: error: TEXT" (as much of the place as is known).
  std::vector<std::string> problems;
};

class grammar_store {
 public:
  // Loads the configuration; a grammar that cannot be loaded throws
  // mirask::error. Problems of this first load are kept (problems()).
  grammar_store(std::string configuration, mirask::load_options options);

  std::shared_ptr<const mirask::grammar> current() const;
  reload_outcome reload();

 private:
  std::string configuration_;
  mirask::load_options options_;
  mutable std::mutex mutex_;
  std::mutex reload_mutex_;  // one reload at a time
  std::shared_ptr<const mirask::grammar> current_;
};

// "FILE:LINE:COL: error: TEXT" for a load that failed.
std::string error_line(const mirask::error& e, const std::string& configuration);
