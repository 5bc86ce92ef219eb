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

// Bytes of the blocks in which the list is handed to its file.
constexpr std::size_t kOutputBufferBytes = 64 * 1024;

// Opens a file as std::fopen does. Tests put streams of their own here.
using open_function = std::FILE* (*)(const char* name, const char* mode);

struct sorter_state {
  // Entries and their counts (see make_entry for how the counts move).
  entry_store chain_table;
  long entry_count = 0;
  int duplicate_count = 0;
  int highest_count = 0;

  // Command line: "-c", "-f" and "-utf8".
  bool capitals_mode = false;
  bool filter_named = false;
  std::string filter_file_name;
  bool utf8_input = false;
  // With utf8_input: lines left out because they could not be converted.
  int left_out_lines = 0;

  // Filter file.
  bool filter_active = false;
  filter_table filter_map = identity_filter();

  // Dialogue or script form: the two questions and the last name given for
  // the output.
  bool with_frequencies = false;
  bool by_frequency = false;
  std::string output_file_name;
  // Where the output pass gathers the lines it writes: scratch, which is
  // why a const state can be written.
  mutable std::array<char, kOutputBufferBytes> output_block;

  std::FILE* out = stdout;
  // Where the progress lines go: `out` in the dialogue; in the script form
  // `err` while it is a terminal, else nowhere.
  enum class progress_stream { out, err, none } progress = progress_stream::out;
  std::FILE* err = stderr;
  std::FILE* console = stdin;
  open_function open_file = [](const char* name, const char* mode) {
    return std::fopen(name, mode);
  };
  // Memory for the tail blocks of the entry store (the texts that came in
  // order, the tails of long texts), and for its list, table and counts
  // above 1: apart, so that a test can let one run dry without the other.
  allocate_function allocate_tail = [](std::size_t size) { return std::malloc(size); };
  resize_function resize_table = [](void* block, std::size_t size) {
    return std::realloc(block, size);
  };
};
