// The sorter's process-wide state in one record: the store of entries and
// their counts, the switches of the command line and the dialogue, the filter
// table, and the streams the sorter talks through. Every routine takes it by
// reference, so a test builds a fresh one in a line and points `out`, `err`
// and `console` at its own streams.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sorter/word_chains.hpp"

// Entries of the filter table: one per byte value.
constexpr int kByteValues = 256;

using filter_table = std::array<unsigned char, kByteValues>;

// The filter table that changes no byte: every entry holds its own index.
constexpr filter_table identity_filter() {
  filter_table table{};
  for (int b = 0; b < kByteValues; ++b) table[b] = static_cast<unsigned char>(b);
  return table;
}

// Opens a file as std::fopen does. Tests put streams of their own here.
using open_function = std::FILE* (*)(const char* name, const char* mode);
// Obtains memory as std::malloc does, or null when there is none; whatever
// it hands out is released with std::free. Tests put allocators here that
// run dry.
using allocate_function = void* (*)(std::size_t size);

struct SorterState {
  // Entries and their counts (see insert_entry for how the counts move).
  ChainTable chain_table;
  long entry_count = 0;
  int duplicate_count = 0;
  int highest_count = 0;

  // Command line: "-c" and "-f".
  bool capitals_mode = false;
  bool filter_named = false;
  std::string filter_file_name;

  // Filter file.
  bool filter_active = false;
  filter_table filter_map = identity_filter();

  // Dialogue: the two questions and the last name given for the output.
  bool with_frequencies = false;
  bool by_frequency = false;
  std::string output_file_name;

  std::FILE* out = stdout;
  std::FILE* err = stderr;
  std::FILE* console = stdin;
  open_function open_file = [](const char* name, const char* mode) {
    return std::fopen(name, mode);
  };
  // Memory for one entry each, and for the entry store's table: apart, so
  // that a test can let one run dry without the other.
  allocate_function allocate_entry = [](std::size_t size) { return std::malloc(size); };
  allocate_function allocate_table = [](std::size_t size) { return std::malloc(size); };
};
