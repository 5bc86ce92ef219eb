#include "analyser/base/file_input.hpp"

#include <stdio.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// A read stream over its own copy of `text`.
unique_file stream_over(const std::string& text) {
  if (text.empty()) return unique_file(std::fopen("/dev/null", "r"));
  // One byte more than the text: the stream keeps a terminator behind it.
  unique_file stream(fmemopen(nullptr, text.size() + 1, "w+"));
  if (stream == nullptr) throw std::bad_alloc();
  std::fwrite(text.data(), 1, text.size(), stream.get());
  std::rewind(stream.get());
  return stream;
}

// The whole file decoded from UTF-8, line by line.
unique_file decoded(FILE* raw, const std::string& name) {
  std::string text;
  std::string line;
  std::string converted;
  utf8_fault fault;
  for (long number = 1; read_line(raw, line); ++number) {
    if (!from_utf8(line, converted, fault)) {
      const std::string message = utf8_fault_text(name, number, fault);
      fatal_error_at(message.c_str(), name.c_str(), number, static_cast<long>(fault.column));
    }
    text += converted;
  }
  return stream_over(text);
}
}  // namespace

unique_file open_text_file(const std::string& name, bool utf8) {
  unique_file file(std::fopen(name.c_str(), "r"));
  if (file == nullptr || !utf8) return file;
  return decoded(file.get(), name);
}

unique_file open_text(const std::string& text, const std::string& name, bool utf8) {
  unique_file stream = stream_over(text);
  if (!utf8) return stream;
  return decoded(stream.get(), name);
}

std::string utf8_fault_text(const std::string& name, long line, const utf8_fault& fault) {
  return name + ":" + std::to_string(line) + ":" + std::to_string(fault.column) + ": " +
         fault.reason + ": bytes " + fault.bytes;
}

bool read_line(FILE* stream, std::string& line) {
  line.clear();
  char* text = nullptr;
  std::size_t capacity = 0;
  errno = 0;
  const ssize_t length = getline(&text, &capacity, stream);
  const std::unique_ptr<char, void (*)(void*)> owner(text, std::free);
  if (length < 0 && errno == ENOMEM) throw std::bad_alloc();
  if (length > 0) line.assign(text, static_cast<std::size_t>(length));
  return length > 0;
}

bool is_line_end_only(const std::string& line) { return line == "\n" || line == "\r\n"; }

void remove_line_end(std::string& line) {
  if (line.empty() || line.back() != '\n') return;
  line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
}
