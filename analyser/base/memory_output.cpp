#include "analyser/base/memory_output.hpp"

#include <stdio.h>
#include <stdio_ext.h>

#include <cstdlib>
#include <new>

memory_output::memory_output() : file_(open_memstream(&text_, &size_)) {
  if (file_ == nullptr) throw std::bad_alloc();
  // One thread at a time writes to a stream of memory: no lock per call,
  // which a batch run on several threads would otherwise pay for every byte.
  __fsetlocking(file_, FSETLOCKING_BYCALLER);
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
