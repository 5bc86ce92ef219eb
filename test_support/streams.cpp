#include "test_support/streams.hpp"

#include <stdio.h>
#include <stdlib.h>

#include <cstdlib>
#include <stdexcept>

std::FILE* unowned_stream_over(std::string_view text) {
  if (text.empty()) return std::fopen("/dev/null", "r");
  // One byte more than the text: the stream keeps a terminator behind what was written.
  std::FILE* file = fmemopen(nullptr, text.size() + 1, "w+");
  if (file == nullptr) throw std::runtime_error("fmemopen failed");
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  return file;
}

owned_file stream_over(std::string_view text) { return owned_file(unowned_stream_over(text)); }

long memory_input::bytes_left() const {
  std::FILE* file = file_.get();
  const long at = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  const long end = std::ftell(file);
  std::fseek(file, at, SEEK_SET);
  return end - at;
}

captured_output::captured_output() : file_(open_memstream(&buffer_, &size_)) {
  if (file_ == nullptr) throw std::runtime_error("open_memstream failed");
}

captured_output::~captured_output() {
  std::fclose(file_);
  std::free(buffer_);
}

std::string captured_output::text() {
  std::fflush(file_);
  return std::string(buffer_, size_);
}

scratch_directory::scratch_directory() : previous_(std::filesystem::current_path()) {
  std::string name = (std::filesystem::temp_directory_path() / "mirask_test_XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name;
  std::filesystem::current_path(path_);
}

scratch_directory::~scratch_directory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void scratch_directory::write(const std::string& name, std::string_view content) const {
  owned_file file(std::fopen((path_ / name).c_str(), "wb"));
  if (file == nullptr) throw std::runtime_error("cannot write " + name);
  std::fwrite(content.data(), 1, content.size(), file.get());
}

std::string file_content(const std::filesystem::path& name) {
  owned_file file(std::fopen(name.c_str(), "rb"));
  std::string content;
  if (file == nullptr) return content;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, n);
  return content;
}
