// Streams and files for the tests and fuzz harnesses of all three programs:
// a read stream over given bytes, a write stream read back as a string, an
// owner for any FILE*, and a scratch directory of named files. Linked by test
// and harness executables only; no program links it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct stream_closer {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
// An open stream that closes itself.
using owned_file = std::unique_ptr<std::FILE, stream_closer>;

// A read stream over its own copy of `text`, zero bytes included; an empty
// text reads as an empty file. The stream is seekable and has no file
// descriptor.
owned_file stream_over(std::string_view text);

// A stream over `text` for an owner that closes it itself (the analyser's
// configuration file, say).
std::FILE* unowned_stream_over(std::string_view text);

// A read stream over `text` that lives as long as this object.
class memory_input {
 public:
  explicit memory_input(std::string_view text) : file_(stream_over(text)) {}
  std::FILE* file() const { return file_.get(); }
  // Bytes not read yet.
  long bytes_left() const;

 private:
  owned_file file_;
};

// A write stream whose bytes can be read back.
class captured_output {
 public:
  captured_output();
  captured_output(const captured_output&) = delete;
  captured_output& operator=(const captured_output&) = delete;
  ~captured_output();
  std::FILE* file() const { return file_; }
  // Everything written so far.
  std::string text();

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

// A fresh directory that the test runs in, removed with its files at the
// end; the previous working directory is restored.
class scratch_directory {
 public:
  scratch_directory();
  scratch_directory(const scratch_directory&) = delete;
  scratch_directory& operator=(const scratch_directory&) = delete;
  ~scratch_directory();
  // Writes `content` to the file `name` in the directory.
  void write(const std::string& name, std::string_view content) const;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// The whole content of the file `name`; empty when it cannot be read.
std::string file_content(const std::filesystem::path& name);
