#include "analyser/suite/suite_reader.hpp"

#include "analyser/base/file_input.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
constexpr unsigned char kBlankOrBelow = ' ';

bool is_blank_line(std::string_view line) {
  for (unsigned char c : line) {
    if (c > kBlankOrBelow) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

bool all_digits(std::string_view field) {
  for (char c : field) {
    if (c < '0' || c > '9') return false;
  }
  return !field.empty();
}

// The part of `line` before its first tab and the fields behind it.
std::string_view before_tab(std::string_view line) { return line.substr(0, line.find('\t')); }

suite_line malformed(std::string problem) {
  suite_line result;
  result.kind = suite_line_kind::malformed;
  result.problem = std::move(problem);
  return result;
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
  return "expectation not understood: \"" + std::string(field) + "\"";
}

// Reads the fields behind the first tab of `line`; the problem, or empty.
std::string take_expectation(std::string_view line, item_expectation& expected) {
  std::size_t at = line.find('\t');
  while (at != std::string_view::npos) {
    const std::size_t next = line.find('\t', at + 1);
    const std::string_view field = trimmed(line.substr(at + 1, next - at - 1));
    at = next;
    if (field.empty()) continue;
    std::string problem = take_field(field, expected);
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

// `text` with the mark removed; a sentence of more than the reader's limit
// or without a visible character is no item.
std::string sentence_problem(std::string_view sentence) {
  if (is_blank_line(sentence)) return "no sentence before the expectation";
  if (sentence.size() > kItemSentenceLimit) {
    return "sentence longer than " + std::to_string(kItemSentenceLimit) +
           " characters: it would be read as several sentences";
  }
  return "";
}

std::string_view without_mark(std::string_view sentence) {
  return sentence.empty() || sentence.front() != '*' ? sentence : sentence.substr(1);
}

// The item of a line in the convention; `raw` is the same line as the file
// holds it.
suite_line item_of(std::string_view line, std::string_view raw) {
  suite_line result;
  result.expected.grammatical = line.front() != '*';
  const std::string_view text = without_mark(before_tab(line));
  std::string problem = sentence_problem(text);
  if (problem.empty()) problem = take_expectation(line, result.expected);
  if (problem.empty()) problem = contradiction(result.expected);
  if (!problem.empty()) return malformed(std::move(problem));
  result.kind = suite_line_kind::item;
  result.text = std::string(text);
  result.sentence = std::string(without_mark(before_tab(raw)));
  return result;
}
}  // namespace

suite_line parse_suite_line(std::string_view line, bool utf8) {
  if (is_blank_line(line) || line.front() == '$') return {};
  if (!utf8) return item_of(line, line);
  std::string decoded;
  utf8_fault fault;
  if (!from_utf8(line, decoded, fault)) {
    return malformed("column " + std::to_string(fault.column) + ": " + fault.reason + ": bytes " +
                     fault.bytes);
  }
  return item_of(decoded, line);
}

bool suite_reader::next(suite_line& line, long& number) {
  while (read_line(file_, raw_)) {
    number = ++lines_read_;
    remove_line_end(raw_);
    line = parse_suite_line(raw_, utf8_);
    if (line.kind != suite_line_kind::skipped) return true;
  }
  return false;
}
