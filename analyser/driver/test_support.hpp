// Streams and files for the analyser's unit tests: input from a string,
// output captured into a string, and a scratch directory of named files.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>

// A read stream over a copy of `text` (zero bytes included).
class MemoryInput {
 public:
  explicit MemoryInput(std::string text) : text_(std::move(text)) {
    file_ =
        text_.empty() ? std::fopen("/dev/null", "r") : fmemopen(text_.data(), text_.size(), "r");
  }
  MemoryInput(const MemoryInput&) = delete;
  MemoryInput& operator=(const MemoryInput&) = delete;
  ~MemoryInput() { std::fclose(file_); }
  FILE* file() const { return file_; }

 private:
  std::string text_;
  FILE* file_;
};

// A read stream over its own copy of `text`, for an owner that closes it
// (the state's config_file).
inline FILE* memory_file(const std::string& text) {
  if (text.empty()) return std::fopen("/dev/null", "r");
  // One byte more than the text: the stream keeps a terminator behind what was written.
  FILE* file = fmemopen(nullptr, text.size() + 1, "w+");
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  return file;
}

// A write stream whose bytes can be read back as a string.
class CapturedOutput {
 public:
  CapturedOutput() { file_ = open_memstream(&buffer_, &size_); }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;
  ~CapturedOutput() {
    std::fclose(file_);
    std::free(buffer_);
  }
  FILE* file() const { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  FILE* file_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

// A fresh directory that the test is run in; removed with its files at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() : previous_(std::filesystem::current_path()) {
    char name[] = "/tmp/mirask_test_XXXXXX";
    path_ = mkdtemp(name);
    std::filesystem::current_path(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }
  void write(const std::string& name, const std::string& content) const {
    FILE* file = std::fopen((path_ / name).c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + name);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// `text` with every record identity printed by "%p" replaced by "PTR".
inline std::string without_identities(const std::string& text) {
  return std::regex_replace(text, std::regex("0x[0-9a-f]+|\\(nil\\)"), "PTR");
}
