// The text of a line as the store takes it: the bytes up to its first line
// feed, carriage return or zero byte, and their keys (see word_entry),
// found together in a few loads of eight bytes rather than byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sorter/word_entry.hpp"

struct keyed_line {
  std::uint64_t keys[kKeyCount];
  std::size_t length;  // bytes of the text
};

// The text of the `size` bytes at `line`. Reads no byte outside them.
keyed_line keyed_line_of(const char* line, std::size_t size);
