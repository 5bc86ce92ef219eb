#include "checker/rules_check.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "checker/lexicon_check.hpp"
#include "checker/text_routines.hpp"

namespace {

// Characters of a part that do not join its frame.
constexpr char kNonFrameChars[] = " 12345678(),.;";
// Frame characters a part may have beyond its main category.
constexpr int kFrameAllowance = 80;
// The part number once ";" has ended the result part: condition and label.
constexpr int kConditionPart = 4;

// What the check keeps across the parts of a rule and across the file.
struct rule_reading {
  int part_number = 1;
  int plus_count = 0;
  int equals_count = 0;
  long long rule_count = 0;
  std::string last_entry;   // frame of the first part of the rule before
  bool rule_begun = false;  // text other than blanks and comments since the last "."
  // Every separator so far stood where one of the two rule forms puts it and
  // ended a part that holds a main category.
  bool form_kept = true;
  bool in_comment = false;  // between a "$" and its line end
};

// A frame may grow to the main category and kFrameAllowance more characters,
// and never beyond kFrameCapacity, whatever "-h" asks.
int frame_length_limit(int category_length) {
  const long long allowed = static_cast<long long>(category_length) + kFrameAllowance;
  return static_cast<int>(std::min<long long>(allowed, kFrameCapacity));
}

// Notes a separator that breaks the rule forms: "+" only after the first
// part, "=" only after the first or second, ";" only after the third, and
// none of them behind a part without a main category.
void note_separator(rule_reading& rule, const line_state& line, unsigned char c) {
  const int part = rule.part_number;
  const bool in_place =
      (c == '+' && part == 1) || (c == '=' && part <= 2) || (c == ';' && part == 3);
  if (!in_place || line.frame_text.empty()) rule.form_kept = false;
}

// The first part of a rule must not begin lower than that of the rule before.
// The next rule is compared with this one whether it passed or not, so that
// one rule out of its place gives one report.
void test_rule_order(checker_state& state, rule_reading& rule) {
  const bool out_of_order = check_rule_order(state, state.line.frame_text, rule.last_entry);
  rule.last_entry = state.line.frame_text;
  if (out_of_order) report_error(state, "sort order");
}

// Closes a part: its frame must agree with its main category's first use.
void end_part(checker_state& state) {
  if (!check_frame(state, state.line.frame_text, state.expected_category_length)) {
    report_error(state, "categorial frame");
  }
  start_line(state);
}

void read_plus(checker_state& state, rule_reading& rule) {
  note_separator(rule, state.line, '+');
  ++rule.plus_count;
  ++rule.part_number;
  test_rule_order(state, rule);
  end_part(state);
}

// "=" ends the second part of a binary rule, or the first part of a unary
// rule, which then counts as having its (absent) second part too.
void read_equals(checker_state& state, rule_reading& rule) {
  note_separator(rule, state.line, '=');
  ++rule.part_number;
  ++rule.equals_count;
  if (rule.part_number == 2) {
    rule.part_number = 3;
    test_rule_order(state, rule);
  }
  end_part(state);
}

void read_semicolon(checker_state& state, rule_reading& rule) {
  note_separator(rule, state.line, ';');
  ++rule.part_number;
  end_part(state);
}

void read_full_stop(checker_state& state, rule_reading& rule) {
  if (rule.part_number != kConditionPart) report_error(state, "number of rule parts");
  if (state.line.depth != 0) report_error(state, "parentheses");
  rule.part_number = 1;
  if (rule.plus_count > 1) report_error(state, "more than 1 + character");
  if (rule.equals_count > 1) report_error(state, "more than 1 = character");
  if (!rule.form_kept) report_error(state, "number of rule parts");
  start_line(state);
  rule.plus_count = 0;
  rule.equals_count = 0;
  ++rule.rule_count;
  rule.rule_begun = false;
}

// A frame character counts towards the main category until a blank has
// ended it, towards the current group name after that.
void read_frame_char(checker_state& state, unsigned char c) {
  line_state& line = state.line;
  if (line.main_category_count >= 0) {
    ++line.main_category_count;
  } else {
    ++line.group_name_count;
  }
  append_char(line.frame_text, c);
}

// A blank measures the main category before it; a parenthesis measures the
// group name before it.
void read_separating_char(checker_state& state, unsigned char c) {
  line_state& line = state.line;
  if (c == ' ' && line.main_category_count > 0) {
    if (line.main_category_count != state.expected_category_length) {
      report_error(state, "length of main category");
    }
    line.main_category_count = -1;
  }
  if (c == '(' || c == ')') {
    if (line.group_name_count > 0 && line.group_name_count != state.expected_group_name_length) {
      report_error(state, "length of subcategory");
    }
    line.group_name_count = 0;
  }
}

// A character of the first, second or result part.
void read_part_char(checker_state& state, unsigned char c) {
  if (char_position(c, kNonFrameChars) == 0) {
    read_frame_char(state, c);
  } else {
    read_separating_char(state, c);
  }
  if (char_position(c, kInvalidValueDigits) != 0) report_error(state, "invalid subcategory value");
  if (c == '(') ++state.line.group_count;
  check_frame_length(state, frame_length_limit(state.expected_category_length));
}

// Echoes one character of rules text and acts on it.
void read_rule_char(checker_state& state, rule_reading& rule, unsigned char c) {
  echo_char(state, c);
  if (c != ' ') rule.rule_begun = true;
  if (c == '(') ++state.line.depth;
  if (c == ')') --state.line.depth;
  switch (c) {
    case '+':
      return read_plus(state, rule);
    case '=':
      return read_equals(state, rule);
    case ';':
      return read_semicolon(state, rule);
    case '.':
      return read_full_stop(state, rule);
  }
  // The condition text and the label are free text.
  if (rule.part_number < kConditionPart) read_part_char(state, c);
}

// Echoes a comment whole: the "$" already read and the rest of its line, line
// end included, whatever its length. None of it is rules text.
void echo_comment(checker_state& state, rule_reading& rule) {
  echo_char(state, '$');
  rule.in_comment = true;
  for (int c; (c = read_char(state)) != EOF;) {
    echo_char(state, static_cast<unsigned char>(c));
    if (c == '\n') break;
  }
  rule.in_comment = false;
}

// Reads and checks rules text to the end of the file.
void read_rules(checker_state& state, rule_reading& rule) {
  for (int c; (c = read_char(state)) != EOF;) {
    if (c == '\n' || c == '\r') continue;
    if (c == '$') {
      echo_comment(state, rule);
    } else {
      read_rule_char(state, rule, static_cast<unsigned char>(c));
    }
  }
  // Text after the last "." is a rule without its end, which the analyser
  // would never load.
  if (rule.rule_begun) report_error(state, "number of rule parts");
}

// Echoes what is left of a rule given up at an error, unchecked, up to the
// "." that ends it (one in a comment ends nothing); false when the file ends
// first. An error found at a "." leaves nothing to skip (no error is found at
// a "." inside a comment).
bool skip_rest_of_rule(checker_state& state, const rule_reading& rule) {
  if (state.input.last_char() == '.') return true;
  if (state.input.last_char() == EOF) return false;
  for (bool in_comment = rule.in_comment;;) {
    const input_char read = state.input.next();
    if (read.c == EOF) return false;
    if (in_comment || (read.c != '\n' && read.c != '\r')) echo_input(state, read);
    if (in_comment) {
      in_comment = read.c != '\n';
    } else if (read.c == '$') {
      in_comment = true;
    } else if (read.c == '.') {
      return true;
    }
  }
}

// The rule after a broken one starts as the first would. It is compared with
// the broken rule's first part, as far as it was read when the error broke it
// off, or with the rule before when that part was empty. The reference frames
// stay as they are: only parts that passed their test recorded theirs.
void restart_rule(checker_state& state, rule_reading& rule) {
  rule_reading fresh;
  fresh.rule_count = rule.rule_count;
  const bool in_first_part = rule.part_number == 1 && !state.line.frame_text.empty();
  fresh.last_entry = in_first_part ? state.line.frame_text : std::move(rule.last_entry);
  rule = std::move(fresh);
  start_line(state);
}

}  // namespace

long long check_rules(checker_state& state, FILE* file) {
  echo_text(state, "\n\tcheck rules...\n");
  start_line(state);
  echo_text(state, "\n");
  state.input = text_input(file, state.utf8_text);
  rule_reading rule;
  for (;;) {
    try {
      read_rules(state, rule);
      break;
    } catch (const error_reported&) {
      if (!state.all_errors) break;
      const bool more = skip_rest_of_rule(state, rule);
      restart_rule(state, rule);
      if (!more) break;
    }
  }
  return rule.rule_count;
}

bool check_rule_order(checker_state& state, std::string_view frame_text,
                      std::string_view last_entry) {
  if (first_char(last_entry) <= first_char(frame_text)) return false;
  // The line belongs to the report that follows it.
  if (!next_report_shown(state)) return true;
  echo_text(state, "\nsort error: last_entry=");
  echo_text(state, last_entry);
  echo_text(state, " frame=");
  echo_text(state, frame_text);
  echo_text(state, "\n");
  return true;
}
