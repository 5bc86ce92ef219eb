#include "analyser/base/memory_output.hpp"

#include <stdio.h>

#include <cstdlib>
#include <new>

memory_output::memory_output() : file_(open_memstream(&text_, &size_)) {
  if (file_ == nullptr) throw std::bad_alloc();
}

memory_output::~memory_output() {
  if (file_ != nullptr) std::fclose(file_);
  std::free(text_);
}

std::string memory_output::take() {
  if (std::fflush(file_) != 0) throw std::bad_alloc();
  std::string written(text_, size_);
  std::rewind(file_);
  return written;
}

std::string memory_output::text() {
  std::fclose(file_);
  file_ = nullptr;
  return std::string(text_, size_);
}
