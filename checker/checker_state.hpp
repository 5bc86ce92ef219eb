// The checker's process-wide state in one record: the settings of the run,
// the checking state of the current lexicon line or rule part, the table of
// reference frames, the file being read and the errors found. A test builds a
// fresh one in a line and points `out` at its own stream.
#pragma once

#include <cstdio>
#include <string>

#include "checker/text_input.hpp"

// Exit statuses of a run.
constexpr int kStatusCorrect = 0;
constexpr int kStatusNoFileName = 1;
constexpr int kStatusCannotOpen = 2;
constexpr int kStatusNoMode = 3;
constexpr int kStatusBadOptionValue = 4;
constexpr int kStatusSyntaxError = -1;

// Characters a categorial frame may hold, in either check. The length of
// every frame stored in `frame_table` must fit the byte in front of it.
constexpr int kFrameCapacity = 99;
static_assert(kFrameCapacity <= 255);

// Error reports written before the rest are only counted, unless "-max-errors"
// sets another number; 0 writes them all.
constexpr long long kDefaultMaxErrors = 100;

// Which check runs: the setting `check_mode`.
enum class file_kind { none, lexicon, rules };

// Where a lexicon line is being read: the word before "=", the main category
// after it, the subcategory part after the blank that ends the main category.
enum class line_phase { word, main_category, subcategory_part };

// Checking state of one lexicon line or one rule part; `start_line` resets it.
struct line_state {
  line_phase phase = line_phase::word;
  int main_category_count = 0;
  int group_name_count = 0;
  int depth = 0;        // "(" minus ")"
  int group_count = 0;  // "(" read
  std::string frame_text;
};

struct checker_state {
  FILE* out = stdout;

  // Settings of the run, from the command line.
  int expected_category_length = 4;
  int expected_group_name_length = 3;
  file_kind check_mode = file_kind::none;
  std::string file_name;
  bool all_errors = false;  // "-all": go on after an error
  bool gnu_form = false;    // "-gnu": no echo, errors as FILE:LINE:COLUMN lines
  bool utf8_text = false;   // "-utf8": the file is UTF-8 text
  long long max_errors = kDefaultMaxErrors;
  bool max_errors_unreadable = false;  // "-max-errors" without a number behind it
  bool help = false;                   // "--help"

  // The whole-grammar check ("-c").
  bool grammar_mode = false;
  std::string config_name;              // empty after a "-c" with nothing behind it
  std::string start_category = "SATZ";  // "-a"
  bool warnings_as_errors = false;      // "-Werror"

  line_state line;

  // The reference frames found so far, each a length byte followed by its
  // characters, the whole ended by a zero byte. Grows as the file needs.
  std::string frame_table = std::string(1, '\0');

  text_input input;
  long long errors_found = 0;
};
