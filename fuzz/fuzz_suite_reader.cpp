// The test suite reader on any bytes, as 8-bit text and as UTF-8. Beyond
// "no crash" it checks what every item promises the run: line numbers grow,
// and they are exactly the lines that are neither empty (blanks and control
// characters only) nor comments ("$" first), counted as a line splitter
// counts them; a sentence is no longer than the sentence reader's piece,
// holds no tab, is not blank and ends where the sentence reader ends it (at
// most blanks stand behind its first delimiter run); an item marked "*"
// expects no analysis, one without expects at least one; an expected
// analysis is a "<...>" text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/suite/suite_reader.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

namespace {
constexpr unsigned char kEnds[] = ".!?";

// True when nothing but blanks stands behind the first run of delimiters.
bool ends_as_read(std::string_view text) {
  std::size_t at = text.find_first_of(".!?");
  if (at == std::string_view::npos) return true;
  at = text.find_first_not_of(".!?", at);
  return at == std::string_view::npos || text.find_first_not_of(' ', at) == std::string_view::npos;
}

// The numbers of the lines a reader must hand out, by an independent split.
std::vector<long> expected_numbers(std::string_view text) {
  std::vector<long> numbers;
  long number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    bool blank = true;
    for (unsigned char c : line) blank = blank && c <= ' ';
    if (!blank && line.front() != '$') numbers.push_back(number);
  }
  return numbers;
}

void expect_item_in_form(const suite_line& line) {
  fuzz_expect(line.text.size() <= kItemSentenceLimit, "an item's sentence is too long");
  fuzz_expect(line.text.find('\t') == std::string::npos, "an item's sentence holds a tab");
  fuzz_expect(ends_as_read(line.text), "an item's text goes on behind its sentence");
  bool blank = true;
  for (unsigned char c : line.text) blank = blank && c <= ' ';
  fuzz_expect(!blank, "an item has no sentence");
  const item_expectation& e = line.expected;
  if (e.grammatical) {
    fuzz_expect(!e.count || *e.count > 0, "a grammatical item expects no analysis");
  } else {
    fuzz_expect((!e.count || *e.count == 0) && !e.analysis,
                "an item marked \"*\" expects an analysis");
  }
  if (e.analysis) {
    fuzz_expect(e.analysis->size() >= 2 && e.analysis->front() == '<' && e.analysis->back() == '>',
                "an expected analysis is no bracket line");
  }
}

void read_suite(std::string_view text, bool utf8) {
  memory_input file(text);
  suite_reader reader(file.file(), utf8, kEnds);
  suite_line line;
  long number = 0;
  std::vector<long> numbers;
  while (reader.next(line, number)) {
    fuzz_expect(line.kind != suite_line_kind::skipped, "a skipped line was handed out");
    fuzz_expect(numbers.empty() || number > numbers.back(), "line numbers do not grow");
    numbers.push_back(number);
    if (line.kind == suite_line_kind::item) expect_item_in_form(line);
    if (line.kind == suite_line_kind::malformed) {
      fuzz_expect(!line.problem.empty(), "a malformed line has no problem");
    }
  }
  fuzz_expect(numbers == expected_numbers(text), "the lines handed out are not the suite's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz_bytes(data, size);
  read_suite(text, false);
  read_suite(text, true);
  return 0;
}
