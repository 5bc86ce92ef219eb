// A stream that writes to memory: what routines that write to a FILE*
// (the writers, the log) make is kept instead of written, and handed out
// as text. A worker of a batch run renders a sentence's whole output into
// one, so that the output can be written later in the input's order.
#pragma once

#include <cstdio>
#include <string>

class memory_output {
 public:
  // No memory for the stream: std::bad_alloc.
  memory_output();
  ~memory_output();
  memory_output(const memory_output&) = delete;
  memory_output& operator=(const memory_output&) = delete;

  std::FILE* file() const { return file_; }
  // The text written since the last take (or since the start); the stream
  // starts empty again.
  std::string take();
  // Ends the writing; the text written since the last take.
  std::string text();

 private:
  char* text_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};
