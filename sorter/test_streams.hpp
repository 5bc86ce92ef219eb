// Streams for the tests: one that reads back given bytes, one that keeps
// what is written to it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A temporary stream holding `text`, zero bytes included, ready for reading.
// The caller closes it.
inline std::FILE* stream_of(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  return file;
}

// A stream in memory that keeps everything written to it.
class CapturedStream {
 public:
  CapturedStream() : file_(open_memstream(&text_, &size_)) {}
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;
  ~CapturedStream() {
    std::fclose(file_);
    std::free(text_);
  }

  std::FILE* file() const { return file_; }
  // Everything written so far.
  std::string text() {
    std::fflush(file_);
    return std::string(text_, size_);
  }

 private:
  char* text_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};
