// The checker's process-wide state in one record: the settings of the run,
// the checking state of the current lexicon line or rule part, and the table
// of reference frames. A test builds a fresh one in a line and points `out`
// at its own stream.
#pragma once

#include <cstdio>
#include <string>

// Exit statuses of a run.
constexpr int kStatusCorrect = 0;
constexpr int kStatusNoFileName = 1;
constexpr int kStatusCannotOpen = 2;
constexpr int kStatusNoMode = 3;
constexpr int kStatusSyntaxError = -1;

// Characters a categorial frame may hold, in either check. The length of
// every frame stored in `frame_table` must fit the byte in front of it.
constexpr int kFrameCapacity = 99;
static_assert(kFrameCapacity <= 255);

enum class CheckMode { none, lexicon, rules };

// Where a lexicon line is being read: the word before "=", the main category
// after it, the subcategory part after the blank that ends the main category.
enum class LinePhase { word, main_category, subcategory_part };

// Checking state of one lexicon line or one rule part; `start_line` resets it.
struct LineState {
  LinePhase phase = LinePhase::word;
  int main_category_count = 0;
  int group_name_count = 0;
  int depth = 0;        // "(" minus ")"
  int group_count = 0;  // "(" read
  std::string frame_text;
};

struct CheckerState {
  FILE* out = stdout;

  // Settings of the run, from the command line.
  int expected_category_length = 4;
  int expected_group_name_length = 3;
  CheckMode check_mode = CheckMode::none;
  std::string file_name;

  LineState line;

  // The reference frames found so far, each a length byte followed by its
  // characters, the whole ended by a zero byte. Grows as the file needs.
  std::string frame_table = std::string(1, '\0');
};
