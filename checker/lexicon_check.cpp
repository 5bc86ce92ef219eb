#include "checker/lexicon_check.hpp"

#include <algorithm>

#include "checker/text_routines.hpp"

namespace {

// Characters of the subcategory part that do not join the frame.
constexpr char kNonFrameChars[] = " (),12345678";

// What the check keeps across the lines of the file.
struct LexiconReading {
  std::string word_text;
  int entry_count = 0;
  signed char previous_first = 0;
  bool line_has_text = false;  // a character other than CR since the last line end
};

unsigned char byte_at(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// A blank ends the main category; every other character belongs to it.
void read_main_category_char(CheckerState& state, unsigned char c) {
  LineState& line = state.line;
  if (c == ' ') {
    line.phase = LinePhase::subcategory_part;
    line.group_name_count = 0;
    return;
  }
  ++line.main_category_count;
  append_char(line.frame_text, c);
}

// Group names are measured at their "(": the characters outside parentheses
// since the blank or the last ")" must be exactly one group name.
void read_subcategory_char(CheckerState& state, unsigned char c) {
  LineState& line = state.line;
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

void read_line_char(CheckerState& state, LexiconReading& reading, unsigned char c) {
  if (c == '=') {
    state.line.phase = LinePhase::main_category;
    ++reading.entry_count;
    return;
  }
  switch (state.line.phase) {
    case LinePhase::word:
      append_char(reading.word_text, c);
      return;
    case LinePhase::main_category:
      read_main_category_char(state, c);
      break;
    case LinePhase::subcategory_part:
      read_subcategory_char(state, c);
      break;
  }
  check_frame_length(state, kFrameCapacity);
}

// The tests made when a line is complete, in this order; a passing line is
// followed by the line feed of `start_line`.
void end_line(CheckerState& state, LexiconReading& reading) {
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
void store_frame(CheckerState& state, std::string_view frame_text) {
  state.frame_table.pop_back();
  append_char(state.frame_table, static_cast<unsigned char>(frame_text.size()));
  append_text(state.frame_table, frame_text);
  append_char(state.frame_table, 0);
}

}  // namespace

int check_lexicon(CheckerState& state, FILE* file) {
  std::fputs("\n\tcheck lexicon...\n", state.out);
  start_line(state);
  LexiconReading reading;
  for (int c; (c = std::getc(file)) != EOF;) {
    if (c == '\r') continue;
    std::fputc(c, state.out);
    if (c == '\n') {
      end_line(state, reading);
      continue;
    }
    reading.line_has_text = true;
    read_line_char(state, reading, static_cast<unsigned char>(c));
  }
  // A last line without its line end is tested like any other, so that a
  // malformed last line can never pass.
  if (reading.line_has_text) end_line(state, reading);
  return reading.entry_count;
}

bool check_sort_letter(std::string& word_text, signed char& previous_first) {
  const signed char first = word_text.empty() ? 0 : static_cast<signed char>(word_text[0]);
  if (first < previous_first) return false;
  previous_first = first;
  word_text.clear();
  return true;
}

bool check_frame(CheckerState& state, std::string_view frame_text, int n) {
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

void clear_frame_table(CheckerState& state) { state.frame_table.assign(1, '\0'); }

void check_frame_length(CheckerState& state, int limit) {
  if (static_cast<long long>(state.line.frame_text.size()) > limit) {
    report_error(state, "length of categorial frame");
  }
}
