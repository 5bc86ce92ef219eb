// Building JSON text: strings of the analyser's 7-bit convention written as
// UTF-8 JSON strings, numbers, lists of values.
#pragma once

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "analyser/grammar/analysis_count.hpp"

// Appends `text` (convention bytes) as a JSON string: the convention's
// letters as the letters they stand for, other bytes of 0x80 and above as the
// characters of ISO-8859-1 (so a backslash is the letter Ö), quotes and
// control characters escaped. The result is valid UTF-8 whatever the bytes.
void append_json_string(std::string& out, std::string_view text);

// Appends `text` that is no sentence text (a file name, a checksum) as a
// JSON string: ASCII as it is, every other byte as the ISO-8859-1 character
// of its value (the convention's letters are not mapped), quotes,
// backslashes and control characters escaped.
void append_json_latin1(std::string& out, std::string_view text);

// Appends `text` (UTF-8 as given, which may be faulty) as a JSON string:
// every well-formed character as it is, every byte that begins no
// well-formed character as U+FFFD, quotes, backslashes and control
// characters escaped.
void append_json_utf8(std::string& out, std::string_view text);

// Appends `"key":`, with a comma before it unless it opens an object.
void append_key(std::string& out, std::string_view key);

// Appends a whole number.
void append_json_number(std::string& out, long long n);

// Appends a value set as a list of groups, each the list of its values;
// "null" for no set.
void append_json_values(std::string& out, const unsigned char* values);

// Appends a count: a number while JSON numbers are exact (up to 2^53),
// beyond that a string of digits, and "unbounded" for a unary cycle.
void append_json_count(std::string& out, const analysis_count& count);

// Writing into room made beforehand, for the parts of a record that every
// sentence has many of: the room is sized once for the most a part can take,
// and each put_ function writes at `at` and returns the end of what it wrote,
// with no check of its own. The most each can write:
constexpr std::size_t kMostNumberBytes = 20;
// A JSON string of `size` bytes of the convention: quotes, and six bytes a
// byte (an escape).
constexpr std::size_t most_json_string_bytes(std::size_t size) { return 2 + 6 * size; }
// A value set: brackets, and a group of at most eight values a group.
constexpr std::size_t most_json_values_bytes(const unsigned char* values) {
  return values == nullptr ? 4 : 2 + static_cast<std::size_t>(values[0]) * 18;
}

inline char* put_text(char* at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

inline char* put_json_number(char* at, long long n) {
  return std::to_chars(at, at + kMostNumberBytes, n).ptr;
}

char* put_json_string(char* at, std::string_view text);
char* put_json_values(char* at, const unsigned char* values);

// Makes room for at most `most` bytes at the end of `out`, lets `write` fill
// it (it takes the start and returns the end) and keeps what it wrote.
template <typename Write>
void append_in_room(std::string& out, std::size_t most, Write&& write) {
  const std::size_t old = out.size();
  out.resize(old + most);
  char* start = out.data() + old;
  out.resize(old + static_cast<std::size_t>(write(start) - start));
}
