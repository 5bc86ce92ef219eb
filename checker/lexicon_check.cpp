#include "checker/lexicon_check.hpp"

#include <algorithm>

#include "checker/text_routines.hpp"

namespace {

// Characters of the subcategory part that do not join the frame.
constexpr char kNonFrameChars[] = " (),12345678";

// Characters of a word that are kept: only the first is ever compared, and
// a word of any length must not grow the text without bound.
constexpr std::size_t kWordCapacity = 127;

// What the check keeps across the lines of the file.
struct lexicon_reading {
  std::string word_text;
  long long entry_count = 0;
  signed char previous_first = 0;
  bool line_has_text = false;  // a character other than CR since the last line end
};

unsigned char byte_at(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// A blank ends the main category; every other character belongs to it.
void read_main_category_char(checker_state& state, unsigned char c) {
  line_state& line = state.line;
  if (c == ' ') {
    line.phase = line_phase::subcategory_part;
    line.group_name_count = 0;
    return;
  }
  ++line.main_category_count;
  append_char(line.frame_text, c);
}

// Group names are measured at their "(": the characters outside parentheses
// since the blank or the last ")" must be exactly one group name.
void read_subcategory_char(checker_state& state, unsigned char c) {
  line_state& line = state.line;
  if (c == '(') {
    if (line.group_name_count != state.expected_group_name_length) {
      report_error(state, "length of subcategory");
    }
    ++line.depth;
    ++line.group_count;
  }
  if (line.depth == 0) ++line.group_name_count;
  if (c == ')') {
    --line.depth;
    line.group_name_count = 0;
  }
  if (char_position(c, kNonFrameChars) == 0) append_char(line.frame_text, c);
  if (char_position(c, kInvalidValueDigits) != 0) report_error(state, "invalid subcategory value");
}

void read_line_char(checker_state& state, lexicon_reading& reading, unsigned char c) {
  if (c == '=') {
    state.line.phase = line_phase::main_category;
    ++reading.entry_count;
    return;
  }
  switch (state.line.phase) {
    case line_phase::word:
      if (reading.word_text.size() < kWordCapacity) append_char(reading.word_text, c);
      return;
    case line_phase::main_category:
      read_main_category_char(state, c);
      break;
    case line_phase::subcategory_part:
      read_subcategory_char(state, c);
      break;
  }
  check_frame_length(state, kFrameCapacity);
}

// The tests made when a line is complete, in this order; a passing line is
// followed by the line feed of `start_line`.
void end_line(checker_state& state, lexicon_reading& reading) {
  if (!check_sort_letter(reading.word_text, reading.previous_first)) {
    report_error(state, "sort order");
  }
  if (state.line.main_category_count != state.expected_category_length) {
    report_error(state, "length main category");
  }
  if (state.line.depth != 0) report_error(state, "number of parentheses");
  if (!check_frame(state, state.line.frame_text, state.expected_category_length)) {
    report_error(state, "wrong categorial frame");
  }
  start_line(state);
  reading.line_has_text = false;
}

// Appends `frame_text` as a new reference frame.
void store_frame(checker_state& state, std::string_view frame_text) {
  state.frame_table.pop_back();
  append_char(state.frame_table, static_cast<unsigned char>(frame_text.size()));
  append_text(state.frame_table, frame_text);
  append_char(state.frame_table, 0);
}

// Reads and checks one line, its line end included; false at the end of the
// file. A last line without its line end is tested like any other, so that a
// malformed last line can never pass.
bool check_line(checker_state& state, lexicon_reading& reading) {
  for (;;) {
    const int c = read_char(state);
    if (c == EOF) {
      if (reading.line_has_text) end_line(state, reading);
      return false;
    }
    if (c == '\r') continue;
    echo_char(state, static_cast<unsigned char>(c));
    if (c == '\n') {
      end_line(state, reading);
      return true;
    }
    reading.line_has_text = true;
    read_line_char(state, reading, static_cast<unsigned char>(c));
  }
}

// Echoes what is left of a line given up at an error, unchecked, up to its
// line end; false when the file ends first.
bool skip_rest_of_line(checker_state& state) {
  for (int c = state.input.last_char(); c != '\n';) {
    if (c == EOF) return false;
    const input_char read = state.input.next();
    c = read.c;
    if (c != '\r' && c != EOF) echo_input(state, read);
  }
  return true;
}

// The line after a broken one starts as the first would, and is compared
// with the broken line's first character when that line has a word (the
// sort test keeps the word only when it failed), so that one line out of its
// place gives one report. The reference frames stay as they are: only lines
// that passed every other test recorded theirs.
void restart_line(checker_state& state, lexicon_reading& reading) {
  start_line(state);
  if (!reading.word_text.empty()) reading.previous_first = first_char(reading.word_text);
  reading.word_text.clear();
  reading.line_has_text = false;
}

}  // namespace

long long check_lexicon(checker_state& state, FILE* file) {
  echo_text(state, "\n\tcheck lexicon...\n");
  start_line(state);
  state.input = text_input(file, state.utf8_text);
  lexicon_reading reading;
  for (;;) {
    try {
      if (!check_line(state, reading)) break;
    } catch (const error_reported&) {
      if (!state.all_errors) break;
      const bool more = skip_rest_of_line(state);
      restart_line(state, reading);
      if (!more) break;
    }
  }
  return reading.entry_count;
}

bool check_sort_letter(std::string& word_text, signed char& previous_first) {
  const signed char first = first_char(word_text);
  if (first < previous_first) return false;
  previous_first = first;
  word_text.clear();
  return true;
}

bool check_frame(checker_state& state, std::string_view frame_text, int n) {
  if (frame_text.empty()) return true;
  if (state.line.depth != 0) report_error(state, "parentheses");
  if (state.line.group_count > kMaxGroups) report_error(state, "# subcategories > 8");
  // Both checks stop a frame in-line at kFrameCapacity; this guard keeps the
  // length byte of a stored frame from ever wrapping.
  if (frame_text.size() > kFrameCapacity) report_error(state, "length of categorial frame");
  const std::string_view table = state.frame_table;
  for (std::size_t at = 0; table[at] != 0; at += 1 + byte_at(table, at)) {
    const std::string_view stored = table.substr(at + 1, byte_at(table, at));
    if (equal_prefix(stored, frame_text, n)) {
      return equal_prefix(frame_text, stored, static_cast<int>(stored.size()));
    }
  }
  store_frame(state, frame_text);
  return true;
}

int equal_prefix(std::string_view a, std::string_view b, int n) {
  const std::size_t longer = std::max(a.size(), b.size());
  for (std::size_t i = 0; static_cast<long long>(i) < n && i <= longer; ++i) {
    if (byte_at(a, i) != byte_at(b, i)) return 0;
  }
  return 1;
}

void clear_frame_table(checker_state& state) { state.frame_table.assign(1, '\0'); }

void check_frame_length(checker_state& state, int limit) {
  if (static_cast<long long>(state.line.frame_text.size()) > limit) {
    report_error(state, "length of categorial frame");
  }
}
