#include "analyser/suite/suite_reader.hpp"

#include <algorithm>

#include "analyser/base/file_input.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
constexpr unsigned char kBlankOrBelow = ' ';

bool is_blank_line(std::string_view line) {
  for (unsigned char c : line) {
    if (c > kBlankOrBelow) return false;
  }
  return true;
}

bool all_digits(std::string_view field) {
  for (char c : field) {
    if (c < '0' || c > '9') return false;
  }
  return !field.empty();
}

bool is_separator(char c) { return c == ' ' || c == '\t'; }

suite_line malformed(std::string problem) {
  suite_line result;
  result.kind = suite_line_kind::malformed;
  result.problem = std::move(problem);
  return result;
}

// Where the sentence of `text` ends: behind its first sentence delimiter and
// the delimiters right behind it, or at its first control character; at the
// end of the text when it has neither.
std::size_t sentence_end(std::string_view text, const unsigned char* sentence_end_chars) {
  const auto ends_here = [&](std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    return c >= kFirstVisible && in_char_set(sentence_end_chars, c);
  };
  std::size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) >= kFirstVisible &&
         !ends_here(at)) {
    ++at;
  }
  while (at < text.size() && ends_here(at)) ++at;
  return at;
}

std::size_t skip_separators(std::string_view text, std::size_t at) {
  while (at < text.size() && is_separator(text[at])) ++at;
  return at;
}

// The field of `text` that begins at `at` (no separator), and `at` moved
// behind it: a bracket line runs from its "<" to the first ">" that a
// separator or the end follows (to the end without one), any other field
// to the next separator.
std::string_view next_field(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  if (text[at] == '<') {
    while (++at < text.size()) {
      if (text[at] == '>' && (at + 1 == text.size() || is_separator(text[at + 1]))) {
        return text.substr(start, ++at - start);
      }
    }
    return text.substr(start);
  }
  while (at < text.size() && !is_separator(text[at])) ++at;
  return text.substr(start, at - start);
}

// The text from the field at `at` to the next tab, without the blanks at
// its end (the field itself is none).
std::string up_to_tab(std::string_view text, std::size_t at) {
  std::string_view rest = text.substr(at, text.find('\t', at) - at);
  while (rest.back() == ' ') rest.remove_suffix(1);
  return std::string(rest);
}

// Takes one expectation field into `expected`; the problem, or empty.
std::string take_field(std::string_view field, item_expectation& expected) {
  if (all_digits(field)) {
    if (expected.count) return "two expected counts";
    if (field.size() > kCountDigitLimit) return "expected count too large: " + std::string(field);
    expected.count = std::stoull(std::string(field));
    return "";
  }
  if (field.front() == '<') {
    if (expected.analysis) return "two expected analyses";
    if (field.back() != '>') return "expected analysis without its closing \">\"";
    expected.analysis = std::string(field);
    return "";
  }
  return "not understood";
}

// Reads the fields of `text` from `at` on; the problem, or empty. Text that
// is no expectation is named up to the next tab.
std::string take_expectation(std::string_view text, std::size_t at, item_expectation& expected) {
  for (at = skip_separators(text, at); at < text.size(); at = skip_separators(text, at)) {
    const std::size_t start = at;
    std::string problem = take_field(next_field(text, at), expected);
    if (problem == "not understood") {
      return "expectation not understood: \"" + up_to_tab(text, start) + "\"";
    }
    if (!problem.empty()) return problem;
  }
  return "";
}

// What contradicts the line's mark; empty when nothing does.
std::string contradiction(const item_expectation& expected) {
  if (!expected.grammatical && ((expected.count && *expected.count > 0) || expected.analysis)) {
    return "an item marked \"*\" cannot expect an analysis";
  }
  if (expected.grammatical && expected.count && *expected.count == 0) {
    return "an item without \"*\" expects an analysis: mark it with \"*\" to expect none";
  }
  return "";
}

// What keeps the text of a line from being an item's sentence: more than
// the reader's limit, or no visible character; empty when nothing does.
std::string sentence_problem(std::string_view sentence) {
  if (is_blank_line(sentence)) return "no sentence before the expectation";
  if (sentence.size() > kItemSentenceLimit) {
    return "sentence longer than " + std::to_string(kItemSentenceLimit) +
           " characters: it would be read as several sentences";
  }
  return "";
}

// The item of a line in the convention.
suite_line item_of(std::string_view line, const unsigned char* sentence_end_chars) {
  suite_line result;
  result.expected.grammatical = line.front() != '*';
  const std::string_view unmarked = result.expected.grammatical ? line : line.substr(1);
  const std::size_t end = sentence_end(unmarked, sentence_end_chars);
  std::size_t text_end = std::min(unmarked.find('\t'), unmarked.size());
  // Fields before any tab: the text is the sentence.
  if (skip_separators(unmarked, end) < text_end) text_end = end;
  const std::string_view text = unmarked.substr(0, text_end);
  std::string problem = sentence_problem(text);
  if (problem.empty()) problem = take_expectation(unmarked, end, result.expected);
  if (problem.empty()) problem = contradiction(result.expected);
  if (!problem.empty()) return malformed(std::move(problem));
  result.kind = suite_line_kind::item;
  result.text = std::string(text);
  return result;
}
}  // namespace

bool is_skipped_line(std::string_view line) { return is_blank_line(line) || line.front() == '$'; }

suite_line parse_suite_line(std::string_view line, bool utf8,
                            const unsigned char* sentence_end_chars) {
  if (is_skipped_line(line)) return {};
  if (!utf8) return item_of(line, sentence_end_chars);
  std::string decoded;
  utf8_fault fault;
  if (!from_utf8(line, decoded, fault)) {
    return malformed("column " + std::to_string(fault.column) + ": " + fault.reason + ": bytes " +
                     fault.bytes);
  }
  return item_of(decoded, sentence_end_chars);
}

bool suite_reader::next(suite_line& line, long& number) {
  while (read_line(file_, raw_)) {
    number = ++lines_read_;
    remove_line_end(raw_);
    line = parse_suite_line(raw_, utf8_, sentence_end_chars_);
    if (line.kind != suite_line_kind::skipped) return true;
  }
  return false;
}
